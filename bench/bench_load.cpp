#include "BenchSupport.h"

#include "host/EditSurface.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QWidget>

// Loading a 50 MB page into the editing surface, against reading the file's bytes.
void BenchLoad()
{
    const QString path = QDir::currentPath() + QStringLiteral("/bench-50mb.htm");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(GenerateHtml(50 * 1024 * 1024)) < 0)
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
    const double loadMs = MedianMs(3, [&] { surface.linesLoadFromFile(path); });
    const double linesMs = MedianMs(3, [&] { (void)surface.linesText(); });
    Report("load", "raw read of 50 MB file", readMs, "ms");
    Report("load", "Lines.LoadFromFile of the same file", loadMs, "ms");
    ReportRatio("load", "surface load / raw read", loadMs / readMs, "");
    Report("load", "Lines.Text get of the loaded 50 MB", linesMs, "ms");
    Report("load", "peak resident memory", PeakRssMb(), "MB");
    QFile::remove(path);
}
