// The editing surface mmoEditor: a byte-exact text editor with the memo operations the logic uses.
#pragma once

#include "docs/EditingDocument.h"
#include "host/Dialogs.h"

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class Guard;
class QMenu;
class QsciScintilla;
class QsciScintillaBase;
class QWidget;
class SurfaceDocument;
class SurfaceMarks;
class SyntaxColouring;

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

    // A new text holding bytes, not shown, with no undo history and the caret at its start,
    // coloured as the kind of file path names (a page when untitled).
    // Fails with "Not enough memory for %d bytes" as setLinesText does.
    std::unique_ptr<EditingDocument> createDocument(const QByteArray &bytes = {},
                                                    const QString &path = {});
    // Shows a text this surface created in place of the shown one; each keeps its undo history,
    // caret, selection and scroll position. Raises OnChange once, as replacing the text does.
    void showDocument(EditingDocument &document);

    // Files larger than this are read into a new text in pieces, with no copy of their bytes
    // beside it and no memory for colours; larger than the limit, they are refused. Settable
    // so that tests can reach both with small files.
    static qint64 PieceLoadThreshold;
    static qint64 LoadLimit;
    static qint64 LoadPieceSize;
    struct PieceLoad
    {
        std::unique_ptr<EditingDocument> document; // none when stopped
        bool looksBinary = false; // as LooksLikeBinary judges the bytes
    };
    // Reads a regular file of about size bytes into a new, unshown text in pieces;
    // progress(read, size) runs between them and returns false to stop, which leaves nothing
    // behind. Fails with "Cannot open file %s." and the reason, as ReadDocumentFile does.
    PieceLoad loadDocumentFile(const QString &path, qint64 size,
                               const std::function<bool(qint64, qint64)> &progress);

    // Lines longer than this make every change on them slow (the surface lays out a whole line
    // at each change); showing a text with one raises OnLongLine with a notice for the user,
    // and an empty one for any other text.
    static qint64 LongLineLimit;
    std::function<void(const QString &)> OnLongLine;

    // Texts of more bytes than this are shown plain, as is any text read in pieces.
    static qint64 LargestColouredText;
    // The length in bytes of the shown text when it is shown plain for its size, else 0.
    qint64 uncolouredSize() const;

    // How many times the whole text has been read since the surface was made; typing must
    // not add to it.
    qint64 wholeTextReads() const { return m_wholeTextReads; }

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
    void setSelText(const QString &text); // replaces the selection; caret after the text
    void setSelTextBuf(const QString &text); // the same, up to the text's first NUL
    void clearSelection(); // deletes the selection, if any

    // First case-insensitive occurrence in [start, start + length), or -1; empty text finds
    // nothing.
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
    // Takes back or redoes the last edit of the text the surface holds; OnChange follows.
    void undo();
    void redo();
    // Keys the window's own commands take: the surface drops its bindings for them, since it
    // would otherwise keep those keys to itself while it has the keyboard.
    void releaseKeys(const QList<QKeySequence> &keys);

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
        bool eightBit = false; // windows-1252 bytes, held as UTF-8
        bool asciiOnly = true; // so byte positions are character positions
        mutable bool indexAllocated = false; // Scintilla's character index, built on first use
        // The first line over LongLineLimit when loaded, counted from 1, and its characters.
        qint64 longLine = 0;
        qint64 longLineLength = 0;
    };
    // Finds the first line over the limit in a text's bytes as held, continuing from a piece
    // that ended inside a line.
    struct LineScan
    {
        qint64 line = 1;
        qint64 run = 0; // characters of the current line so far
        bool afterCr = false;
        bool measuring = false; // the long line goes on into the next piece
        void scan(QByteArrayView held, TextState &state);
    };

    static TextState textStateOf(const char *data, qsizetype size);
    void fill(const char *data, qsizetype size);
    void *load(const char *data, qsizetype size, bool eightBit);
    void *loadPieces(const QString &path, qint64 size, bool eightBit, TextState &state,
                     bool &stopped, const std::function<bool(qint64, qint64)> &progress);
    void attach(SurfaceDocument &document);
    // Applies what belongs to the shown text: its first settings, code page and place.
    void settle(SurfaceDocument &document);
    void release(SurfaceDocument &document);
    void setPathOf(SurfaceDocument &document, const QString &path);
    QByteArray linesTextOf(const SurfaceDocument &document) const;
    QByteArrayView surfaceText() const;
    QByteArray toSurface(const QString &text) const;
    int findFolded(const QString &text, long fromByte, long toByte) const;
    static bool isAscii(const char *data, qsizetype size);
    bool positionsAreBytes() const;
    void raiseChange();
    void onModified(int position, int type, const char *text, int length);
    // Notes whether the text inserted last holds characters beyond ASCII.
    void checkInsertedText() const;
    void reportChange();

    Guard &m_guard;
    QsciScintilla *m_sci;
    QMenu *m_popup = nullptr;
    int m_silent = 0;
    bool m_changePending = false;
    // The last insertion announced and not yet looked at.
    struct Inserted
    {
        long position = -1;
        long length = 0;
    };
    mutable Inserted m_inserted;
    bool m_wordWrap = false;
    EditorFont m_font;
    // The surface's own text, shown while no other is.
    std::unique_ptr<SurfaceDocument> m_own;
    SurfaceDocument *m_shown = nullptr;
    SyntaxColouring *m_colouring;
    SurfaceMarks *m_marks;
    // Reads texts that are not shown, without disturbing the view.
    mutable std::unique_ptr<QsciScintillaBase> m_reader;
    mutable qint64 m_wholeTextReads = 0;
};
