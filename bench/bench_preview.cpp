#include "BenchSupport.h"

#include "app/unCommon.h"
#include "docs/DocumentFiles.h"
#include "forms/fmEditor.h"
#include "host/BrowserView.h"
#include "host/EditSurface.h"
#include "host/PageControl.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QWebEngineView>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct TreeMemory
{
    double rssMb = 0;
    double pssMb = 0;
    int processes = 0;
};

double fieldKb(const QByteArray &text, const char *field)
{
    const qsizetype at = text.indexOf(field);
    if (at < 0)
        return 0;
    const qsizetype end = text.indexOf('\n', at);
    return text.mid(at + qstrlen(field), end - at - qstrlen(field))
        .trimmed()
        .split(' ')
        .first()
        .toDouble();
}

QByteArray readProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// This process and every descendant (the engine's helper processes).
TreeMemory treeMemory()
{
    QMap<qint64, qint64> parentOf;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const QByteArray stat = readProc(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1)
            parentOf[pid] = fields[1].toLongLong();
    }
    const qint64 self = QCoreApplication::applicationPid();
    TreeMemory total;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        qint64 p = it.key();
        while (p > 1 && p != self)
            p = parentOf.value(p, 0);
        if (p != self)
            continue;
        const QByteArray rollup = readProc(QStringLiteral("/proc/%1/smaps_rollup").arg(it.key()));
        total.rssMb += fieldKb(rollup, "\nRss:") / 1024.0;
        total.pssMb += fieldKb(rollup, "\nPss:") / 1024.0;
        ++total.processes;
    }
    return total;
}

// Turns to the Browse page as a user does and waits until the view has loaded the page.
double turnToBrowseMs(TfrmEditor &form)
{
    QSignalSpy loaded(&Control<BrowserView>(form), &BrowserView::LoadFinished);
    return TimeMs([&] {
        Control<PageControl>(form).bar()->setCurrentIndex(1);
        if (loaded.isEmpty() && !loaded.wait(120000))
            qFatal("the preview did not load");
    });
}

void turnToEdit(TfrmEditor &form)
{
    Control<PageControl>(form).bar()->setCurrentIndex(0);
    SettleEvents();
}

} // namespace

// Turning to the Browse page with a 5 MB document: the first turn starts the engine. Floors:
// the engine loading the same page from a file:// address, writing the preview file alone,
// and a later turn with a small page. Memory of the process tree after the first and the
// sixth turn: each turn gets a new page, so the sixth should hold about what the first did.
void BenchPreview()
{
    const QString dir = QDir::currentPath() + QStringLiteral("/preview-bench");
    QDir().mkpath(dir);
    const QByteArray big = GenerateHtml(5 * 1024 * 1024);
    const QByteArray small = GenerateHtml(2 * 1024);
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(f.fileName()));
        return f.fileName();
    };
    write(QStringLiteral("style.css"), ".item { color: rgb(1, 2, 3); margin: 2px; }\r\n");
    const QString bigPath = write(QStringLiteral("big.htm"), big);
    const QString smallPath = write(QStringLiteral("small.htm"), small);

    ScriptedDialogs dialogs;
    auto first = std::make_unique<TfrmEditor>(dialogs, QStringList {QStringLiteral("OrvikEditor")});
    TfrmEditor &form = *first;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the main window did not show");
    SettleEvents();
    OpenDocument(form, bigPath);
    const QByteArray bigText = Control<EditSurface>(form).linesText();

    const TreeMemory before = treeMemory();
    const double firstMs = turnToBrowseMs(form);
    // Memory is read once the replaced page's renderer has gone and the page has settled.
    const auto settledMemory = [] {
        QTest::qWait(3000);
        SettleEvents();
        return treeMemory();
    };
    const TreeMemory afterFirst = settledMemory();

    std::vector<double> later;
    for (int i = 0; i < 5; ++i) {
        turnToEdit(form);
        later.push_back(turnToBrowseMs(form));
    }
    const TreeMemory afterSixth = settledMemory();

    // The engine's own loading of the same page from a file:// address, in the same view,
    // alternating with turns so that both see the same load on the machine.
    auto *view = form.findChild<QWebEngineView *>(QStringLiteral("webEngineView"));
    std::vector<double> direct;
    for (int i = 0; i < 3; ++i) {
        view->setUrl(QUrl(QStringLiteral("about:blank")));
        QSignalSpy blank(view, &QWebEngineView::loadFinished);
        blank.wait(10000);
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        direct.push_back(TimeMs([&] {
            view->setUrl(QUrl::fromLocalFile(bigPath));
            if (!loaded.wait(120000))
                qFatal("the file:// page did not load");
        }));
        turnToEdit(form);
        later.push_back(turnToBrowseMs(form));
    }

    const double writeMs = MedianMs(5, [&] {
        QString error;
        if (!ReplaceFileWhole(dir + QStringLiteral("/Orvik_temp.ht~"), bigText, &error))
            qFatal("cannot write the preview file: %s", qPrintable(error));
    });

    std::vector<double> smallTurns;
    TreeMemory afterSmall;
    // A fresh view, as after a restart: the large page's renderer goes with the old one.
    first.reset();
    {
        TfrmEditor fresh(dialogs, {QStringLiteral("OrvikEditor")});
        fresh.show();
        if (!QTest::qWaitForWindowExposed(&fresh))
            qFatal("the main window did not show");
        OpenDocument(fresh, smallPath);
        for (int i = 0; i < 6; ++i) {
            turnToEdit(fresh);
            smallTurns.push_back(turnToBrowseMs(fresh));
        }
        smallTurns.erase(smallTurns.begin()); // the first starts the engine
        SettleEvents();
        afterSmall = treeMemory();
    }
    const double laterMs = Median(later);
    const double directMs = Median(direct);
    const double smallMs = Median(smallTurns);
    Report("preview", "5 MB page: turn 1 to Browse, engine start included", firstMs, "ms");
    Report("preview", "5 MB page: turns 2 to 9 to Browse (median of 8)", laterMs, "ms");
    Report("preview", "engine loading big.htm from file:// itself (median of 3)", directMs, "ms");
    Report("preview", "writing the 5 MB preview file alone (median of 5)", writeMs, "ms");
    Report("preview", "small page: turns to Browse after the first (median of 5)", smallMs, "ms");
    ReportRatio("preview", "5 MB turn / engine's own file:// load of the same page (goal <= 1.2)",
                laterMs / directMs, "");
    ReportRatio("preview", "5 MB turn / writing its preview file", laterMs / writeMs, "");
    Report("preview", "processes before the engine starts", before.processes, "");
    Report("preview", "processes with the engine running, after turn 1", afterFirst.processes, "");
    Report("preview", "processes with the engine running, after turn 6", afterSixth.processes, "");
    Report("preview", "RSS of process tree before the engine starts", before.rssMb, "MB");
    Report("preview", "RSS of process tree after turn 1 (5 MB page)", afterFirst.rssMb, "MB");
    Report("preview", "RSS of process tree after turn 6 (5 MB page)", afterSixth.rssMb, "MB");
    Report("preview", "PSS of process tree after turn 1 (5 MB page)", afterFirst.pssMb, "MB");
    Report("preview", "PSS of process tree after turn 6 (5 MB page)", afterSixth.pssMb, "MB");
    ReportRatio("preview", "RSS after turn 6 / after turn 1 (goal within 1.1)",
                afterSixth.rssMb / afterFirst.rssMb, "");
    Report("preview", "extra RSS, small page in a second, fresh view",
           afterSmall.rssMb - before.rssMb, "MB");
    QDir(dir).removeRecursively();
}
