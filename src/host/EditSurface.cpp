#include "host/EditSurface.h"

#include "host/FileRead.h"
#include "host/FoldedSearch.h"
#include "host/Guard.h"
#include "host/LineBreaks.h"
#include "host/SurfaceAccessibility.h"
#include "host/SurfaceMarks.h"
#include "host/SyntaxColouring.h"
#include "host/Windows1252.h"
#include "util/HostError.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPointer>

#include <cstring>
#include <utility>

using Sci = QsciScintillaBase;

namespace {

// The Scintilla widget with the editor's own pop-up menu instead of the built-in one. What a
// user types, pastes or drops into 8-bit text is held to the characters its bytes can be, as
// the file will have them.
class Surface : public QsciScintilla
{
public:
    using QsciScintilla::QsciScintilla;
    std::function<QMenu *()> popup;
    std::function<bool()> eightBit;
    // Runs after each event the widget or its viewport handled, so that what the user's keys,
    // mouse and input method changed is reported as soon as it is done.
    std::function<void()> handled;

protected:
    bool event(QEvent *event) override
    {
        const bool done = QsciScintilla::event(event);
        if (handled && mayEdit(event->type()))
            handled();
        return done;
    }

    bool viewportEvent(QEvent *event) override
    {
        const bool done = QsciScintilla::viewportEvent(event);
        if (handled && mayEdit(event->type()))
            handled();
        return done;
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        // Shift+F10 opens the pop-up menu at the caret, as the Menu key does.
        if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
            const long caret = SendScintilla(SCI_GETCURRENTPOS);
            const QPoint at(int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, caret)),
                            int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, caret)));
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
            contextMenuEvent(&menu);
            return;
        }
        const QString text = held(event->text());
        if (text == event->text()) {
            QsciScintilla::keyPressEvent(event);
            return;
        }
        QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                        event->nativeVirtualKey(), event->nativeModifiers(), text,
                        event->isAutoRepeat(), quint16(event->count()));
        QsciScintilla::keyPressEvent(&typed);
        event->setAccepted(typed.isAccepted());
    }

    void inputMethodEvent(QInputMethodEvent *event) override
    {
        const QString text = held(event->commitString());
        if (text == event->commitString()) {
            QsciScintilla::inputMethodEvent(event);
            return;
        }
        QInputMethodEvent composed(event->preeditString(), event->attributes());
        composed.setCommitString(text, event->replacementStart(), event->replacementLength());
        QsciScintilla::inputMethodEvent(&composed);
        event->setAccepted(composed.isAccepted());
    }

    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override
    {
        const QByteArray text = QsciScintilla::fromMimeData(source, rectangular);
        return eightBit() ? Windows1252::ToUtf8(Windows1252::FromUtf8(text)) : text;
    }

    void contextMenuEvent(QContextMenuEvent *event) override
    {
        if (QMenu *menu = popup ? popup() : nullptr)
            menu->exec(event->globalPos());
        else
            QsciScintilla::contextMenuEvent(event);
    }

private:
    // Typing, an input method, a drop, and a middle click that pastes.
    static bool mayEdit(QEvent::Type type)
    {
        return type == QEvent::KeyPress || type == QEvent::InputMethod || type == QEvent::Drop
               || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
    }

    QString held(const QString &text) const
    {
        return eightBit() ? Windows1252::Restricted(text) : text;
    }
};

// The change reports a view asks for while no assistive tool listens (see SurfaceAccessibility).
constexpr unsigned long kChangeAnnounced = Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE;

// Holds programmatic changes back from OnChange for as long as it lives.
class Silence
{
public:
    explicit Silence(int &depth) : m_depth(depth) { ++m_depth; }
    ~Silence() { --m_depth; }
    Silence(const Silence &) = delete;
    Silence &operator=(const Silence &) = delete;

private:
    int &m_depth;
};

} // namespace

// One text of the surface: a Scintilla document, of which it holds one reference, with what
// belongs to that text rather than to the view.
class SurfaceDocument final : public EditingDocument
{
public:
    SurfaceDocument(EditSurface &surface, void *pointer) : surface(&surface), pointer(pointer) { }
    ~SurfaceDocument() override
    {
        if (surface)
            surface->release(*this);
    }

    bool isShown() const override { return surface && surface->m_shown == this; }
    QByteArray linesText() const override
    {
        return surface ? surface->linesTextOf(*this) : QByteArray();
    }
    void setPath(const QString &path) override
    {
        if (surface)
            surface->setPathOf(*this, path);
    }

