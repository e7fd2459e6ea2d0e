#include "BenchSupport.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "util/UserDirs.h"

#include <Qsci/qsciscintilla.h>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

namespace {

// The time the recovery copy was last written; invalid while there is none.
QDateTime copyWritten()
{
    QDirIterator it(RecoveryDirectory(), {QStringLiteral("*.text")}, QDir::Files,
                    QDirIterator::Subdirectories);
    return it.hasNext() ? QFileInfo(it.next()).lastModified() : QDateTime();
}

} // namespace

// The recovery copy of a changed 50 MB document: how long writing it takes, and how long the
// window's thread is held up meanwhile.
void BenchRecovery()
{
    const QByteArray html = GenerateHtml(50 * 1024 * 1024);
    const QString path = QDir::currentPath() + QStringLiteral("/bench-recovery.htm");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(html) != html.size())
        qFatal("cannot write %s", qPrintable(path));
    f.close();

    ScriptedDialogs dialogs;
    auto form = std::make_unique<TfrmEditor>(dialogs, QStringList {QStringLiteral("OrvikEditor")});
    form->show();
    SettleEvents();
    OpenDocument(*form, path);
    SettleEvents();
    QsciScintilla &text = Control<QsciScintilla>(*form, "mmoEditor");
    // A first change and its copy; what the surface does after an edit is not the copy's.
    const double editMs = TimeMs([&] {
        text.insert(QStringLiteral("x"));
        SettleEvents();
    });
    form->WriteRecoveryCopiesNow();
    const QDateTime first = copyWritten();
    text.insert(QStringLiteral("y"));
    SettleEvents();

    // The copy is written once editing pauses; a short timer measures every gap in the loop.
    double longestStallMs = 0;
    QElapsedTimer sinceTick, total;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestStallMs = qMax(longestStallMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.start();
    });
    sinceTick.start();
    total.start();
    tick.start();
    // The look at the disk is the bench's own; its time is no stall of the window.
    for (;;) {
        const bool written = copyWritten() != first;
        sinceTick.start();
        if (written || total.elapsed() > 60000)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // The copy's name appears when its bytes are all written.
    const double writtenAfterMs = total.nsecsElapsed() / 1e6;
    tick.stop();
    // What an ending signal pays: a change not yet copied, written while the window waits.
    text.insert(QStringLiteral("z"));
    SettleEvents();
    const double nowMs = TimeMs([&] { form->WriteRecoveryCopiesNow(); });

    Report(QStringLiteral("recovery"), QStringLiteral("an edit in 50 MB, settled (no copy)"),
           editMs, QStringLiteral("ms"));
    Report(QStringLiteral("recovery"), QStringLiteral("copy of 50 MB written, after the 2 s pause"),
           writtenAfterMs, QStringLiteral("ms"));
    Report(QStringLiteral("recovery"), QStringLiteral("longest stall of the window meanwhile"),
           longestStallMs, QStringLiteral("ms"));
    Report(QStringLiteral("recovery"), QStringLiteral("copy of 50 MB written at once (signal)"),
           nowMs, QStringLiteral("ms"));
    form->WriteRecoveryCopiesNow();
    form.reset();
    QDir(RecoveryDirectory()).removeRecursively();
}
