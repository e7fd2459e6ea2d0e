#include "BenchSupport.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/EditSurface.h"

#include <Qsci/qsciscintilla.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <limits>

namespace {

QsciScintilla &view(TfrmEditor &form)
{
    return Control<QsciScintilla>(form, "mmoEditor");
}

void closeShown(TfrmEditor &form)
{
    Choose(form, "itmClose");
    SettleEvents();
    ReleaseFreeMemory();
}

// Opens a file in the window and paints it: the time until the user sees the text.
double openAndPaint(TfrmEditor &form, const QString &path)
{
    const double ms = TimeMs([&] {
        OpenDocument(form, path);
        view(form).viewport()->repaint();
    });
    closeShown(form);
    return ms;
}

// Times from Ctrl+End until the end is painted and until it shows in colour, the styling
// having reached it: wall time, and the CPU time the process spent, which a busy machine
// does not inflate.
struct EndTimes
{
    double painted = 0, coloured = 0;
    double paintedCpu = 0, colouredCpu = 0;
};

// Ctrl+End on a file just opened and painted; the file stays open.
EndTimes endOfJustOpened(TfrmEditor &form, const QString &path)
{
    QsciScintilla &sci = view(form);
    OpenDocument(form, path);
    sci.viewport()->repaint();
    sci.setFocus();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    EndTimes times;
    QElapsedTimer clock;
    clock.start();
    times.paintedCpu = CpuMs([&] {
        QCoreApplication::sendEvent(&sci, &end);
        sci.viewport()->repaint();
    });
    times.painted = double(clock.nsecsElapsed()) / 1e6;
    if (sci.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) == 0)
        qFatal("Ctrl+End did not reach the end");
    const long length = sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    times.colouredCpu = times.paintedCpu + CpuMs([&] {
                            while (sci.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < length)
                                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                            sci.viewport()->repaint();
                        });
    times.coloured = double(clock.nsecsElapsed()) / 1e6;
    return times;
}

// Colours texts of any size for as long as it lives.
struct NoColouringLimit
{
    NoColouringLimit() { EditSurface::LargestColouredText = std::numeric_limits<qint64>::max(); }
    ~NoColouringLimit() { EditSurface::LargestColouredText = kept; }
    const qint64 kept = EditSurface::LargestColouredText;
};

} // namespace

// A 50 MB page opened as the editor shows it (plain, over the colouring limit) and coloured
// without the limit, against the same bytes as plain text; Ctrl+End and the memory of each;
// and Ctrl+End on coloured pages around the limit, which styles the whole text at once.
void BenchColouring()
{
    const QByteArray html = GenerateHtml(50 * 1024 * 1024);
    const QString page = WriteBenchInput(QStringLiteral("bench-colour.htm"), html);
    const QString plain = WriteBenchInput(QStringLiteral("bench-colour.txt"), html);

    ScriptedDialogs dialogs;
    auto form = std::make_unique<TfrmEditor>(dialogs, QStringList {QStringLiteral("OrvikEditor")});
    form->resize(1000, 700);
    form->show();
    SettleEvents();

    std::vector<double> asText, asShipped, coloured;
    for (int i = 0; i < 3; ++i) {
        asText.push_back(openAndPaint(*form, plain));
        asShipped.push_back(openAndPaint(*form, page));
        const NoColouringLimit all;
        coloured.push_back(openAndPaint(*form, page));
    }
    Report("colouring", "open and paint 50 MB as plain text", Median(asText), "ms");
    Report("colouring", "open and paint 50 MB page (over the limit: plain)", Median(asShipped),
           "ms");
    Report("colouring", "open and paint 50 MB page coloured (no limit)", Median(coloured), "ms");
    ReportRatio("colouring", "page over the limit / plain text open",
                Median(asShipped) / Median(asText), "");
    ReportRatio("colouring", "page coloured (no limit) / plain text open",
                Median(coloured) / Median(asText), "");

    const auto reportEnd = [&](const QString &what, const QString &path, bool memory) {
        ResetPeakRss();
        const EndTimes end = endOfJustOpened(*form, path);
        Report("colouring", "Ctrl+End, end painted: " + what, end.painted, "ms");
        Report("colouring", "  the same in CPU time", end.paintedCpu, "ms");
        Report("colouring", "Ctrl+End, end coloured: " + what, end.coloured, "ms");
        Report("colouring", "  the same in CPU time", end.colouredCpu, "ms");
        if (memory)
            Report("colouring", "peak resident memory, open: " + what, PeakRssMb(), "MB");
        closeShown(*form);
    };
    reportEnd(QStringLiteral("50 MB page over the limit"), page, true);
    {
        const NoColouringLimit all;
        reportEnd(QStringLiteral("50 MB page coloured"), page, true);
        // Wrapping lines needs their styles, so with word wrap on the text up to the end is
        // styled at once.
        Choose(*form, "itm_wordwrap");
        reportEnd(QStringLiteral("50 MB page coloured, word wrap"), page, false);
        Choose(*form, "itm_wordwrap");
    }
    reportEnd(QStringLiteral("50 MB page over the limit, word wrap"), page, false);
    QFile::remove(page);
    QFile::remove(plain);

    // Around the limit: texts of each size, where word wrap styles them at once.
    const NoColouringLimit all;
    for (const int mib : {4, 8, 16}) {
        const QString sized = WriteBenchInput(QStringLiteral("bench-colour-%1.htm").arg(mib),
                                              GenerateHtml(qsizetype(mib) << 20));
        for (const bool wrap : {false, true}) {
            std::vector<double> ends, cpu;
            for (int i = 0; i < 3; ++i) {
                const EndTimes end = endOfJustOpened(*form, sized);
                ends.push_back(end.coloured);
                cpu.push_back(end.colouredCpu);
                closeShown(*form);
            }
            Report("colouring",
                   QStringLiteral("Ctrl+End, end coloured: %1 MiB page%2")
                       .arg(QString::number(mib), wrap ? QStringLiteral(", word wrap") : QString()),
                   Median(ends), "ms");
            Report("colouring", "  the same in CPU time", Median(cpu), "ms");
            Choose(*form, "itm_wordwrap");
        }
        QFile::remove(sized);
    }
    form.reset();
}
