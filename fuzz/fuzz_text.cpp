// Any bytes loaded into the editing surface read back through Lines.Text as the same bytes with
// every line ended by CR LF, and a save writes exactly those bytes. Each input is also tried as
// valid UTF-8, so that both the UTF-8 and the 8-bit way of holding text are exercised.
#include "docs/DocumentFiles.h"
#include "host/Application.h"
#include "host/EditSurface.h"
#include "host/Guard.h"

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
    QApplication *app;
    SilentDialogs dialogs;
    Guard guard {dialogs};
    EditSurface surface {guard, nullptr};
    QTemporaryDir dir;
    QString file = dir.path() + QStringLiteral("/page.htm");
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

void roundTrip(const QByteArray &in)
{
    EditSurface &surface = world->surface;
    const QByteArray expected = expectedLines(in);
    std::unique_ptr<EditingDocument> doc = surface.createDocument(in);
    if (doc->linesText() != expected)
        fail("hidden text reads back other lines", in);
    surface.showDocument(*doc);
    if (surface.bytes() != in)
        fail("shown text holds other bytes", in);
    if (surface.linesText() != expected || doc->linesText() != expected)
        fail("shown text reads back other lines", in);
    QString error;
    if (!SaveDocumentFile(world->file, surface.linesText(), &error))
        fail(qPrintable(error), in);
    QFile saved(world->file);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != expected)
        fail("the save wrote other bytes", in);
    // The surface shows one text at a time: a fresh one takes the place of this one.
    std::unique_ptr<EditingDocument> blank = surface.createDocument();
    surface.showDocument(*blank);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareHostProcess();
    world = new World {new QApplication(*argc, *argv)};
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
