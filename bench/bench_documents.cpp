#include "BenchSupport.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/TabStrip.h"

#include <Qsci/qsciscintilla.h>
#include <QDir>
#include <QFile>
#include <QTabBar>

// Opening, switching and saving 50 MB documents in the main window.
void BenchDocuments()
{
    const QByteArray html = GenerateHtml(50 * 1024 * 1024);
    const QString a = WriteBenchInput(QStringLiteral("bench-a.htm"), html);
    const QString b = WriteBenchInput(QStringLiteral("bench-b.htm"), html);
    const double fileMb = html.size() / (1024.0 * 1024.0);

    const double readMs = MedianMs(3, [&] {
        QFile f(a);
        if (f.open(QIODevice::ReadOnly))
            (void)f.readAll();
    });

    ScriptedDialogs dialogs;
    auto form = std::make_unique<TfrmEditor>(dialogs, QStringList {QStringLiteral("OrvikEditor")});
    form->show();
    SettleEvents();
    EditSurface &surface = Control<EditSurface>(*form);
    const double surfaceMs = MedianMs(3, [&] { surface.setLinesText(html); });
    Choose(*form, "itmClose"); // back to one untitled, unchanged document
    SettleEvents();
    ResetPeakRss();
    const double baseMb = CurrentRssMb();
    const double openMs = TimeMs([&] { OpenDocument(*form, a); });
    SettleEvents();
    const double peakOneMb = PeakRssMb() - baseMb;
    const double peakOneAbsMb = PeakRssMb();

    const double openSecondMs = TimeMs([&] { OpenDocument(*form, b); });
    SettleEvents();
    QTabBar *bar = Control<TabStrip>(*form).bar();
    const double switchMs = MedianMs(5, [&] {
        bar->setCurrentIndex(1 - bar->currentIndex()); // as a user's switch
        SettleEvents();
    });
    const double peakTwoMb = PeakRssMb() - baseMb;
    const double peakTwoAbsMb = PeakRssMb();

    Control<QsciScintilla>(*form, "mmoEditor").insert(QStringLiteral("x"));
    const double saveMs = MedianMs(3, [&] { Choose(*form, "itmSave"); });
    const QByteArray saved = surface.linesText();
    const double writeMs = MedianMs(3, [&] {
        QFile f(QDir::currentPath() + QStringLiteral("/bench-raw.htm"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            (void)f.write(saved);
    });

    Report("documents", "raw read of the 50 MB file", readMs, "ms");
    Report("documents", "surface load of the same bytes (Lines.Text set)", surfaceMs, "ms");
    Report("documents", "open into the untitled tab (OpenDocument)", openMs, "ms");
    ReportRatio("documents", "open / surface load", openMs / surfaceMs, "");
    ReportRatio("documents", "open / raw read", openMs / readMs, "");
    Report("documents", "open into a second tab", openSecondMs, "ms");
    ReportRatio("documents", "peak resident growth, one document / file size", peakOneMb / fileMb,
                "");
    ReportRatio("documents", "peak resident growth, two documents / file size", peakTwoMb / fileMb,
                "");
    Report("documents", "peak resident memory, one 50 MB document open", peakOneAbsMb, "MB");
    Report("documents", "peak resident memory, two open and switched", peakTwoAbsMb, "MB");
    Report("documents", "tab switch between two 50 MB documents", switchMs, "ms");
    Report("documents", "Save of the 50 MB document", saveMs, "ms");
    Report("documents", "one write() of the same bytes", writeMs, "ms");
    ReportRatio("documents", "save / single write", saveMs / writeMs, "");
    form.reset();
    for (const char *name : {"bench-a.htm", "bench-b.htm", "bench-raw.htm"})
        QFile::remove(QDir::currentPath() + QLatin1Char('/') + QLatin1String(name));
}
