#include "BenchSupport.h"

#include "host/EditSurface.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <algorithm>
#include <ctime>

using Sci = QsciScintillaBase;

namespace {

double cpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The editor's surface in a window of the editor's size.
struct SurfaceWindow
{
    ScriptedDialogs dialogs;
    Guard guard {dialogs};
    QWidget host;
    EditSurface surface {guard, &host};
    SurfaceWindow()
    {
        host.resize(800, 600);
        surface.widget()->resize(800, 600);
    }
};

// CPU of one character typed at the caret and painted, median of runs.
double keystrokeCpuMs(QWidget *target, int runs)
{
    std::vector<double> each;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuMs();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(target, &press);
        target->repaint();
        SettleEvents();
        each.push_back(cpuMs() - start);
    }
    return Median(each);
}

// One single line of minified-looking page text.
QByteArray singleLine(qsizetype bytes)
{
    QByteArray line = GenerateHtml(bytes);
    line.replace('\n', ' ').replace('\r', ' ');
    line.truncate(bytes);
    return line;
}

struct Setting
{
    const char *name;
    std::function<void(QsciScintilla &)> apply;
};

void longLines()
{
    const QByteArray line = singleLine(5 * 1024 * 1024);
    const std::vector<Setting> settings = {
        {"layout cache none",
         [](QsciScintilla &s) { s.SendScintilla(Sci::SCI_SETLAYOUTCACHE, Sci::SC_CACHE_NONE); }},
        {"layout cache document",
         [](QsciScintilla &s) {
             s.SendScintilla(Sci::SCI_SETLAYOUTCACHE, Sci::SC_CACHE_DOCUMENT);
         }},
        {"position cache 0",
         [](QsciScintilla &s) { s.SendScintilla(Sci::SCI_SETPOSITIONCACHE, 0UL); }},
        {"position cache 4096",
         [](QsciScintilla &s) { s.SendScintilla(Sci::SCI_SETPOSITIONCACHE, 4096UL); }},
        {"word wrap", [](QsciScintilla &s) { s.setWrapMode(QsciScintilla::WrapWord); }},
        {"phases one",
         [](QsciScintilla &s) { s.SendScintilla(Sci::SCI_SETPHASESDRAW, Sci::SC_PHASES_ONE); }},
        {"monospace font",
         [](QsciScintilla &s) { s.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10)); }},
    };
    // Each setting's key against the default's, one after the other, as the machine is noisy.
    const auto keyWith = [&line](const std::function<void(QsciScintilla &)> &apply) {
        QsciScintilla sci;
        sci.resize(800, 600);
        sci.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(line.size()),
                          line.constData());
        apply(sci);
        sci.show();
        sci.SendScintilla(Sci::SCI_DOCUMENTEND);
        SettleEvents();
        return keystrokeCpuMs(&sci, 1);
    };
    for (const Setting &setting : settings) {
        const double floor = keyWith([](QsciScintilla &) {});
        const double ms = keyWith(setting.apply);
        Report("huge",
               QStringLiteral("bare, 5 MiB line, key at end, %1")
                   .arg(QString::fromLatin1(setting.name)),
               ms, "ms CPU");
        ReportRatio("huge",
                    QStringLiteral("%1 / default (%2 ms)")
                        .arg(QString::fromLatin1(setting.name))
                        .arg(floor, 0, 'f', 0),
                    ms / floor, "");
    }
    {
        QsciScintilla sci;
        sci.resize(800, 600);
        QByteArray lines = line;
        for (qsizetype i = 80; i < lines.size(); i += 81)
            lines.insert(i, '\n');
        sci.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(lines.size()),
                          lines.constData());
        sci.show();
        sci.SendScintilla(Sci::SCI_DOCUMENTEND);
        SettleEvents();
        const double ms = keystrokeCpuMs(&sci, 3);
        Report("huge", "bare surface, same bytes in 80-character lines", ms, "ms CPU");
    }
    // The editor's surface, interleaved with a bare one holding the same text.
    SurfaceWindow window;
    EditSurface &surface = window.surface;
    int changes = 0;
    surface.OnChange = [&changes] { ++changes; };
    surface.setLinesText(line);
    window.host.show();
    surface.setSelStart(surface.textLength());
    QsciScintilla sci;
    sci.resize(800, 600);
    sci.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(line.size()),
                      line.constData());
    sci.show();
    sci.SendScintilla(Sci::SCI_DOCUMENTEND);
    SettleEvents();
    std::vector<double> editor, floor;
    for (int i = 0; i < 3; ++i) {
        floor.push_back(keystrokeCpuMs(&sci, 1));
        editor.push_back(keystrokeCpuMs(surface.widget(), 1));
    }
    Report("huge", "editor surface, key at the end of the 5 MiB line", Median(editor), "ms CPU");
    Report("huge", "bare surface, same", Median(floor), "ms CPU");
    ReportRatio("huge", "editor / bare surface, key at the end of the 5 MiB line",
                Median(editor) / Median(floor), "");
}

