#include "TestEnvironment.h"

#include "host/FilePanel.h"
#include "host/Guard.h"
#include "host/Volumes.h"
#include "ScriptedDialogs.h"
#include "util/HostError.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QScopeGuard>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The four controls linked as the main window links them.
struct Panel
{
    ScriptedDialogs dialogs;
    Guard guard {dialogs};
    QWidget host;
    TDriveComboBox *drvCombo = new TDriveComboBox(guard, &host);
    TDirectoryListBox *DIRList = new TDirectoryListBox(guard, &host);
    TFilterComboBox *cboFilter = new TFilterComboBox(guard, &host);
    TFileListBox *FileList = new TFileListBox(guard, &host);

    Panel()
    {
        drvCombo->setDirList(DIRList);
        DIRList->setFileList(FileList);
        cboFilter->setFileList(FileList);
        FileList->setDirList(DIRList);
    }

    // Directory, mask, [selected file] and names, and a directory list or cwd that disagrees.
    QString state() const
    {
        const QString dir = FileList->Directory();
        QString s = QStringLiteral("%1 %2 [%3] ").arg(dir, FileList->Mask(), FileList->FileName());
        s += FileList->Items().join(' ');
        if (DIRList->Directory() != dir || QDir::currentPath() != dir)
            s += " but " + DIRList->Directory() + " and " + QDir::currentPath();
        return s;
    }
};

