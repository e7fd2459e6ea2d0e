#include "BenchSupport.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/EditSurface.h"

#include <Qsci/qsciscintilla.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

namespace {

// Opens a file in the window and paints it: the time until the user sees the text.
double openAndPaint(TfrmEditor &form, const QString &path)
{
    auto &sci = Control<QsciScintilla>(form, "mmoEditor");
    const double ms = TimeMs([&] {
        OpenDocument(form, path);
        sci.viewport()->repaint();
    });
    Choose(form, "itmClose");
    SettleEvents();
    return ms;
}

} // namespace

// A 50 MB page opened coloured against the same bytes opened as plain text, Ctrl+End on it,
// and the memory it takes coloured.
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
    auto &sci = Control<QsciScintilla>(*form, "mmoEditor");

    std::vector<double> coloured, uncoloured;
    for (int i = 0; i < 3; ++i) {
        uncoloured.push_back(openAndPaint(*form, plain));
        coloured.push_back(openAndPaint(*form, page));
    }
    Report("colouring", "open and paint 50 MB as plain text", Median(uncoloured), "ms");
    Report("colouring", "open and paint 50 MB as a coloured page", Median(coloured), "ms");
    ReportRatio("colouring", "coloured / plain open", Median(coloured) / Median(uncoloured), "");

    ResetPeakRss();
    OpenDocument(*form, page);
    sci.viewport()->repaint();
    sci.setFocus();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    const double endMs = TimeMs([&] {
        QCoreApplication::sendEvent(&sci, &end);
        sci.viewport()->repaint();
    });
    if (sci.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) == 0)
        qFatal("Ctrl+End did not reach the end");
    Report("colouring", "Ctrl+End on the just opened coloured page", endMs, "ms");
    // Until the idle styling has reached the end.
    QElapsedTimer styled;
    styled.start();
    const long length = sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    while (sci.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < length)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    Report("colouring", "whole page styled in idle time after", double(styled.elapsed()), "ms");
    Report("colouring", "peak resident memory, coloured page open", PeakRssMb(), "MB");
    form.reset();
    QFile::remove(page);
    QFile::remove(plain);
}
