#include "host/SyntaxColouring.h"

#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

using Sci = QsciScintillaBase;

Syntax SyntaxOfPath(const QString &path)
{
    if (path.isEmpty())
        return Syntax::Html;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"htm" || suffix == u"html" || suffix == u"asp" || suffix == u"aspx"
        || suffix == u"php")
        return Syntax::Html;
    if (suffix == u"css")
        return Syntax::Css;
    if (suffix == u"js" || suffix == u"mjs")
        return Syntax::JavaScript;
    if (suffix == u"xml" || suffix == u"svg")
        return Syntax::Xml;
    return Syntax::Plain;
}

namespace {

bool isDark(const QColor &base)
{
    return base.lightness() < 128;
}

// Black in a lexer's colours means "the text colour"; white paper means "the background".
QColor foregroundIn(const QPalette &palette, QColor colour)
{
    if (colour == QColor(Qt::black))
        return palette.color(QPalette::Text);
    if (!isDark(palette.color(QPalette::Base)))
        return colour;
    // The same hue, as light as the lexer's colour was dark, and never too dark to read.
    const QColor hsl = colour.toHsl();
    return QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), std::max(255 - hsl.lightness(), 160));
}

QColor backgroundIn(const QPalette &palette, QColor colour)
{
    const QColor base = palette.color(QPalette::Base);
    if (colour == QColor(Qt::white) || !isDark(base))
        return colour == QColor(Qt::white) ? base : colour;
    // A tinted region stays a tint of the dark background.
    const QColor hsl = colour.toHsl();
    return QColor::fromHsl(
        hsl.hslHue(), hsl.hslSaturation() / 2,
        std::min(110, base.lightness() + std::clamp(255 - hsl.lightness(), 16, 48)));
}

double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The desktop's palette for the view: the surface never sets one of its own.
QPalette paletteOf(const QWidget &view)
{
    return QApplication::palette(&view);
}

long rgb(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace

SyntaxColouring::SyntaxColouring(QsciScintilla &view)
    : QObject(&view),
      m_view(view),
      m_html(std::make_unique<QsciLexerHTML>()),
      m_css(std::make_unique<QsciLexerCSS>()),
      m_javaScript(std::make_unique<QsciLexerJavaScript>()),
      m_xml(std::make_unique<QsciLexerXML>())
{
    // The visible text is styled first and the rest in idle time, so a large text opens as
    // fast as a plain one and any place in it shows at once.
    m_view.SendScintilla(Sci::SCI_SETIDLESTYLING, Sci::SC_IDLESTYLING_ALL);
    // Lexers take their default colours from the palette they are made in; a dark one would
    // pass for colours of their own. Black on white stands for the palette's text and base.
    for (QsciLexer *lexer : {m_html.get(), m_css.get(), m_javaScript.get(), m_xml.get()}) {
        lexer->setDefaultColor(Qt::black);
        lexer->setDefaultPaper(Qt::white);
    }
    m_view.installEventFilter(this);
}

SyntaxColouring::~SyntaxColouring() = default;

QsciLexer *SyntaxColouring::lexerOf(Syntax syntax) const
{
    switch (syntax) {
    case Syntax::Html:
        return m_html.get();
    case Syntax::Css:
        return m_css.get();
    case Syntax::JavaScript:
        return m_javaScript.get();
    case Syntax::Xml:
        return m_xml.get();
    case Syntax::Plain:
        break;
    }
    return nullptr;
}

void SyntaxColouring::prepare(QsciScintillaBase &on, Syntax syntax, bool restyle) const
{
    // Every text gets a lexer of its own: without one, idle styling would wait forever for
    // styles nobody makes. Plain text is styled as one style.
    const QsciLexer *lexer = lexerOf(syntax);
    if (lexer)
        on.SendScintilla(Sci::SCI_SETLEXERLANGUAGE, 0UL, lexer->lexer());
    else
        on.SendScintilla(Sci::SCI_SETLEXER, static_cast<unsigned long>(Sci::SCLEX_NULL));
    for (int set = 0; lexer && set < 9; ++set)
        if (const char *words = lexer->keywords(set + 1))
            on.SendScintilla(Sci::SCI_SETKEYWORDS, static_cast<unsigned long>(set), words);
    if (restyle)
        on.SendScintilla(Sci::SCI_CLEARDOCUMENTSTYLE);
}

void SyntaxColouring::prepare(void *document, Syntax syntax, bool restyle) const
{
    if (!m_helper)
        m_helper = std::make_unique<QsciScintillaBase>();
    m_helper->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document);
    prepare(*m_helper, syntax, restyle);
    m_helper->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, static_cast<void *>(nullptr));
}