    QPointer<EditSurface> surface;
    void *pointer;
    EditSurface::TextState text;
    Syntax syntax = Syntax::Html;
    // Shown plain: larger than LargestColouredText when loaded.
    bool tooLargeToColour = false;
    // Undo collection and line ends are set when the text is first shown.
    bool prepared = false;
    // Where the user was in this text, kept while another one is shown.
    long anchor = 0;
    long caret = 0;
    long firstLine = 0;
    long xOffset = 0;
};

EditSurface::EditSurface(Guard &guard, QWidget *parent) : QObject(parent), m_guard(guard)
{
    auto *surface = new Surface(parent);
    surface->popup = [this] { return m_popup; };
    surface->eightBit = [this] { return m_shown->text.eightBit; };
    m_sci = surface;
    m_sci->setObjectName(QStringLiteral("mmoEditor"));
    m_sci->setUtf8(true);
    m_sci->setEolMode(QsciScintilla::EolWindows);
    m_sci->setWrapMode(QsciScintilla::WrapNone);
    m_sci->SendScintilla(Sci::SCI_SETSCROLLWIDTH, 1UL);
    m_sci->SendScintilla(Sci::SCI_SETSCROLLWIDTHTRACKING, 1UL);
    m_sci->SendScintilla(Sci::SCI_SETLAYOUTCACHE, Sci::SC_CACHE_PAGE);
    m_sci->setMarginWidth(1, 0);
    m_colouring = new SyntaxColouring(*m_sci);
    m_marks = new SurfaceMarks(*m_sci, [this] {
        return m_shown->syntax == Syntax::Html ? 1 : m_shown->syntax == Syntax::Xml ? 2 : 0;
    });
    connect(m_colouring, &SyntaxColouring::coloured, m_marks, &SurfaceMarks::fitMargin);
    setFont(EditorFont {QStringLiteral("MS Sans Serif"), 8, false, false});

    void *initial = m_sci->SendScintillaPtrResult(Sci::SCI_GETDOCPOINTER);
    m_sci->SendScintilla(Sci::SCI_ADDREFDOCUMENT, 0UL, initial);
    m_own = std::make_unique<SurfaceDocument>(*this, initial);
    m_own->prepared = true;
    m_shown = m_own.get();
    m_colouring->prepare(*m_sci, m_own->syntax, false);
    m_colouring->show(m_own->syntax);

    surface->handled = [this] { reportChange(); };
    connect(m_sci, &QsciScintillaBase::SCN_MODIFIED, this, &EditSurface::onModified);
    // Only the reports sent before a change reach the surface while no assistive tool listens:
    // the component does costly work for every report after one.
    const auto listen = [this](bool toolsListening) {
        m_sci->SendScintilla(Sci::SCI_SETMODEVENTMASK,
                             toolsListening ? static_cast<unsigned long>(Sci::SC_MODEVENTMASKALL)
                                            : kChangeAnnounced);
    };
    listen(SurfaceAccessibility::toolsListening());
    connect(&SurfaceAccessibility::instance(), &SurfaceAccessibility::listeningChanged, this,
            listen);
}

EditSurface::~EditSurface()
{
    // The widget may outlive the surface.
    static_cast<Surface *>(m_sci)->handled = nullptr;
    // Texts that outlive the surface keep their memory until the process ends.
    m_own->surface = nullptr;
    m_sci->SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, m_own->pointer);
}

QWidget *EditSurface::widget() const
{
    return m_sci;
}

bool EditSurface::isAscii(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}

bool EditSurface::positionsAreBytes() const
{
    checkInsertedText();
    if (m_shown->text.asciiOnly)
        return true;
    // Character positions of UTF-8 text need Scintilla's line character index, built on
    // first use rather than on every load.
    if (!m_shown->text.indexAllocated) {
        m_sci->SendScintilla(Sci::SCI_ALLOCATELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF32);
        m_shown->text.indexAllocated = true;
    }
    return false;
}

void EditSurface::checkInsertedText() const
{
    if (m_inserted.position < 0)
        return;
    const Inserted inserted = std::exchange(m_inserted, Inserted {});
    if (!m_shown->text.asciiOnly)
        return;
    constexpr long kPiece = 64 * 1024;
    QByteArray piece;
    for (long at = inserted.position; at < inserted.position + inserted.length; at += kPiece) {
        const long end = std::min(at + kPiece, inserted.position + inserted.length);
        piece.resize(end - at + 1);
        m_sci->SendScintilla(Sci::SCI_GETTEXTRANGE, at, end, piece.data());
        if (!isAscii(piece.constData(), end - at)) {
            m_shown->text.asciiOnly = false;
            return;
        }
    }
}