// A generated page of the given size in /tmp, removed when done.
QString writePage(qint64 bytes)
{
    const QString path = QStringLiteral("/tmp/orvik-bench-%1.htm").arg(bytes);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const QByteArray block = GenerateHtml(8 << 20);
    for (qint64 written = 0; written < bytes;)
        written += f.write(block.constData(), std::min<qint64>(block.size(), bytes - written));
    return path;
}

void opening(qint64 bytes, const char *name)
{
    const QString path = writePage(bytes);
    SurfaceWindow window;
    EditSurface &surface = window.surface;
    window.host.show();
    SettleEvents();
    std::vector<double> reads, totals, shows, peaks;
    double ctrlEnd = 0, ctrlHome = 0, smallEnd = 0, typedAtEnd = 0, smallTyped = 0;
    const int runs = bytes > (qint64(256) << 20) ? 2 : 3;
    for (int run = 0; run < runs; ++run) {
        // Floor: the same file read in the same pieces, kept nowhere.
        reads.push_back(TimeMs([&] {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(path));
            QByteArray piece(EditSurface::LoadPieceSize, Qt::Uninitialized);
            while (f.read(piece.data(), piece.size()) > 0) { }
        }));
        const double base = CurrentRssMb();
        ResetPeakRss();
        EditSurface::PieceLoad load;
        int steps = 0;
        totals.push_back(TimeMs([&] {
            load = surface.loadDocumentFile(path, bytes, [&](qint64, qint64) {
                ++steps;
                QCoreApplication::processEvents();
                return true;
            });
        }));
        shows.push_back(totals.back() + TimeMs([&] {
                            surface.showDocument(*load.document);
                            window.host.repaint();
                        }));
        peaks.push_back(PeakRssMb() - base);
        // From the key to the repainted view; what the surface does after that in idle time
        // is not charged to the key.
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers, const QString &text) {
            const double ms = TimeMs([&] {
                QKeyEvent press(QEvent::KeyPress, k, modifiers, text);
                QApplication::sendEvent(surface.widget(), &press);
                surface.widget()->repaint();
            });
            SettleEvents();
            return ms;
        };
        ctrlEnd = std::max(ctrlEnd, key(Qt::Key_End, Qt::ControlModifier, {}));
        typedAtEnd = std::max(typedAtEnd, key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
        ctrlHome = std::max(ctrlHome, key(Qt::Key_Home, Qt::ControlModifier, {}));
        // Floor for the keys: the same on a one-line text.
        auto small = surface.createDocument("<p>small</p>\r\n");
        surface.showDocument(*small);
        smallEnd = std::max(smallEnd, key(Qt::Key_End, Qt::ControlModifier, {}));
        smallTyped = std::max(smallTyped, key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
        load.document.reset();
    }
    QFile::remove(path);
    const double mb = double(bytes) / (1 << 20);
    const QString what = QString::fromLatin1(name);
    Report("huge", QStringLiteral("open %1: read in pieces (floor)").arg(what), Median(reads),
           "ms");
    Report("huge", QStringLiteral("open %1: total, pieces into the surface").arg(what),
           Median(totals), "ms");
    ReportRatio("huge",
                QStringLiteral("open %1: total / read (spread %2-%3 ms)")
                    .arg(what)
                    .arg(*std::min_element(totals.begin(), totals.end()), 0, 'f', 0)
                    .arg(*std::max_element(totals.begin(), totals.end()), 0, 'f', 0),
                Median(totals) / Median(reads), "");
    ReportRatio("huge", QStringLiteral("open %1: first text shown / read").arg(what),
                Median(shows) / Median(reads), "");
    Report("huge", QStringLiteral("open %1: peak memory added").arg(what), Median(peaks), "MB");
    ReportRatio("huge", QStringLiteral("open %1: peak memory added / file size").arg(what),
                Median(peaks) / mb, "");
    Report("huge", QStringLiteral("%1: Ctrl+End, slowest").arg(what), ctrlEnd, "ms");
    Report("huge", QStringLiteral("%1: Ctrl+Home, slowest").arg(what), ctrlHome, "ms");
    Report("huge", QStringLiteral("%1: a key typed at the end, slowest").arg(what), typedAtEnd,
           "ms");
    ReportRatio("huge",
                QStringLiteral("%1: key typed at the end / on a one-line text (%2 ms)")
                    .arg(what)
                    .arg(smallTyped, 0, 'f', 1),
                typedAtEnd / smallTyped, "");
    ReportRatio("huge",
                QStringLiteral("%1: Ctrl+End / on a one-line text (%2 ms)")
                    .arg(what)
                    .arg(smallEnd, 0, 'f', 1),
                ctrlEnd / smallEnd, "");
}

} // namespace

void BenchHuge()
{
    opening(qint64(64) << 20, "64 MiB");
    opening(qint64(1) << 30, "1 GiB");
    longLines();
}
