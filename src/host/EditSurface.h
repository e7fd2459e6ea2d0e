// The editing surface mmoEditor: a byte-exact text editor with the memo operations the logic uses.
#pragma once

#include "docs/EditingDocument.h"
#include "host/Dialogs.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

class Guard;
class QMenu;
class QsciScintilla;
class QsciScintillaBase;
class QWidget;
class SurfaceDocument;

// A document's text is bytes. Text that is valid UTF-8 is edited as UTF-8; any other text in
// 8-bit mode, one windows-1252 character per byte (see Windows1252.h). The surface holds 8-bit
// text as the UTF-8 of those characters, so that it shows, searches and copies them, and gives
// the bytes back on every read. Positions and lengths are counted in characters. The surface
// holds any number of texts and shows one at a time; every operation below acts on the shown one.
class EditSurface : public QObject
{
    Q_OBJECT
public:
    EditSurface(Guard &guard, QWidget *parent);
    ~EditSurface() override;

    QWidget *widget() const;
    void setPopupMenu(QMenu *menu) { m_popup = menu; }

    // A new text holding bytes, not shown, with no undo history and the caret at its start.
    // Fails with "Not enough memory for %d bytes" as setLinesText does.
    std::unique_ptr<EditingDocument> createDocument(const QByteArray &bytes = {});
    // Shows a text this surface created in place of the shown one; each keeps its undo history,
    // caret, selection and scroll position. Raises OnChange once, as replacing the text does.
    void showDocument(EditingDocument &document);

    // Lines.Text get: every line followed by CR LF (see LinesWithCrLf).
    QByteArray linesText() const;
    // Lines.Text set: replaces the whole content, then raises OnChange exactly once.
    void setLinesText(const QByteArray &text);
    // Lines.Clear: empties the surface and raises OnChange once.
    void linesClear();
    // Lines.LoadFromFile: the file's bytes as they are; "Cannot open file %s" when unreadable.
    void linesLoadFromFile(const QString &path);

    // The content exactly as held, and its length in characters (Text get).
    QByteArray bytes() const;
    int textLength() const;
    bool isUtf8() const;

    int selStart() const;
    void setSelStart(int position); // collapses the selection there
    int selLength() const;
    void setSelLength(int length); // extends the selection from SelStart
    QString selText() const;
    void setSelText(const QString &text);    // replaces the selection; caret after the text
    void setSelTextBuf(const QString &text); // the same, up to the text's first NUL
    void clearSelection();                   // deletes the selection, if any

    // First case-insensitive occurrence in [start, start + length), or -1; empty text finds nothing.
    int findText(const QString &text, int start, int length);

    // Fails with "Cannot focus a disabled or invisible window" when the surface cannot take focus.
    void setFocus();

    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    EditorFont font() const { return m_font; }
    void setFont(const EditorFont &font);

    // Several edits that undo as one step.
    void beginUndoAction();
    void endUndoAction();

    // Converts between character positions and byte positions of the surface's UTF-8.
    long bytePosition(int charPosition) const;
    int charPosition(long bytePosition) const;

    // The number of characters text takes in the document.
    int characterCount(const QString &text) const;
    // Replace All from the first occurrence at or after start (see ReplaceAllBytes), as one undo
    // step and one OnChange; the caret ends just after the text inserted last. Returns the
    // number of replacements.
    qsizetype replaceAll(const QString &text, const QString &replacement, int start);

    std::function<void()> OnChange;

private:
    friend class SurfaceDocument;

    // What the surface knows of a text it holds; set whenever text is loaded.
    struct TextState
    {
        bool eightBit = false;               // windows-1252 bytes, held as UTF-8
        bool asciiOnly = true;               // so byte positions are character positions
        mutable bool indexAllocated = false; // Scintilla's character index, built on first use
    };

    static TextState textStateOf(const char *data, qsizetype size);
    void fill(const char *data, qsizetype size);
    void *load(const char *data, qsizetype size, bool eightBit);
    void attach(SurfaceDocument &document);
    // Applies what belongs to the shown text: its first settings, code page and place.
    void settle(SurfaceDocument &document);
    void release(SurfaceDocument &document);
    QByteArray linesTextOf(const SurfaceDocument &document) const;
    QByteArrayView surfaceText() const;
    QByteArray toSurface(const QString &text) const;
    int findFolded(const QString &text, long fromByte, long toByte) const;
    static bool isAscii(const char *data, qsizetype size);
    bool positionsAreBytes() const;
    void raiseChange();
    void onTextChanged();

    Guard &m_guard;
    QsciScintilla *m_sci;
    QMenu *m_popup = nullptr;
    int m_silent = 0;
    bool m_wordWrap = false;
    EditorFont m_font;
    // The surface's own text, shown while no other is.
    std::unique_ptr<SurfaceDocument> m_own;
    SurfaceDocument *m_shown = nullptr;
    // Reads texts that are not shown, without disturbing the view.
    mutable std::unique_ptr<QsciScintillaBase> m_reader;
};