void EditSurface::onModified(int position, int type, const char *, int length)
{
    // Every change is announced before it is made, so an insertion announced earlier is
    // complete and still in place now.
    checkInsertedText();
    // The surface's own changes keep the text's state themselves.
    if (m_silent > 0 || !(type & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE)))
        return;
    if (type & Sci::SC_MOD_BEFOREINSERT)
        m_inserted = Inserted {position, length};
    // Reported once the change is done: after the event that made it, or after the call.
    if (!m_changePending)
        QMetaObject::invokeMethod(this, &EditSurface::reportChange, Qt::QueuedConnection);
    m_changePending = true;
}

void EditSurface::reportChange()
{
    checkInsertedText();
    if (!m_changePending)
        return;
    m_changePending = false;
    m_guard.run([this] { raiseChange(); });
}

void EditSurface::raiseChange()
{
    m_marks->fitMargin();
    if (OnChange)
        OnChange();
}

bool EditSurface::isUtf8() const
{
    return !m_shown->text.eightBit;
}

// Scintilla's loader interface: fills a fresh document that no view watches yet. Declared
// here because the library installs no header for it; it must keep external linkage, or the
// compiler may decide that nothing implements it.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, std::ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

namespace {

// Creates a loader for a document of the given size. SendScintilla returns a long, which
// cannot hold a pointer on 64-bit Windows; Scintilla's direct function returns it whole.
ILoader *createLoader(const QsciScintillaBase &sci, qsizetype size, long options = 0)
{
    using DirectFunction = intptr_t (*)(void *, unsigned int, uintptr_t, intptr_t);
    const auto call = reinterpret_cast<DirectFunction>(
        sci.SendScintillaPtrResult(Sci::SCI_GETDIRECTFUNCTION));
    void *self = sci.SendScintillaPtrResult(Sci::SCI_GETDIRECTPOINTER);
    if (!call || !self)
        return nullptr;
    return reinterpret_cast<ILoader *>(
        call(self, Sci::SCI_CREATELOADER, static_cast<uintptr_t>(size), options));
}

} // namespace

EditSurface::TextState EditSurface::textStateOf(const char *data, qsizetype size)
{
    return TextState {!QByteArrayView(data, size).isValidUtf8(), isAscii(data, size)};
}

void *EditSurface::load(const char *data, qsizetype size, bool eightBit)
{
    // A loader fills a document nobody watches, in pieces: appending to the shown document
    // costs far more per piece, and one huge append copies the whole text. It is sized for the
    // whole text held, since growing a document copies it.
    const qsizetype length = eightBit ? Windows1252::Utf8Length({data, size}) : size;
    ILoader *loader = createLoader(*m_sci, length + 1024);
    if (!loader)
        throw EHostError(QStringLiteral("Not enough memory for %1 bytes").arg(size));
    constexpr qsizetype kPiece = 1 << 20;
    for (qsizetype offset = 0; offset < size; offset += kPiece) {
        const QByteArrayView piece(data + offset, std::min(kPiece, size - offset));
        const QByteArray held = eightBit ? Windows1252::ToUtf8(piece) : QByteArray();
        const QByteArrayView add = eightBit ? QByteArrayView(held) : piece;
        if (loader->AddData(add.data(), add.size()) != Sci::SC_STATUS_OK) {
            loader->Release();
            throw EHostError(QStringLiteral("Not enough memory for %1 bytes").arg(size));
        }
    }
    return loader->ConvertToDocument();
}

qint64 EditSurface::PieceLoadThreshold = qint64(64) << 20;
// Positions are ints throughout the editor, so a text must stay below 2 GiB.
qint64 EditSurface::LoadLimit = (qint64(2) << 30) - (qint64(1) << 20);
qint64 EditSurface::LoadPieceSize = qint64(4) << 20;
// A key at the end of a 5 MiB line costs about 3.2 s of layout, in proportion to its length.
qint64 EditSurface::LongLineLimit = 100000;
// Showing a place far down with word wrap on styles the text up to it at once: Ctrl+End on a
// fresh page took 0.6 s of CPU at 4 MiB and 2.6 s at 16 MiB. Larger texts are shown plain.
qint64 EditSurface::LargestColouredText = qint64(4) << 20;

