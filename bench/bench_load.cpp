#include "BenchSupport.h"

#include "host/EditSurface.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QWidget>

namespace {

// Loading a 50 MB page into the editing surface, against reading the file's bytes; then the
// whole text back, and the first position the logic asks for (which may build an index).
void measure(const QString &kind, const QByteArray &page)
{
    const QString path = QDir::currentPath() + QStringLiteral("/bench-50mb.htm");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(page) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    const double readMs = MedianMs(3, [&] {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            (void)f.readAll();
    });
    ScriptedDialogs dialogs;
    Guard guard(dialogs);
    QWidget host;
    EditSurface surface(guard, &host);
    std::vector<double> firstPosition;
    const double loadMs = MedianMs(3, [&] {
        surface.linesLoadFromFile(path);
        firstPosition.push_back(TimeMs([&] { (void)surface.textLength(); }));
    });
    const double linesMs = MedianMs(3, [&] {
        if (surface.linesText() != page)
            qFatal("Lines.Text of the %s page differs from its file", qPrintable(kind));
    });
    const auto what = [&](const char *text) { return QString::fromLatin1(text).arg(kind); };
    Report("load", what("raw read of 50 MB %1 file"), readMs, "ms");
    Report("load", what("Lines.LoadFromFile of the same %1 file"), loadMs, "ms");
    ReportRatio("load", what("surface load / raw read, %1"), loadMs / readMs, "");
    Report("load", what("Lines.Text get of the loaded 50 MB, %1"), linesMs, "ms");
    Report("load", what("first position asked after loading, %1"), Median(firstPosition), "ms");
    QFile::remove(path);
}

} // namespace

void BenchLoad()
{
    const QByteArray html = GenerateHtml(50 * 1024 * 1024);
    measure(QStringLiteral("UTF-8"), html);
    // Quotes and euro signs in windows-1252 make the same page 8-bit text.
    measure(QStringLiteral("8-bit"),
            QByteArray(html).replace("<b>", "<b>\x93").replace("</b>", "\x94</b> \x80"));
    Report("load", "peak resident memory", PeakRssMb(), "MB");
}
