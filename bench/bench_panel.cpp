#include "BenchSupport.h"

#include "host/DirectoryScan.h"
#include "host/FilePanel.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QWidget>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 100000;

// The floor: every name of the directory read with readdir, nothing else.
size_t readdirNames(const QByteArray &dir)
{
    std::vector<std::string> names;
    DIR *d = opendir(dir.constData());
    if (!d)
        qFatal("cannot open %s", dir.constData());
    while (const dirent *e = readdir(d))
        names.emplace_back(e->d_name);
    closedir(d);
    return names.size();
}

} // namespace

// Listing a directory of 100,000 files in the file list, against reading its names with readdir.
void BenchPanel()
{
    const QString start = QDir::currentPath();
    const QString dir = start + QStringLiteral("/bench-panel");
    QDir().mkpath(dir);
    const QByteArray nativeDir = QFile::encodeName(dir);
    // Half web pages, half text files, so that the web mask keeps 50,000 of them.
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray name = nativeDir + (i % 2 ? "/note" : "/Page") + QByteArray::number(i)
                                + (i % 2 ? ".txt" : ".htm");
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            qFatal("cannot create %s", name.constData());
        ::close(fd);
    }

    size_t count = 0;
    const double floorMs = MedianMs(5, [&] { count = readdirNames(nativeDir); });

    const double scanMs = MedianMs(5,
                                   [&] { (void)ListFiles(dir, FileMask(QStringLiteral("*.*"))); });
    QStringList unsorted = ListFiles(dir, FileMask(QStringLiteral("*.*")));
    std::reverse(unsorted.begin(), unsorted.end());
    const double sortMs = MedianMs(5, [&] {
        QStringList copy = unsorted;
        SortNames(copy);
    });

    ScriptedDialogs dialogs;
    Guard guard(dialogs);
    QWidget host;
    host.resize(140, 500);
    auto *dirList = new TDirectoryListBox(guard, &host);
    auto *fileList = new TFileListBox(guard, &host);
    dirList->setGeometry(0, 0, 136, 98);
    fileList->setGeometry(0, 100, 136, 354);
    dirList->setFileList(fileList);
    fileList->setDirList(dirList);
    host.show();
    SettleEvents();
    dirList->setDirectory(dir);
    SettleEvents();

    fileList->setMask(QStringLiteral("*.*"));
    const double allMs = MedianMs(5, [&] { fileList->Update(); });
    const double allShownMs = MedianMs(5, [&] {
        fileList->Update();
        fileList->view()->viewport()->repaint();
    });
    const qsizetype allListed = fileList->Items().size();
    fileList->setMask(QStringLiteral("*.htm*"));
    const double webMs = MedianMs(5, [&] { fileList->Update(); });
    const qsizetype webListed = fileList->Items().size();
    const double dirListMs = MedianMs(5, [&] { dirList->Update(); });

    // Responsiveness once listed: a jump to the end and a repaint.
    QScrollBar *bar = fileList->view()->verticalScrollBar();
    const double scrollMs = MedianMs(5, [&] {
        bar->setValue(bar->value() == bar->maximum() ? 0 : bar->maximum());
        fileList->view()->viewport()->repaint();
    });
    const double selectMs = MedianMs(5, [&] {
        fileList->ApplyFilePath(dir + QStringLiteral("/note99999.txt"));
        fileList->setMask(QStringLiteral("*.htm*"));
    });

    Report("panel", QStringLiteral("readdir of %1 names (floor)").arg(count), floorMs, "ms");
    Report("panel", "names read, matched and sorted, *.* (no widget)", scanMs, "ms");
    Report("panel", "of which sorting 100,000 names", sortMs, "ms");
    Report("panel", QStringLiteral("FileList.Update, mask *.*, %1 listed").arg(allListed), allMs,
           "ms");
    ReportRatio("panel", "FileList.Update *.* / readdir", allMs / floorMs, "");
    Report("panel", "FileList.Update *.* and repaint", allShownMs, "ms");
    Report("panel", QStringLiteral("FileList.Update, mask *.htm*, %1 listed").arg(webListed), webMs,
           "ms");
    ReportRatio("panel", "FileList.Update *.htm* / readdir", webMs / floorMs, "");
    Report("panel", "DIRList.Update in the same directory (no subdirectories)", dirListMs, "ms");
    ReportRatio("panel", "DIRList.Update / readdir", dirListMs / floorMs, "");
    Report("panel", "scroll to the other end and repaint", scrollMs, "ms");
    Report("panel", "ApplyFilePath of a file the mask hides, then the web mask", selectMs, "ms");
    Report("panel", "peak resident memory", PeakRssMb(), "MB");

    host.hide();
    QDir::setCurrent(start);
    QDir(dir).removeRecursively();
}