void EditSurface::LineScan::scan(QByteArrayView held, TextState &state)
{
    if (state.longLine > 0 && !measuring)
        return;
    const char *p = held.data();
    const char *end = p + held.size();
    if (measuring) {
        // The rest of the long line, which an earlier piece began.
        for (; p < end && *p != '\n' && *p != '\r'; ++p)
            run += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
        state.longLineLength = run;
        measuring = p == end;
        return;
    }
    while (p < end) {
        // Lines are skipped with memchr; characters are counted only in a line long enough.
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = lf ? lf : end;
        if (run + (stop - p) > LongLineLimit || std::memchr(p, '\r', size_t(stop - p))) {
            for (; p < stop; ++p) {
                const char c = *p;
                if (c == '\r') {
                    ++line;
                    run = 0;
                    afterCr = true;
                    continue;
                }
                afterCr = false;
                if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++run > LongLineLimit) {
                    state.longLine = line;
                    ++p;
                    break;
                }
            }
        } else {
            for (const char *c = p; c < stop; ++c)
                run += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
            if (stop > p)
                afterCr = false;
            p = stop;
        }
        if (state.longLine > 0) {
            // Its full length, when the line ends in this piece; otherwise what was read of it.
            const char *eol = p;
            while (eol < end && *eol != '\n' && *eol != '\r')
                ++eol;
            for (; p < eol; ++p)
                run += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
            state.longLineLength = run;
            measuring = eol == end;
            return;
        }
        if (lf && p == lf) {
            if (!afterCr)
                ++line;
            run = 0;
            afterCr = false;
            ++p;
        }
    }
}

namespace {

// The length of data that ends on a whole UTF-8 sequence, so a piece can be checked without
// the start of the next one.
qsizetype wholeSequences(QByteArrayView data)
{
    const qsizetype size = data.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, size); ++back) {
        const auto c = static_cast<unsigned char>(data[size - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const qsizetype needed = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

QString cannotOpen(const QString &path, const QString &reason)
{
    QString message = QStringLiteral("Cannot open file ") + path;
    if (message.back() > QLatin1Char('.'))
        message += QLatin1Char('.');
    return message + QLatin1Char('\n') + reason;
}

} // namespace

void *EditSurface::loadPieces(const QString &path, qint64 size, bool eightBit, TextState &state,
                              bool &stopped, const std::function<bool(qint64, qint64)> &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EHostError(cannotOpen(path, file.errorString()));
    ILoader *loader = createLoader(*m_sci, size + 1024,
                                   Sci::SC_DOCUMENTOPTION_STYLES_NONE
                                       | Sci::SC_DOCUMENTOPTION_TEXT_LARGE);
    if (!loader)
        throw EHostError(QStringLiteral("Not enough memory for %1 bytes").arg(size));
    const auto fail = [&](const QString &message) {
        loader->Release();
        throw EHostError(message);
    };
    const qint64 kPiece = std::max<qint64>(1, LoadPieceSize);
    QByteArray piece(kPiece, Qt::Uninitialized);
    QByteArray carry; // the start of a UTF-8 sequence the last piece ended in
    qint64 read = 0;
    state = TextState {eightBit, true};
    LineScan lines;
    for (;;) {
        const qint64 n = file.read(piece.data(), kPiece);
        if (n < 0)
            fail(cannotOpen(path, file.errorString()));
        if (n == 0)
            break;
        const QByteArrayView got(piece.constData(), n);
        if (state.asciiOnly && !isAscii(got.data(), got.size()))
            state.asciiOnly = false;
        if (!eightBit)
            lines.scan(got, state);
        QByteArray held;
        QByteArrayView add = got;
        if (eightBit) {
            held = Windows1252::ToUtf8(got);
            add = held;
            lines.scan(held, state);
        } else {
            carry.append(got);
            const qsizetype whole = wholeSequences(carry);
            if (!QByteArrayView(carry).first(whole).isValidUtf8()) {
                loader->Release();
                return nullptr; // not UTF-8: the caller reads it again as 8-bit text
            }
            if (loader->AddData(carry.constData(), whole) != Sci::SC_STATUS_OK)
                fail(QStringLiteral("Not enough memory for %1 bytes").arg(size));
            carry.remove(0, whole);
            add = {};
        }
        if (!add.isEmpty() && loader->AddData(add.data(), add.size()) != Sci::SC_STATUS_OK)
            fail(QStringLiteral("Not enough memory for %1 bytes").arg(size));
        read += n;
        if (progress && !progress(read, size)) {
            loader->Release();
            stopped = true;
            return nullptr;
        }
    }
    if (!carry.isEmpty()) {
        loader->Release();
        return nullptr; // ends inside a sequence: 8-bit text
    }
    return loader->ConvertToDocument();
}

EditSurface::PieceLoad
EditSurface::loadDocumentFile(const QString &path, qint64 size,
                              const std::function<bool(qint64, qint64)> &progress)
{
    PieceLoad result;
    TextState state;
    bool stopped = false;
    void *pointer = loadPieces(path, size, false, state, stopped, progress);
    if (!pointer && !stopped)
        pointer = loadPieces(path, size, true, state, stopped, progress);
    if (!pointer)
        return result;
    auto document = std::make_unique<SurfaceDocument>(*this, pointer);
    document->text = state;
    document->tooLargeToColour = true;
    document->syntax = Syntax::Plain;
    // LooksLikeBinary's verdict: a NUL near the start of text that is not UTF-8.
    if (state.eightBit) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            result.looksBinary = file.read(64 * 1024).contains('\0');
    }
    result.document = std::move(document);
    return result;
}

void EditSurface::fill(const char *data, qsizetype size)
{
    const Silence silence(m_silent);
    SurfaceDocument &shown = *m_shown;
    // Empty the old text first, so that two large texts are never held at once.
    m_sci->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0UL);
    m_sci->SendScintilla(Sci::SCI_CLEARALL);
    shown.prepared = false;
    shown.text = textStateOf(data, size);
    if (size > LargestColouredText) {
        shown.tooLargeToColour = true;
        shown.syntax = Syntax::Plain;
    }
    LineScan().scan(QByteArrayView(data, size), shown.text);
    shown.anchor = shown.caret = shown.firstLine = shown.xOffset = 0;
    try {
        if (size > 0) {
            void *filled = load(data, size, shown.text.eightBit);
            m_sci->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, filled);
            m_colouring->prepare(*m_sci, shown.syntax, false);
            m_sci->SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, shown.pointer);
            shown.pointer = filled;
        }
    } catch (...) {
        settle(shown);
        throw;
    }
    settle(shown);
}

