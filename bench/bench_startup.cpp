#include "BenchSupport.h"
#include "ScriptedDialogs.h"

#include "forms/fmEditor.h"

#include <QMainWindow>
#include <QTest>

// Start-up to a shown, idle main window, against a bare main window shown the same way.
void BenchStartup()
{
    const auto bare = [] {
        QMainWindow w;
        w.resize(814, 575);
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
        SettleEvents();
    };
    const auto editor = [] {
        ScriptedDialogs dialogs;
        TfrmEditor w(dialogs, {QStringLiteral("OrvikEditor")});
        w.show();
        (void)QTest::qWaitForWindowExposed(&w);
        SettleEvents();
    };
    bare();
    editor(); // warm both paths (fonts, styles) before measuring
    const double bareMs = MedianMs(9, bare);
    const double editorMs = MedianMs(9, editor);
    Report("startup", "bare QMainWindow shown and idle", bareMs, "ms");
    Report("startup", "editor window shown and idle", editorMs, "ms");
    ReportRatio("startup", "editor start-up / bare window", editorMs / bareMs, "(goal < 1.5)");
}
