#include "BenchSupport.h"

#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/FindDialog.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include <Qsci/qsciscintilla.h>
#include <QPushButton>
#include <QTest>
#include <vector>

namespace {

struct Figures
{
    qsizetype occurrences = 0;
    double floorMs = 0;
    double cpuMs = 0;
    double wallMs = 0;
    double undoMs = 0;
    double addedMb = 0; // peak resident memory above what was resident before
};

// Replace All of "b>" by "strong>" through the Replace dialog's button, against
// QByteArray::replace on the same bytes; the editor's final text must be the same bytes. Each
// run starts from a freshly loaded document, with freed memory given back to the system, so
// that no run reuses what an earlier one left.
Figures measure(TfrmEditor &form, qsizetype size)
{
    const QByteArray html = GenerateHtml(size);
    Figures f;
    f.occurrences = html.count("b>");
    QByteArray expected;
    f.floorMs = MedianMs(3, [&] {
        expected = html;
        expected.detach();
        expected.replace("b>", "strong>");
    });

    auto *replaceAll = Control<FindDialog>(form, "dlgReplace")
                           .findChild<QPushButton *>(QStringLiteral("ReplaceAll"));
    EditSurface &editor = Control<EditSurface>(form);
    std::vector<double> cpu, wall, undo, added;
    for (int run = 0; run < 5; ++run) {
        editor.setLinesText(html);
        editor.setSelStart(0);
        SettleEvents();
        ReleaseFreeMemory();
        const double residentBefore = CurrentRssMb();
        ResetPeakRss();
        cpu.push_back(CpuMs([&] { wall.push_back(TimeMs([&] { replaceAll->click(); })); }));
        added.push_back(PeakRssMb() - residentBefore);
        if (editor.bytes() != expected)
            qFatal("Replace All on %lld bytes gave a different text", qlonglong(size));
        // One undo step brings the generated text back.
        undo.push_back(TimeMs([&] { Control<QsciScintilla>(form, "mmoEditor").undo(); }));
        if (editor.bytes() != html)
            qFatal("undoing Replace All on %lld bytes did not restore the text", qlonglong(size));
    }
    editor.linesClear();
    f.cpuMs = Median(cpu);
    f.wallMs = Median(wall);
    f.undoMs = Median(undo);
    f.addedMb = Median(added);
    return f;
}

} // namespace

void BenchReplace()
{
    ScriptedDialogs dialogs;
    TfrmEditor form(dialogs, {"OrvikEditor"});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("main window not shown");
    Choose(form, "Replace1");
    auto &dlgReplace = Control<FindDialog>(form, "dlgReplace");
    dlgReplace.setFindText(QStringLiteral("b>"));
    dlgReplace.setReplaceText(QStringLiteral("strong>"));

    constexpr qsizetype kSmall = 5 * 1024 * 1024;
    constexpr qsizetype kLarge = 50 * 1024 * 1024;
    const Figures small = measure(form, kSmall);
    const Figures large = measure(form, kLarge);
    for (const auto &[size, bytes, f] :
         {std::tuple {"5 MB", kSmall, small}, std::tuple {"50 MB", kLarge, large}}) {
        const auto what = [size](const char *text) {
            return QString::fromLatin1(text).arg(QLatin1String(size));
        };
        Report("replace", what("occurrences of \"b>\" in %1"), double(f.occurrences), "");
        Report("replace", what("QByteArray::replace, %1"), f.floorMs, "ms");
        Report("replace", what("Replace All button, %1, wall"), f.wallMs, "ms");
        Report("replace", what("Replace All button, %1, CPU"), f.cpuMs, "ms");
        ReportRatio("replace", what("Replace All wall / QByteArray::replace, %1"),
                    f.wallMs / f.floorMs, "");
        Report("replace", what("undo of Replace All, %1"), f.undoMs, "ms");
        const double added = f.addedMb * 1024 * 1024 / double(bytes);
        ReportRatio("replace", what("peak memory Replace All adds / document, %1"), added,
                    bytes == kLarge ? "(goal < 3)" : "");
    }
    ReportRatio("replace", "Replace All 50 MB / 5 MB, CPU (10 = linear)", large.cpuMs / small.cpuMs,
                "(goal <= 12)");
    ReportRatio("replace", "Replace All 50 MB / 5 MB, wall", large.wallMs / small.wallMs, "");
    ReportRatio("replace", "QByteArray::replace 50 MB / 5 MB, wall", large.floorMs / small.floorMs,
                "");
    if (!dialogs.allAnswered())
        qFatal("%s", qPrintable(dialogs.report()));
}