std::unique_ptr<EditingDocument> EditSurface::createDocument(const QByteArray &bytes,
                                                             const QString &path)
{
    const TextState text = textStateOf(bytes.constData(), bytes.size());
    void *pointer = bytes.isEmpty() ? m_sci->SendScintillaPtrResult(Sci::SCI_CREATEDOCUMENT)
                                    : load(bytes.constData(), bytes.size(), text.eightBit);
    auto document = std::make_unique<SurfaceDocument>(*this, pointer);
    document->text = text;
    LineScan().scan(bytes, document->text);
    document->tooLargeToColour = bytes.size() > LargestColouredText;
    document->syntax = document->tooLargeToColour ? Syntax::Plain : SyntaxOfPath(path);
    m_colouring->prepare(pointer, document->syntax, false);
    return document;
}

void EditSurface::setPathOf(SurfaceDocument &document, const QString &path)
{
    const Syntax syntax = document.tooLargeToColour ? Syntax::Plain : SyntaxOfPath(path);
    if (syntax == document.syntax)
        return;
    document.syntax = syntax;
    if (&document != m_shown) {
        m_colouring->prepare(document.pointer, syntax, true);
        return;
    }
    m_colouring->prepare(*m_sci, syntax, true);
    m_colouring->show(syntax);
    m_marks->markTags();
}

void EditSurface::showDocument(EditingDocument &document)
{
    auto *shown = dynamic_cast<SurfaceDocument *>(&document);
    Q_ASSERT(shown && shown->surface == this);
    attach(*shown);
    if (OnLongLine) {
        const QLocale locale;
        OnLongLine(shown->text.longLine == 0
                       ? QString()
                       : QStringLiteral("Line %1 has %2 characters: editing it is slow")
                             .arg(locale.toString(shown->text.longLine),
                                  locale.toString(shown->text.longLineLength)));
    }
    raiseChange();
}

