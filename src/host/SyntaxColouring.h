// Colours a text by its kind, in the colours of the desktop palette, light or dark.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <memory>

class QsciLexer;
class QsciScintilla;
class QsciScintillaBase;

enum class Syntax { Plain, Html, Css, JavaScript, Xml };

// The kind of text a file holds, by its name; a text without a path is a new page, so HTML.
Syntax SyntaxOfPath(const QString &path);

class SyntaxColouring : public QObject
{
    Q_OBJECT
public:
    explicit SyntaxColouring(QsciScintilla &view);
    ~SyntaxColouring() override;

    // Gives the document shown in `on` the lexer of the syntax. The lexer belongs to the
    // document; styles already held are dropped only when `restyle` asks for it.
    void prepare(QsciScintillaBase &on, Syntax syntax, bool restyle) const;
    // Gives the document held by `document` the lexer, through a view of its own.
    void prepare(void *document, Syntax syntax, bool restyle) const;
    // The view's colours for the syntax of the shown text.
    void show(Syntax syntax);
    // Applies the colours again, after the font or the palette changed them.
    void refresh();
    Syntax shown() const { return m_shown; }

    // The colour a style of the syntax is drawn in, and on, in the current palette.
    QColor foreground(Syntax syntax, int style) const;
    QColor background(Syntax syntax, int style) const;

signals:
    // The view's styles were set again, which may change the width its text needs.
    void coloured();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QsciLexer *lexerOf(Syntax syntax) const;
    void apply();

    QsciScintilla &m_view;
    Syntax m_shown = Syntax::Plain;
    bool m_applied = false;
    std::unique_ptr<QsciLexer> m_html, m_css, m_javaScript, m_xml;
    mutable std::unique_ptr<QsciScintillaBase> m_helper;
};
