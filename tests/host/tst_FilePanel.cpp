#include "TestEnvironment.h"

#include "host/FilePanel.h"
#include "host/Guard.h"
#include "host/HostError.h"
#include "ScriptedDialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The four controls linked as the main window links them.
struct Panel
{
    ScriptedDialogs dialogs;
    Guard guard{dialogs};
    QWidget host;
    TDriveComboBox *drvCombo = new TDriveComboBox(guard, &host);
    TDirectoryListBox *DIRList = new TDirectoryListBox(guard, &host);
    TFilterComboBox *cboFilter = new TFilterComboBox(guard, &host);
    TFileListBox *FileList = new TFileListBox(guard, &host);

    Panel()
    {
        drvCombo->setGeometry(0, 0, 136, 19);
        DIRList->setGeometry(0, 19, 136, 98);
        cboFilter->setGeometry(0, 118, 136, 21);
        FileList->setGeometry(0, 140, 136, 354);
        host.resize(140, 500);
        drvCombo->setDirList(DIRList);
        DIRList->setFileList(FileList);
        cboFilter->setFileList(FileList);
        FileList->setDirList(DIRList);
    }

    bool show()
    {
        host.show();
        return QTest::qWaitForWindowExposed(&host);
    }
};

QStringList shownTexts(QAbstractItemView *view)
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, 0).data().toString();
    return texts;
}