void EditSurface::attach(SurfaceDocument &document)
{
    if (m_shown == &document)
        return;
    checkInsertedText();
    const Silence silence(m_silent);
    SurfaceDocument &left = *m_shown;
    left.anchor = m_sci->SendScintilla(Sci::SCI_GETANCHOR);
    left.caret = m_sci->SendScintilla(Sci::SCI_GETCURRENTPOS);
    left.firstLine = m_sci->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE,
                                          m_sci->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    left.xOffset = m_sci->SendScintilla(Sci::SCI_GETXOFFSET);
    m_sci->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document.pointer);
    m_shown = &document;
    settle(document);
}

void EditSurface::settle(SurfaceDocument &document)
{
    if (!document.prepared) {
        // These belong to the document, not to the view.
        m_sci->SendScintilla(Sci::SCI_SETEOLMODE, Sci::SC_EOL_CRLF);
        m_sci->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 1UL);
        m_sci->SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        m_sci->SendScintilla(Sci::SCI_SETSAVEPOINT);
        document.prepared = true;
    }
    // The surface holds every text as UTF-8; a new document comes up in another code page.
    m_sci->setUtf8(true);
    m_colouring->show(document.syntax);
    m_marks->fitMargin();
    m_sci->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(document.anchor),
                         document.caret);
    m_sci->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                         m_sci->SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE,
                                              static_cast<unsigned long>(document.firstLine)));
    m_sci->SendScintilla(Sci::SCI_SETXOFFSET, static_cast<unsigned long>(document.xOffset));
}

void EditSurface::release(SurfaceDocument &document)
{
    if (m_shown == &document)
        attach(*m_own);
    m_sci->SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0UL, document.pointer);
}

QByteArray EditSurface::linesTextOf(const SurfaceDocument &document) const
{
    if (&document == m_shown)
        return linesText();
    if (!m_reader)
        m_reader = std::make_unique<QsciScintillaBase>();
    m_reader->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, document.pointer);
    const QByteArrayView held(
        static_cast<const char *>(m_reader->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER)),
        m_reader->SendScintilla(Sci::SCI_GETLENGTH));
    QByteArray text = document.text.eightBit ? LinesWithCrLf(Windows1252::FromUtf8(held))
                                             : LinesWithCrLf(held.data(), held.size());
    m_reader->SendScintilla(Sci::SCI_SETDOCPOINTER, 0UL, static_cast<void *>(nullptr));
    return text;
}

QByteArrayView EditSurface::surfaceText() const
{
    ++m_wholeTextReads;
    const long length = m_sci->SendScintilla(Sci::SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(
        m_sci->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(data, length);
}

QByteArray EditSurface::toSurface(const QString &text) const
{
    return m_shown->text.eightBit ? Windows1252::Restricted(text).toUtf8() : text.toUtf8();
}

QByteArray EditSurface::bytes() const
{
    return m_shown->text.eightBit ? Windows1252::FromUtf8(surfaceText())
                                  : surfaceText().toByteArray();
}

QByteArray EditSurface::linesText() const
{
    if (m_shown->text.eightBit)
        return LinesWithCrLf(Windows1252::FromUtf8(surfaceText()));
    const QByteArrayView text = surfaceText();
    return LinesWithCrLf(text.data(), text.size());
}

void EditSurface::setLinesText(const QByteArray &text)
{
    fill(text.constData(), text.size());
    raiseChange();
}

void EditSurface::linesClear()
{
    fill(nullptr, 0);
    raiseChange();
}

void EditSurface::linesLoadFromFile(const QString &path)
{
    setLinesText(ReadDocumentFile(path));
}

long EditSurface::bytePosition(int charPosition) const
{
    const long length = m_sci->SendScintilla(Sci::SCI_GETLENGTH);
    if (charPosition <= 0)
        return 0;
    if (positionsAreBytes())
        return std::min<long>(charPosition, length);
    const long line = m_sci->SendScintilla(Sci::SCI_LINEFROMINDEXPOSITION,
                                           static_cast<unsigned long>(charPosition),
                                           static_cast<long>(Sci::SC_LINECHARACTERINDEX_UTF32));
    const long lineChar = m_sci->SendScintilla(Sci::SCI_INDEXPOSITIONFROMLINE,
                                               static_cast<unsigned long>(line),
                                               static_cast<long>(Sci::SC_LINECHARACTERINDEX_UTF32));
    const long lineByte = m_sci->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                               static_cast<unsigned long>(line));
    const long offset = charPosition - lineChar;
    if (offset <= 0)
        return lineByte;
    const long pos = m_sci->SendScintilla(Sci::SCI_POSITIONRELATIVE,
                                          static_cast<unsigned long>(lineByte), offset);
    return pos == 0 ? length : pos; // 0 means beyond the end
}

int EditSurface::charPosition(long bytePosition) const
{
    if (bytePosition <= 0 || positionsAreBytes())
        return static_cast<int>(std::max(0L, bytePosition));
    const long line = m_sci->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                           static_cast<unsigned long>(bytePosition));
    const long lineChar = m_sci->SendScintilla(Sci::SCI_INDEXPOSITIONFROMLINE,
                                               static_cast<unsigned long>(line),
                                               static_cast<long>(Sci::SC_LINECHARACTERINDEX_UTF32));
    const long lineByte = m_sci->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                               static_cast<unsigned long>(line));
    return static_cast<int>(lineChar
                            + m_sci->SendScintilla(Sci::SCI_COUNTCHARACTERS,
                                                   static_cast<unsigned long>(lineByte),
                                                   bytePosition));
}

