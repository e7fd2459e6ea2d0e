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
        drvCombo->setDirList(DIRList);
        DIRList->setFileList(FileList);
        cboFilter->setFileList(FileList);
        FileList->setDirList(DIRList);
        host.resize(140, 500);
    }

    // Directory, mask, [selected file] and listed names, naming a directory list or working
    // directory that disagrees.
    QString state() const
    {
        const QString dir = FileList->Directory();
        QString s = QStringLiteral("%1 %2 [%3] %4")
                        .arg(dir, FileList->Mask(), FileList->FileName(), FileList->Items().join(' '));
        if (DIRList->Directory() != dir || QDir::currentPath() != dir)
            s += " but " + DIRList->Directory() + " and " + QDir::currentPath();
        return s;
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

// A directory with every kind of entry the lists must sort out, beside a start.htm.
QString makeSite(const TestEnvironment &env)
{
    const QString site = env.workDir() + "/site";
    env.writeFile("start.htm", "x");
    for (const char *name : {"INDEX.HTML", "a.htm", "b.html", "notes.txt", "Orvik_temp.ht~",
                             ".hidden.htm", "README", "Zeta.htm", "alpha.HTM", "sub.htm/deep.htm",
                             ".hidden/x", "Beta/x"})
        env.writeFile(QStringLiteral("site/") + name, "x");
    for (auto [target, link] : {std::pair{"a.htm", "link.htm"}, {"missing.htm", "broken.htm"},
                                {"loop.htm", "loop.htm"}, {"Beta", "linked"}})
        if (symlink(target, QFile::encodeName(site + "/" + link).constData()) != 0)
            qFatal("cannot link %s", link);
    if (mkfifo(QFile::encodeName(site + "/fifo.htm").constData(), 0600) != 0)
        qFatal("cannot make a FIFO");
    return site;
}

} // namespace

class tst_FilePanel : public QObject
{
    Q_OBJECT

private slots:
    void applyFilePath_data()
    {
        QTest::addColumn<QString>("path"); // "~" stands for the working directory
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("state"); // directory, mask, [selected file], listed names
        const QString web = " *.htm* [] a.htm alpha.HTM b.html INDEX.HTML link.htm Zeta.htm";
        const QString start = "~ *.htm* [] start.htm";
        const auto row = [](const char *name, const char *path, bool fails, const QString &state) {
            QTest::newRow(name) << QString(path) << fails << state;
        };
        row("directory", "~/site", false, "~/site" + web);
        row("directory, relative", "site/sub.htm/..", false, "~/site" + web);
        row("file", "~/site/b.html", false, QString("~/site" + web).replace("[]", "[~/site/b.html]"));
        row("file, relative", "site/a.htm", false, QString("~/site" + web).replace("[]", "[~/site/a.htm]"));
        row("file the mask hides", "~/site/notes.txt", false,
            "~/site notes.txt [~/site/notes.txt] notes.txt");
        row("all files", "~/site/*.*", false,
            "~/site *.* [] a.htm alpha.HTM b.html INDEX.HTML link.htm notes.txt Orvik_temp.ht~ README "
            "Zeta.htm");
        row("two patterns", "~/site/*.TXT; readme", false, "~/site *.TXT; readme [] notes.txt README");
        row("one character", "~/site/?.htm", false, "~/site ?.htm [] a.htm");
        row("any extension or none", "~/site/readme.*", false, "~/site readme.* [] README");
        row("brackets are plain", "~/site/[a]*.htm", false, "~/site [a]*.htm [] ");
        // The directory moves even when the last part then names nothing.
        row("missing file", "~/site/gone.htm", true, "~/site" + web);
        row("FIFO", "~/site/fifo.htm", true, "~/site" + web);
        row("missing directory", "~/nowhere/a.htm", true, start);
        row("missing name alone", "nowhere", true, start);
        row("empty", "", false, start);
    }
    void applyFilePath()
    {
        QFETCH(QString, path);
        QFETCH(bool, fails);
        QFETCH(QString, state);
        TestEnvironment env;
        const QString site = makeSite(env);
        // A name that is not valid text cannot be opened by the name the list would show.
        const QByteArray badName = QFile::encodeName(site) + "/bad\xff.htm";
        QVERIFY(::close(::open(badName.constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });

        Panel panel;
        const auto apply = [&] { panel.FileList->ApplyFilePath(path.replace('~', env.workDir())); };
        if (fails)
            QVERIFY_THROWS_EXCEPTION(EHostError, apply());
        else
            apply();
        QCOMPARE(panel.state().replace(env.workDir(), "~"), state);
    }

    void userMovesThroughDirectoriesFiltersAndOpensFiles()
    {
        TestEnvironment env;
        const QString site = makeSite(env);
        env.writeFile("notes.txt", "x");
        Panel panel;
        panel.host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel.host));
        panel.DIRList->setDirectory(site);
        QAbstractItemView *dirs = panel.DIRList->view();
        const QStringList levels = QStringList{"/"} + site.split('/', Qt::SkipEmptyParts);
        QCOMPARE(shownTexts(dirs), levels + QStringList({"Beta", "linked", "sub.htm"}));
        QCOMPARE(dirs->currentIndex().row(), levels.size() - 1);