// As a user's double-click arrives: press and release, then the double-click.
void doubleClick(QAbstractItemView *view, QPoint at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

void makeDir(const QString &path)
{
    if (!QDir().mkpath(path))
        qFatal("cannot make %s", qPrintable(path));
}

void makeLink(const QString &target, const QString &link)
{
    if (symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
        qFatal("cannot link %s", qPrintable(link));
}

} // namespace

class tst_FilePanel : public QObject
{
    Q_OBJECT

private slots:
    void fileListShowsMatchingFilesByName_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("web documents")
            << "*.htm*" << QStringList{"a.htm", "alpha.HTM", "b.html", "INDEX.HTML", "link.htm", "Zeta.htm"};
        QTest::newRow("all files")
            << "*.*" << QStringList{"a.htm", "alpha.HTM", "b.html", "INDEX.HTML", "link.htm",
                                    "notes.txt", "Orvik_temp.ht~", "README", "Zeta.htm"};
        QTest::newRow("two patterns") << "*.TXT; readme" << QStringList{"notes.txt", "README"};
        QTest::newRow("one character") << "?.htm" << QStringList{"a.htm"};
        QTest::newRow("any extension or none") << "readme.*" << QStringList{"README"};
        QTest::newRow("brackets are plain") << "[x].htm" << QStringList{};
    }
    void fileListShowsMatchingFilesByName()
    {
        QFETCH(QString, mask);
        QFETCH(QStringList, listed);
        TestEnvironment env;
        const QString dir = env.workDir() + "/site";
        for (const char *name : {"INDEX.HTML", "a.htm", "b.html", "notes.txt", "Orvik_temp.ht~",
                                 ".hidden.htm", "README", "Zeta.htm", "alpha.HTM"})
            env.writeFile(QStringLiteral("site/") + name, "x");
        makeDir(dir + "/sub.htm");
        makeLink("a.htm", dir + "/link.htm");
        makeLink("missing.htm", dir + "/broken.htm");
        makeLink("loop.htm", dir + "/loop.htm");
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/fifo.htm").constData(), 0600), 0);
        // A name that is not valid text cannot be opened by the name the list would show.
        const QByteArray badName = QFile::encodeName(dir) + "/bad\xff.htm";
        const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });

        Panel panel;
        panel.DIRList->setDirectory(dir);
        panel.FileList->setMask(mask);
        QCOMPARE(panel.FileList->Items(), listed);
        QCOMPARE(shownTexts(panel.FileList->view()), listed);
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void applyFilePath_data()
    {
        QTest::addColumn<QString>("path"); // "~" stands for the working directory
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("listed");
        const QStringList web{"index.htm", "page.html"};
        QTest::newRow("directory") << "~/site" << false << "~/site" << "*.htm*" << "" << web;
        QTest::newRow("directory, relative") << "site/sub/.." << false << "~/site" << "*.htm*" << "" << web;
        QTest::newRow("file") << "~/site/page.html" << false << "~/site" << "*.htm*" << "page.html" << web;
        QTest::newRow("file, relative") << "site/index.htm" << false << "~/site" << "*.htm*" << "index.htm" << web;
        QTest::newRow("mask") << "~/site/*.t?t" << false << "~/site" << "*.t?t" << ""
                              << QStringList{"notes.txt"};
        QTest::newRow("file the mask hides") << "~/site/notes.txt" << false << "~/site" << "notes.txt"
                                             << "notes.txt" << QStringList{"notes.txt"};
        QTest::newRow("missing file in a directory") << "~/site/gone.htm" << true << "~/site"
                                                     << "*.htm*" << "" << web;
        QTest::newRow("missing directory") << "~/nowhere/index.htm" << true << "~" << "*.htm*" << ""
                                           << QStringList{"start.htm"};
        QTest::newRow("missing name alone") << "nowhere" << true << "~" << "*.htm*" << ""
                                            << QStringList{"start.htm"};
        QTest::newRow("not a regular file") << "~/site/pipe.htm" << true << "~/site" << "*.htm*" << ""
                                            << web;
        QTest::newRow("empty") << "" << false << "~" << "*.htm*" << "" << QStringList{"start.htm"};
    }
    void applyFilePath()
    {
        QFETCH(QString, path);
        QFETCH(bool, fails);
        QFETCH(QString, directory);
        QFETCH(QString, mask);
        QFETCH(QString, selected);
        QFETCH(QStringList, listed);
        TestEnvironment env;
        const auto expand = [&](QString p) { return p.replace(QLatin1Char('~'), env.workDir()); };
        env.writeFile("start.htm", "x");
        env.writeFile("site/index.htm", "x");
        env.writeFile("site/page.html", "x");
        env.writeFile("site/notes.txt", "x");
        makeDir(env.workDir() + "/site/sub");
        QCOMPARE(mkfifo(QFile::encodeName(env.workDir() + "/site/pipe.htm").constData(), 0600), 0);

        Panel panel;
        bool failed = false;
        try {
            panel.FileList->ApplyFilePath(expand(path));
        } catch (const EHostError &) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        QCOMPARE(panel.FileList->Directory(), expand(directory));
        QCOMPARE(panel.DIRList->Directory(), expand(directory));
        QCOMPARE(QDir::currentPath(), expand(directory));
        QCOMPARE(panel.FileList->Mask(), mask);
        QCOMPARE(panel.FileList->Items(), listed);
        QCOMPARE(panel.FileList->FileName(),
                 selected.isEmpty() ? QString() : expand(directory) + "/" + selected);
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void directoryListShowsLevelsThenSubdirectories()
    {
        TestEnvironment env;
        const QString top = env.workDir() + "/top";
        for (const char *d : {"Beta", "alpha", ".hidden", "alpha/inner"})
            makeDir(top + "/" + d);
        makeLink("alpha", top + "/link");
        makeLink("missing", top + "/broken");
        env.writeFile("top/file.txt", "x");
        env.writeFile("top/alpha/inner.htm", "x");

        Panel panel;
        QVERIFY(panel.show());
        panel.DIRList->setDirectory(top);
        QAbstractItemView *view = panel.DIRList->view();
        QStringList levels{"/"};
        levels << top.split('/', Qt::SkipEmptyParts);
        QCOMPARE(shownTexts(view), levels + QStringList({"alpha", "Beta", "link"}));
        QCOMPARE(view->currentIndex().row(), levels.size() - 1);

        // Enter on a subdirectory shows it, in every linked place.
        view->setCurrentIndex(view->model()->index(levels.size(), 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(panel.DIRList->Directory(), top + "/alpha");
        QCOMPARE(panel.FileList->Directory(), top + "/alpha");
        QCOMPARE(panel.FileList->Items(), QStringList{"inner.htm"});
        QCOMPARE(QDir::currentPath(), top + "/alpha");
        QCOMPARE(shownTexts(view).mid(levels.size()), QStringList({"alpha", "inner"}));

        // A double-click on a level of the path goes back up to it.
        const QModelIndex up = view->model()->index(levels.size() - 2, 0);
        view->scrollTo(up);
        doubleClick(view, view->visualRect(up).center());
        QCOMPARE(panel.DIRList->Directory(), env.workDir());
        QCOMPARE(QDir::currentPath(), env.workDir());

        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void vanishedDirectoryShowsWhatIsLeft()
    {
        TestEnvironment env;
        env.writeFile("doomed/index.htm", "x");
        makeDir(env.workDir() + "/doomed/child");
        Panel panel;
        panel.FileList->ApplyFilePath(env.workDir() + "/doomed/index.htm");
        QVERIFY(!panel.FileList->FileName().isEmpty());
        QVERIFY(QDir(env.workDir() + "/doomed").removeRecursively());

        panel.drvCombo->Update();
        panel.DIRList->Update();
        panel.FileList->Update();
        QCOMPARE(panel.FileList->Items(), QStringList());
        QCOMPARE(panel.FileList->FileName(), QString());
        QCOMPARE(shownTexts(panel.DIRList->view()).last(), QStringLiteral("doomed"));
        panel.DIRList->setDirectory(env.workDir());
        QCOMPARE(panel.FileList->Directory(), env.workDir());
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void updateListsNewFilesAndKeepsTheSelection()
    {
        TestEnvironment env;
        const QString b = env.writeFile("b.htm", "x");
        Panel panel;
        panel.FileList->ApplyFilePath(b);
        env.writeFile("a.htm", "x");
        QCOMPARE(panel.FileList->Items(), QStringList{"b.htm"});
        panel.FileList->Update();
        QCOMPARE(panel.FileList->Items(), QStringList({"a.htm", "b.htm"}));
        QCOMPARE(panel.FileList->FileName(), b);
    }

    void filterEntriesSetTheMask()
    {
        TestEnvironment env;
        env.writeFile("index.htm", "x");
        env.writeFile("Orvik_temp.ht~", "x");
        Panel panel;
        QComboBox *box = panel.cboFilter->comboBox();
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0), QStringLiteral("Web Documents (*.htm; *.html)"));
        QCOMPARE(box->itemText(1), QStringLiteral("All Files (*.*)"));
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(panel.FileList->Items(), QStringList{"index.htm"});

        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(panel.FileList->Mask(), QStringLiteral("*.*"));
        QCOMPARE(panel.FileList->Items(), QStringList({"index.htm", "Orvik_temp.ht~"}));
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(panel.FileList->Mask(), QStringLiteral("*.htm*"));
        QCOMPARE(panel.FileList->Items(), QStringList{"index.htm"});
    }

    void driveBoxFollowsAndReturnsToTheVolumesDirectory()
    {
        TestEnvironment env;
        makeDir(env.workDir() + "/deep/er");
        Panel panel;
        QComboBox *box = panel.drvCombo->comboBox();
        QCOMPARE(box->itemData(0).toString(), QStringLiteral("/"));
        panel.DIRList->setDirectory(env.workDir() + "/deep/er");
        const QString volume = panel.drvCombo->volume();
        QVERIFY(volume == "/" || (env.workDir() + "/").startsWith(volume + "/"));

        // Choosing the volume again goes to the directory last shown on it.
        emit box->activated(box->currentIndex());
        QCOMPARE(panel.DIRList->Directory(), env.workDir() + "/deep/er");
        // When that directory has gone, to the volume's root.
        QVERIFY(QDir(env.workDir() + "/deep").removeRecursively());
        emit box->activated(box->currentIndex());
        QCOMPARE(panel.DIRList->Directory(), volume);
        QCOMPARE(QDir::currentPath(), volume);
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void doubleClickRunsTheHandler()
    {
        TestEnvironment env;
        const QString a = env.writeFile("a.htm", "x");
        env.writeFile("b.htm", "x");
        Panel panel;
        QVERIFY(panel.show());
        QStringList opened;
        panel.FileList->OnDblClick = [&] { opened << panel.FileList->FileName(); };
        QAbstractItemView *view = panel.FileList->view();
        const QPoint empty(5, view->viewport()->height() - 5);

        // Nothing selected: the handler gets no file name.
        doubleClick(view, empty);
        doubleClick(view, view->visualRect(view->model()->index(0, 0)).center());
        QCOMPARE(opened, QStringList({QString(), a}));

        // A failing handler is reported, not thrown into the event loop.
        panel.FileList->OnDblClick = [] { throw EHostError("Cannot open file x"); };
        panel.dialogs.expectError("Cannot open file x");
        doubleClick(view, empty);
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_FilePanel)
#include "tst_FilePanel.moc"