int EditSurface::textLength() const
{
    return charPosition(m_sci->SendScintilla(Sci::SCI_GETLENGTH));
}

qint64 EditSurface::uncolouredSize() const
{
    return m_shown->tooLargeToColour ? qint64(m_sci->SendScintilla(Sci::SCI_GETLENGTH)) : 0;
}

int EditSurface::selStart() const
{
    return charPosition(m_sci->SendScintilla(Sci::SCI_GETSELECTIONSTART));
}

int EditSurface::selLength() const
{
    return charPosition(m_sci->SendScintilla(Sci::SCI_GETSELECTIONEND)) - selStart();
}

void EditSurface::setSelStart(int position)
{
    const long b = bytePosition(position);
    m_sci->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(b), b);
}

void EditSurface::setSelLength(int length)
{
    const long start = m_sci->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = bytePosition(charPosition(start) + std::max(0, length));
    m_sci->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(start), end);
}

QString EditSurface::selText() const
{
    const long start = m_sci->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = m_sci->SendScintilla(Sci::SCI_GETSELECTIONEND);
    return QString::fromUtf8(surfaceText().sliced(start, end - start));
}

void EditSurface::setSelText(const QString &text)
{
    const QByteArray b = toSurface(text);
    const long start = m_sci->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long end = m_sci->SendScintilla(Sci::SCI_GETSELECTIONEND);
    if (m_shown->text.asciiOnly && !isAscii(b.constData(), b.size()))
        m_shown->text.asciiOnly = false;
    ++m_silent;
    m_sci->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    m_sci->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(b.size()),
                         b.constData());
    m_sci->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(start + b.size()));
    --m_silent;
    raiseChange();
}

void EditSurface::setSelTextBuf(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    setSelText(nul < 0 ? text : text.left(nul));
}

void EditSurface::clearSelection()
{
    if (m_sci->SendScintilla(Sci::SCI_GETSELECTIONSTART)
        != m_sci->SendScintilla(Sci::SCI_GETSELECTIONEND))
        setSelText(QString());
}