        // Enter on a subdirectory shows it, a double-click on a level of the path goes back up.
        dirs->setCurrentIndex(dirs->model()->index(levels.size() + 2, 0));
        QTest::keyClick(dirs, Qt::Key_Return);
        QCOMPARE(panel.state(), site + "/sub.htm *.htm* [] deep.htm");
        QCOMPARE(shownTexts(dirs).mid(levels.size()), QStringList{"sub.htm"});
        const QModelIndex up = dirs->model()->index(levels.size() - 2, 0);
        dirs->scrollTo(up);
        doubleClick(dirs, dirs->visualRect(up).center());
        QCOMPARE(panel.state(), env.workDir() + " *.htm* [] start.htm");

        // The filter box's entries set the mask; their captions are what the user reads.
        QComboBox *filter = panel.cboFilter->comboBox();
        QCOMPARE(filter->currentText(), QStringLiteral("Web Documents (*.htm; *.html)"));
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(filter->currentText(), QStringLiteral("All Files (*.*)"));
        QCOMPARE(panel.state(), env.workDir() + " *.* [] notes.txt start.htm");
        QTest::keyClick(filter, Qt::Key_Up);
        QCOMPARE(panel.state(), env.workDir() + " *.htm* [] start.htm");

        // A double-click in the file list runs the handler; with nothing selected, on no name.
        QStringList opened;
        panel.FileList->OnDblClick = [&] { opened << panel.FileList->FileName(); };
        QAbstractItemView *files = panel.FileList->view();
        const QPoint empty(5, files->viewport()->height() - 5);
        doubleClick(files, empty);
        doubleClick(files, files->visualRect(files->model()->index(0, 0)).center());
        QTest::keyClick(files, Qt::Key_Return); // Enter opens as a double-click does
        QCOMPARE(opened, QStringList({QString(), env.workDir() + "/start.htm", env.workDir() + "/start.htm"}));
        // A failing handler is reported, not thrown into the event loop.
        panel.FileList->OnDblClick = [] { throw EHostError("Cannot open file x"); };
        panel.dialogs.expectError("Cannot open file x");
        doubleClick(files, empty);
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }

    void updateRereadsAndSurvivesAVanishedDirectory()
    {
        TestEnvironment env;
        const QString site = makeSite(env);
        Panel panel;
        panel.FileList->ApplyFilePath(site + "/b.html");
        env.writeFile("site/new.htm", "x");
        panel.FileList->Update();
        QCOMPARE(panel.state(), QStringLiteral("%1 *.htm* [%1/b.html] a.htm alpha.HTM b.html INDEX.HTML "
                                               "link.htm new.htm Zeta.htm").arg(site));
        // Case matters: the selected name in capitals names another file, which is missing.
        QVERIFY_THROWS_EXCEPTION(EHostError, panel.FileList->ApplyFilePath(site + "/B.html"));
        // Choosing the volume again goes to the directory last shown on it...
        QComboBox *box = panel.drvCombo->comboBox();
        emit box->activated(box->currentIndex());
        QCOMPARE(panel.DIRList->Directory(), site);

        // ...and once that has vanished, to the volume's root; the lists show what is left.
        QVERIFY(QDir(site).removeRecursively());
        panel.drvCombo->Update();
        panel.DIRList->Update();
        panel.FileList->Update();
        QCOMPARE(panel.FileList->Items(), QStringList());
        QCOMPARE(panel.FileList->FileName(), QString());
        QCOMPARE(shownTexts(panel.DIRList->view()).last(), QStringLiteral("site"));
        emit box->activated(box->currentIndex());
        const QString volume = panel.drvCombo->volume();
        QVERIFY(site.startsWith(volume));
        QCOMPARE(panel.state(), volume + " *.htm* [] " + panel.FileList->Items().join(' '));
        QVERIFY2(panel.dialogs.allAnswered(), qPrintable(panel.dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_FilePanel)
#include "tst_FilePanel.moc"
