#include "BenchSupport.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The floor of an atomic save: one write() and one fsync() of the bytes into a new file in the
// same directory.
double writeAndSyncMs(const QByteArray &bytes, const QString &dir)
{
    const QByteArray path = QFile::encodeName(dir + QStringLiteral("/.bench-floor.tmp"));
    const double ms = TimeMs([&] {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()
            || ::fsync(fd) != 0 || ::close(fd) != 0)
            qFatal("cannot write %s", path.constData());
    });
    ::unlink(path.constData());
    return ms;
}

} // namespace

// Save of a 50 MB document from the main window against the floor, runs of the two interleaved.
void BenchSave()
{
    const QByteArray html = GenerateHtml(50 * 1024 * 1024);
    struct Case
    {
        const char *what;
        QByteArray text;
    };
    // The first is the common case; 8-bit text is converted back to its bytes, and line ends
    // other than CR LF are rewritten.
    const Case cases[] = {
        {"UTF-8, CR LF", html},
        {"8-bit", QByteArray(html).replace("<b>", "<b>\x93").replace("</b>", "\x94</b>")},
        {"LF line ends", QByteArray(html).replace("\r\n", "\n")},
    };
    const QString dir = QDir::currentPath();
    const QString path = dir + QStringLiteral("/bench-save.htm");
    ScriptedDialogs dialogs;
    TfrmEditor form(dialogs, QStringList {QStringLiteral("OrvikEditor")});
    form.show();
    SettleEvents();
    for (const Case &c : cases) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(c.text) != c.text.size())
            qFatal("cannot write %s", qPrintable(path));
        f.close();
        OpenDocument(form, path);
        SettleEvents();
        std::vector<double> saves, floors;
        for (int run = 0; run < 7; ++run) {
            // Each measurement starts once the system has finished what the one before left
            // behind (a replaced file is freed on another thread).
            floors.push_back(writeAndSyncMs(c.text, dir));
            QThread::msleep(300);
            saves.push_back(TimeMs([&] { Choose(form, "itmSave"); }));
            QThread::msleep(300);
        }
        QFile saved(path);
        const QByteArray crLf = QByteArray(c.text).replace("\r\n", "\n").replace("\n", "\r\n");
        if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != crLf)
            qFatal("the saved %s file differs", c.what);
        const auto what = [&](const char *text) {
            return QString::fromLatin1(text).arg(QLatin1String(c.what));
        };
        Report("save", what("write() and fsync() of 50 MB, %1"), Median(floors), "ms");
        Report("save", what("Save of the 50 MB document, %1"), Median(saves), "ms");
        ReportRatio("save", what("Save / write and fsync, %1"), Median(saves) / Median(floors),
                    c.text == html ? "(goal <= 2)" : "");
        Choose(form, "itmClose");
    }
    QFile::remove(path);
    if (!dialogs.allAnswered())
        qFatal("%s", qPrintable(dialogs.report()));
}