// A directory with every kind of entry the lists must sort out, beside a start.htm.
QString makeSite(const TestEnvironment &env)
{
    const QString site = env.workDir() + "/site";
    env.writeFile("start.htm", "x");
    for (const char *name : {"INDEX.HTML", "a.htm", "b.html", "notes.txt", ".hidden.htm", "README",
                             "alpha.HTM", "sub.htm/deep.htm", ".hidden/x", "Beta/x"})
        env.writeFile(QStringLiteral("site/") + name, "x");
    for (auto [target, link] : {std::pair {"a.htm", "link.htm"},
                                {"missing.htm", "broken.htm"},
                                {"loop.htm", "loop.htm"},
                                {"Beta", "linked"}})
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
        const QString site = "~/site *.htm* [] a.htm alpha.HTM b.html INDEX.HTML link.htm";
        const auto row = [](const char *name, const char *path, bool fails, const QString &state) {
            QTest::newRow(name) << QString(path) << fails << state;
        };
        row("directory, relative", "site/sub.htm/..", false, site);
        row("name alone", "start.htm", false, "~ *.htm* [~/start.htm] start.htm");
        row("file the mask hides", "~/site/notes.txt", false,
            "~/site notes.txt [~/site/notes.txt] notes.txt");
        // Any case; "?" is one character, ".*" allows no extension, brackets are plain.
        row("patterns", "~/site/?.htm; *.TXT; readme.*; [a]*.htm", false,
            "~/site ?.htm; *.TXT; readme.*; [a]*.htm [] a.htm notes.txt README");
        // The directory moves even when the last part then names nothing.
        row("missing file", "~/site/gone.htm", true, site);
        row("missing directory", "~/nowhere/a.htm", true, "~ *.htm* [] start.htm");
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
        QVERIFY(symlink("a.htm", badName.constData()) == 0);
        const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });
        Panel panel;
        panel.guard.run([&] { panel.FileList->ApplyFilePath(path.replace('~', env.workDir())); });
        QCOMPARE(panel.dialogs.errors.isEmpty(), !fails);
        QCOMPARE(panel.state().replace(env.workDir(), "~"), state);
    }

    void userMovesThroughDirectoriesFiltersAndOpensFiles()
    {
        TestEnvironment env;
        const QString site = makeSite(env);
        Panel panel;
        panel.host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel.host));
        panel.FileList->ApplyFilePath(site + "/b.html");
        // Case matters: the selected name in capitals names another file, which is missing.
        QVERIFY_THROWS_EXCEPTION(EHostError, panel.FileList->ApplyFilePath(site + "/B.html"));
        env.writeFile("site/new.htm", "x");
        panel.FileList->Update();
        QCOMPARE(panel.state(), site + " *.htm* [" + site
                                    + "/b.html] a.htm alpha.HTM b.html "
                                      "INDEX.HTML link.htm new.htm");

        // Enter on the third subdirectory (no hidden ones or files) opens it; a level goes back up.
        QAbstractItemView *dirs = panel.DIRList->view();
        const int levels = int(site.split('/', Qt::SkipEmptyParts).size()) + 1;
        dirs->setCurrentIndex(dirs->model()->index(levels + 2, 0));
        QTest::keyClick(dirs, Qt::Key_Return);
        QCOMPARE(panel.state(), site + "/sub.htm *.htm* [] deep.htm");
        const QModelIndex up = dirs->model()->index(levels - 2, 0);
        dirs->scrollTo(up);
        // As a user's double-click arrives: press and release, then the double-click.
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualRect(up).center());
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualRect(up).center());
        QCOMPARE(panel.state(), env.workDir() + " *.htm* [] start.htm");
        QTest::keyClick(panel.cboFilter->comboBox(), Qt::Key_Down); // to all files

        // Enter in the file list runs the handler, as a double-click does; failing, it is reported.
        QStringList opened;
        panel.FileList->OnDblClick = [&] { opened << panel.FileList->FileName(); };
        QAbstractItemView *files = panel.FileList->view();
        files->setCurrentIndex(files->model()->index(0, 0));
        QTest::keyClick(files, Qt::Key_Return);
        QCOMPARE(opened, QStringList {env.workDir() + "/start.htm"});
        panel.FileList->OnDblClick = [] { throw EHostError("Cannot open file x"); };
        panel.dialogs.expectError("Cannot open file x");
        QTest::keyClick(files, Qt::Key_Return);

        // When the directory vanishes, the lists empty and the volume box goes to the root.
        QVERIFY(QDir(env.workDir()).removeRecursively());
        panel.DIRList->Update();
        panel.FileList->Update();
        QCOMPARE(panel.FileList->FileName(), QString());
        QComboBox *box = panel.drvCombo->comboBox();
        emit box->activated(box->currentIndex());
        const QString volume = panel.drvCombo->volume();
        QCOMPARE(panel.state(), volume + " *.* [] " + panel.FileList->Items().join(' '));
        ANSWERED(panel.dialogs);
    }

    // The drive box offers the root, the home and the volumes a user mounts, each device once.
    void volumesAUserMounts()
    {
        const QList<MountedVolume> mounts {
            {"/", "/dev/sda2", "ext4", ""},
            {"/boot/efi", "/dev/sda1", "vfat", ""}, // the system's
            {"/proc", "proc", "proc", ""},
            {"/media/ann/snap", "/dev/loop1", "squashfs", ""}, // a package's image
            {"/mnt/scratch", "none", "tmpfs", ""},
            {"/mnt/site", "/dev/sda2", "ext4", ""}, // a bind mount of the root's disk
            {"/media/ann/STICK", "/dev/sdb1", "vfat", "STICK"},
            {"/media/ann/CD", "/dev/sr0", "iso9660", "CD"},
            {"/home/ann/stick", "/dev/sdb1", "vfat", "STICK"},
            {"/home/ann/share", "//server/share", "cifs", ""},
            {"/home/ann/.cache/doc", "portal", "fuse.portal", ""},
            {"D:/", "D:", "NTFS", "Data"},
        };
        QStringList texts;
        for (const VolumePlace &place : BrowsableVolumes(mounts, "/home/ann"))
            texts << place.text;
        QCOMPARE(texts.join(", "), "/, /home/ann, /home/ann/share, /home/ann/stick [STICK], "
                                   "/media/ann/CD [CD], D:/ [Data]");
        // This machine's box starts the same way.
        Panel panel;
        const QComboBox *box = panel.drvCombo->comboBox();
        QCOMPARE(QStringList({box->itemData(0).toString(), box->itemData(1).toString()}),
                 QStringList({"/", QDir::homePath()}));
    }

    // A directory one may not enter: the error, and the panel, highlight included, stays put.
    void aDirectoryThatCannotBeEnteredChangesNothing()
    {
        TestEnvironment env;
        env.writeFile("start.htm", "x");
        const QString locked = env.workDir() + "/locked";
        QVERIFY(QDir().mkpath(locked + "/inner"));
        QVERIFY(::chmod(QFile::encodeName(env.root()).constData(), 0755) == 0);
        const QByteArray lockedName = QFile::encodeName(locked);
        QVERIFY(::chmod(lockedName.constData(), 0) == 0);
        const auto unlock = qScopeGuard([&] { ::chmod(lockedName.constData(), 0755); });
        Panel panel;
        panel.host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel.host));
        panel.dialogs.expectError("Cannot open the directory '" + locked + "'");
        QAbstractItemView *dirs = panel.DIRList->view();
        const int levels = int(env.workDir().split('/', Qt::SkipEmptyParts).size()) + 1;
        const QPoint entry = dirs->visualRect(dirs->model()->index(levels, 0)).center();
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, entry);
        {
            // Root may enter any directory: for the double-click the test is nobody.
            const bool root = ::geteuid() == 0;
            QVERIFY(!root || ::seteuid(65534) == 0);
            const auto regain = qScopeGuard([root] { (void)(root && ::seteuid(0)); });
            QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, entry);
        }
        ANSWERED(panel.dialogs);
        QCOMPARE(panel.state(), env.workDir() + " *.htm* [] start.htm");
        QCOMPARE(dirs->currentIndex().data(Qt::UserRole).toString(), env.workDir());
        QCOMPARE(dirs->selectionModel()->selectedIndexes(), QModelIndexList {dirs->currentIndex()});
    }
};

ORVIK_TEST_MAIN(tst_FilePanel)
#include "tst_FilePanel.moc"