int EditSurface::findText(const QString &text, int start, int length)
{
    if (text.isEmpty() || length <= 0)
        return -1;
    const long from = bytePosition(start);
    const long to = bytePosition(start + length);
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (!ascii)
        return findFolded(text, from, to);
    // Scintilla folds ASCII letters itself, which is all an ASCII search text needs.
    const QByteArray needle = text.toLatin1();
    m_sci->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    m_sci->SendScintilla(Sci::SCI_SETSEARCHFLAGS, 0UL);
    const long found = m_sci->SendScintilla(
        Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
    return found < 0 ? -1 : charPosition(found);
}

int EditSurface::findFolded(const QString &text, long fromByte, long toByte) const
{
    // Scintilla only folds ASCII; other letters are folded by Qt on the decoded range.
    const QString haystack = QString::fromUtf8(surfaceText().sliced(fromByte, toByte - fromByte));
    const qsizetype index = haystack.indexOf(text, 0, Qt::CaseInsensitive);
    if (index < 0)
        return -1;
    // UTF-16 units before the match, less the second halves of surrogate pairs.
    qsizetype characters = index;
    for (qsizetype i = 0; i < index; ++i)
        if (haystack.at(i).isLowSurrogate())
            --characters;
    return charPosition(fromByte) + static_cast<int>(characters);
}

void EditSurface::setFocus()
{
    // A hidden widget can keep Qt's focus, but it is never the focused control for a user.
    if (!m_sci->isVisible() || !m_sci->isEnabled())
        throw EHostError(QStringLiteral("Cannot focus a disabled or invisible window"));
    m_sci->setFocus(Qt::OtherFocusReason);
}

void EditSurface::setWordWrap(bool on)
{
    m_wordWrap = on;
    m_sci->setWrapMode(on ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
}

void EditSurface::setFont(const EditorFont &font)
{
    m_font = font;
    QFont f(font.name, font.size > 0 ? font.size : 1);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    m_sci->setFont(f);
    // Setting the font gives every style the default colours.
    m_colouring->refresh();
}

void EditSurface::beginUndoAction()
{
    m_sci->SendScintilla(Sci::SCI_BEGINUNDOACTION);
}

void EditSurface::endUndoAction()
{
    m_sci->SendScintilla(Sci::SCI_ENDUNDOACTION);
}

void EditSurface::undo()
{
    m_sci->undo();
    reportChange();
}

void EditSurface::redo()
{
    m_sci->redo();
    reportChange();
}

void EditSurface::releaseKeys(const QList<QKeySequence> &keys)
{
    for (const QKeySequence &sequence : keys) {
        const int key = sequence[0].toCombined();
        for (QsciCommand *command : m_sci->standardCommands()->commands()) {
            if (command->key() == key)
                command->setKey(0);
            if (command->alternateKey() == key)
                command->setAlternateKey(0);
        }
    }
}

int EditSurface::characterCount(const QString &text) const
{
    const QByteArray b = toSurface(text);
    int count = 0;
    for (char c : b)
        count += (uchar(c) & 0xC0) != 0x80;
    return count;
}

qsizetype EditSurface::replaceAll(const QString &text, const QString &replacement, int start)
{
    const QByteArray with = toSurface(replacement);
    const QByteArrayView old = surfaceText();
    ReplaceAllResult result = ReplaceAllBytes(old, text, with, bytePosition(start));
    if (result.replacements == 0)
        return 0;

    // Only the changed middle is replaced, so the undo step holds no more than that; its ends
    // lie on character boundaries.
    QByteArray &now = result.text;
    const qsizetype oldSize = old.size();
    const qsizetype shorter = std::min(oldSize, now.size());
    qsizetype prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && old[oldSize - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const auto inside = [](QByteArrayView b, qsizetype i) {
        return i < b.size() && (uchar(b[i]) & 0xC0) == 0x80;
    };
    while (prefix > 0 && (inside(old, prefix) || inside(now, prefix)))
        --prefix;
    while (suffix > 0 && inside(old, oldSize - suffix))
        --suffix;
    if (m_shown->text.asciiOnly && !isAscii(with.constData(), with.size()))
        m_shown->text.asciiOnly = false;

    ++m_silent;
    // Scintilla reports each change to assistive tools as a QString of the changed text and of
    // all text before it; with no tool listening, that is time and memory spent for nothing.
    const long eventMask = m_sci->SendScintilla(Sci::SCI_GETMODEVENTMASK);
    if (!QAccessible::isActive())
        m_sci->SendScintilla(Sci::SCI_SETMODEVENTMASK, 0UL);
    // Room for the new text now, while the undo step holds nothing yet: growing the document
    // later would copy it with the old and new text both held.
    m_sci->SendScintilla(Sci::SCI_ALLOCATE, static_cast<unsigned long>(now.size() + 1024));
    m_sci->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    m_sci->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(prefix),
                         static_cast<long>(oldSize - suffix));
    m_sci->SendScintilla(Sci::SCI_REPLACETARGET, 0UL, "");
    // The new middle goes in piece by piece from its end, and each piece inserted is dropped
    // from the result, so that the new text is never held twice. Pieces are whole characters.
    constexpr qsizetype kPiece = 1 << 20;
    qsizetype end = now.size() - suffix;
    while (end > prefix) {
        qsizetype begin = std::max(prefix, end - kPiece);
        while (begin > prefix && inside(now, begin))
            --begin;
        m_sci->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(prefix),
                             static_cast<long>(prefix));
        m_sci->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(end - begin),
                             now.constData() + begin);
        now.truncate(begin);
        now.squeeze();
        end = begin;
    }
    m_sci->SendScintilla(Sci::SCI_ENDUNDOACTION);
    m_sci->SendScintilla(Sci::SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
    m_sci->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(result.caret));
    --m_silent;
    raiseChange();
    return result.replacements;
}