void SyntaxColouring::show(Syntax syntax)
{
    if (m_applied && syntax == m_shown)
        return;
    m_shown = syntax;
    apply();
}

void SyntaxColouring::refresh()
{
    apply();
}

QColor SyntaxColouring::foreground(Syntax syntax, int style) const
{
    const QsciLexer *lexer = lexerOf(syntax);
    if (!lexer || lexer->description(style).isEmpty())
        return paletteOf(m_view).color(QPalette::Text);
    QColor fore = foregroundIn(paletteOf(m_view), lexer->defaultColor(style));
    // Some of the lexers' colours are hard to read on their own backgrounds: they are moved
    // away from the background until they can be read.
    const QColor back = background(syntax, style);
    const bool darkBack = isDark(back);
    for (int step = 0; step < 20 && contrast(fore, back) < 3.5; ++step)
        fore = darkBack ? fore.lighter(115) : fore.darker(115);
    return fore;
}

QColor SyntaxColouring::background(Syntax syntax, int style) const
{
    const QsciLexer *lexer = lexerOf(syntax);
    if (!lexer || lexer->description(style).isEmpty())
        return paletteOf(m_view).color(QPalette::Base);
    return backgroundIn(paletteOf(m_view), lexer->defaultPaper(style));
}

void SyntaxColouring::apply()
{
    m_applied = true;
    const QPalette palette = paletteOf(m_view);
    // Only colours change per style: the user's font, size, bold and italic stay on all.
    m_view.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_DEFAULT,
                         rgb(palette.color(QPalette::Text)));
    m_view.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_DEFAULT,
                         rgb(palette.color(QPalette::Base)));
    m_view.SendScintilla(Sci::SCI_STYLECLEARALL);
    if (const QsciLexer *lexer = lexerOf(m_shown)) {
        for (unsigned long style = 0; style < Sci::STYLE_DEFAULT; ++style) {
            if (lexer->description(int(style)).isEmpty())
                continue;
            m_view.SendScintilla(Sci::SCI_STYLESETFORE, style,
                                 rgb(foreground(m_shown, int(style))));
            m_view.SendScintilla(Sci::SCI_STYLESETBACK, style,
                                 rgb(background(m_shown, int(style))));
            m_view.SendScintilla(Sci::SCI_STYLESETEOLFILLED, style,
                                 long(lexer->defaultEolFill(int(style))));
        }
    }
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const bool dark = isDark(base);
    m_view.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_LINENUMBER,
                         rgb(palette.color(QPalette::PlaceholderText)));
    m_view.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_LINENUMBER,
                         rgb(palette.color(QPalette::Window)));
    m_view.SendScintilla(Sci::SCI_SETCARETFORE, rgb(text));
    // The current line: the background a little toward the text colour.
    const auto toward = [&](double share) {
        return QColor::fromRgbF(base.redF() + (text.redF() - base.redF()) * share,
                                base.greenF() + (text.greenF() - base.greenF()) * share,
                                base.blueF() + (text.blueF() - base.blueF()) * share);
    };
    m_view.SendScintilla(Sci::SCI_SETCARETLINEBACK, rgb(toward(dark ? 0.12 : 0.07)));
    m_view.SendScintilla(Sci::SCI_SETSELBACK, 1UL, rgb(palette.color(QPalette::Highlight)));
    m_view.SendScintilla(Sci::SCI_SETSELFORE, 1UL, rgb(palette.color(QPalette::HighlightedText)));
    const QColor match = dark ? QColor(0x2e, 0x5e, 0x3a) : QColor(0xc8, 0xf0, 0xc8);
    m_view.SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_BRACELIGHT, rgb(match));
    m_view.SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_BRACEBAD,
                         rgb(dark ? QColor(0xff, 0x70, 0x70) : QColor(0xc0, 0, 0)));
    emit coloured();
}

bool SyntaxColouring::eventFilter(QObject *watched, QEvent *event)
{

    if (watched == &m_view
        && (event->type() == QEvent::PaletteChange
            || event->type() == QEvent::ApplicationPaletteChange))
        apply();
    return QObject::eventFilter(watched, event);
}
