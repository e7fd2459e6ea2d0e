// Any bytes loaded into the editing surface read back through Lines.Text as the same bytes with
// every line ended by CR LF, and a save writes exactly those bytes. Each input is loaded whole,
// as a file is opened, and in small pieces, as a large file is read; it is also tried as valid
// UTF-8, so that both the UTF-8 and the 8-bit way of holding text are exercised.
#include "docs/DocumentFiles.h"
#include "host/Application.h"
#include "host/EditSurface.h"
#include "host/Guard.h"
#include "host/LinesTextWriter.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

class SilentDialogs : public Dialogs
{
public:
    ModalResult messageDlg(const QString &, TMsgDlgType, TMsgDlgButtons, int) override
    {
        return mrCancel;
    }
    void showMessage(const QString &) override { }
    void showErrorReport(const QString &) override { }
    std::optional<QString> executeOpen(const FileDialogRequest &) override { return {}; }
    std::optional<QString> executeSave(const FileDialogRequest &) override { return {}; }
    std::optional<EditorFont> executeFont(const EditorFont &) override { return {}; }
};

struct World
{
    explicit World(int &argc, char **argv) : app(argc, argv) { }
    QApplication app;
    SilentDialogs dialogs;
    Guard guard {dialogs};
    EditSurface surface {guard, nullptr};
    QTemporaryDir dir;
    QString opened = dir.path() + QStringLiteral("/opened.htm");
    QString saved = dir.path() + QStringLiteral("/saved.htm");
    // Shown between inputs, so that each input's text is let go while another is shown.
    std::unique_ptr<EditingDocument> blank = surface.createDocument();
};
World *world;

// CR LF, a lone CR and a lone LF each end a line; each line comes back followed by CR LF.
QByteArray expectedLines(const QByteArray &in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\r' && in[i] != '\n') {
            out += in[i];
            if (i + 1 < in.size())
                continue;
        } else if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') {
            ++i;
        }
        out += "\r\n";
    }
    return out;
}

void fail(const char *what, const QByteArray &in)
{
    std::fprintf(stderr, "%s for %s\n", what, in.toHex().constData());
    std::abort();
}

void check(EditingDocument &doc, const QByteArray &in)
{
    EditSurface &surface = world->surface;
    const QByteArray expected = expectedLines(in);
    if (doc.linesText() != expected)
        fail("hidden text reads back other lines", in);
    surface.showDocument(doc);
    if (surface.bytes() != in)
        fail("shown text holds other bytes", in);
    if (surface.linesText() != expected || doc.linesText() != expected)
        fail("shown text reads back other lines", in);
    // A new file each time: replacing one lets the old go on a thread, which would set the pace.
    QFile::remove(world->saved);
    QString error;
    // As Save writes the shown text: streamed from the surface, never built whole.
    const auto text = [&surface](const ByteSink &write) { return WriteLinesText(surface, write); };
    if (!SaveDocumentFile(world->saved, text, &error))
        fail(qPrintable(error), in);
    QFile saved(world->saved);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != expected)
        fail("the save wrote other bytes", in);
    surface.showDocument(*world->blank);
}

void roundTrip(const QByteArray &in)
{
    check(*world->surface.createDocument(in, world->opened), in);

    // Pieces of 1 to 8 bytes, chosen by the input, end inside line breaks and UTF-8 sequences.
    QFile file(world->opened);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(in) != in.size())
        fail("the input could not be written", in);
    file.close();
    EditSurface::LoadPieceSize = in.isEmpty() ? 1 : 1 + uchar(in.back()) % 8;
    EditSurface::PieceLoad load = world->surface.loadDocumentFile(world->opened, in.size(), {});
    if (!load.document)
        fail("the read in pieces gave nothing", in);
    check(*load.document, in);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareHostProcess();
    world = new World(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), qsizetype(size));
    roundTrip(in);
    const QByteArray utf8 = QString::fromUtf8(in).toUtf8();
    if (utf8 != in)
        roundTrip(utf8);
    return 0;
}
