#include "BenchSupport.h"

#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/FindDialog.h"
#include "host/FoldedSearch.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include <Qsci/qsciscintilla.h>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <vector>

namespace {

struct Figures
{
    qsizetype occurrences = 0;
    double replaceAllMs = 0;
    double floorMs = 0;
    double undoMs = 0;
    double bytePassMs = 0;
};

// Replace All of "b>" by "strong>" through the Replace dialog's button, against
// QByteArray::replace on the same bytes; the editor's final text must be the same bytes.
Figures measure(TfrmEditor &form, qsizetype size)
{
    const QByteArray html = GenerateHtml(size);
    Figures f;
    f.occurrences = html.count("b>");
    QByteArray expected;
    std::vector<double> floors;
    for (int run = 0; run < 3; ++run) {
        QByteArray copy = html;
        copy.detach();
        floors.push_back(TimeMs([&] { copy.replace("b>", "strong>"); }));
        expected = copy;
    }
    std::sort(floors.begin(), floors.end());
    f.floorMs = floors[1];
    // The part of Replace All before the editor takes the new text.
    f.bytePassMs = MedianMs(3, [&] {
        if (ReplaceAllBytes(html, QStringLiteral("b>"), "strong>", 0).text
            != expected)
            qFatal("the byte pass gave a different text");
    });

    auto &dlgReplace = Control<FindDialog>(form, "dlgReplace");
    auto *replaceAll = dlgReplace.findChild<QPushButton *>(QStringLiteral("ReplaceAll"));
    dlgReplace.setFindText(QStringLiteral("b>"));
    dlgReplace.setReplaceText(QStringLiteral("strong>"));
    EditSurface &editor = Control<EditSurface>(form);
    editor.setLinesText(html);
    std::vector<double> times, undos;
    for (int run = 0; run < 3; ++run) {
        editor.setSelStart(0);
        times.push_back(TimeMs([&] { replaceAll->click(); }));
        if (editor.bytes() != expected)
            qFatal("Replace All on %lld bytes gave a different text", qlonglong(size));
        // One undo step brings the generated text back for the next run.
        undos.push_back(TimeMs([&] { Control<QsciScintilla>(form, "mmoEditor").undo(); }));
        if (editor.bytes() != html)
            qFatal("undoing Replace All on %lld bytes did not restore the text", qlonglong(size));
        SettleEvents();
    }
    std::sort(times.begin(), times.end());
    std::sort(undos.begin(), undos.end());
    f.replaceAllMs = times[1];
    f.undoMs = undos[1];
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

    const Figures small = measure(form, 5 * 1024 * 1024);
    const Figures large = measure(form, 50 * 1024 * 1024);
    for (const auto &[size, f] : {std::pair{"5 MB", small}, std::pair{"50 MB", large}}) {
        const auto what = [size](const char *text) {
            return QString::fromLatin1(text).arg(QLatin1String(size));
        };
        Report("replace", what("occurrences of \"b>\" in %1"), double(f.occurrences), "");
        Report("replace", what("QByteArray::replace, %1"), f.floorMs, "ms");
        Report("replace", what("Replace All button, %1"), f.replaceAllMs, "ms");
        Report("replace", what("  of which the byte pass, %1"), f.bytePassMs, "ms");
        ReportRatio("replace", what("Replace All / QByteArray::replace, %1"),
                    f.replaceAllMs / f.floorMs, "");
        Report("replace", what("undo of Replace All, %1"), f.undoMs, "ms");
    }
    ReportRatio("replace", "Replace All 50 MB / 5 MB (10 = linear)",
                large.replaceAllMs / small.replaceAllMs, "");
    ReportRatio("replace", "byte pass 50 MB / 5 MB", large.bytePassMs / small.bytePassMs, "");
    ReportRatio("replace", "QByteArray::replace 50 MB / 5 MB", large.floorMs / small.floorMs, "");
    Report("replace", "peak resident memory", PeakRssMb(), "MB");
    if (!dialogs.allAnswered())
        qFatal("%s", qPrintable(dialogs.report()));
}
