#include "EditorFixture.h"

#include "host/FilePanel.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

// Files and folders a user drops onto the window.
class tst_FileDrop : public QObject
{
    Q_OBJECT

private slots:
    void droppedFilesOpenInTurnAndAFolderMovesThePanel_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("onto the window") << "frmEditor";
        // The text surface takes drops of its own; files must not land in it as text.
        QTest::newRow("onto the text") << "mmoEditor";
    }
    void droppedFilesOpenInTurnAndAFolderMovesThePanel()
    {
        QFETCH(QString, target);
        EditorFixture x;
        QWidget *at = x.form.get();
        if (target == "mmoEditor")
            at = x.scintilla().viewport();
        const QString a = x.file("a.htm", "a\r\n");
        const QString missing = x.env.workDir() + "/missing.htm";
        const QString b = x.file("b.htm", "b\r\n");
        const QString folder = QFileInfo(x.file("site/index.htm", "i\r\n")).absolutePath();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(missing), QUrl::fromLocalFile(b),
                      QUrl::fromLocalFile(folder)});
        x.dialogs.expectError("Cannot open file " + missing);

        const QPoint middle = at->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(at, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(at, &drop);
        QVERIFY(drop.isAccepted());

        // A file that cannot be opened is reported and the next one still opens.
        QTRY_COMPARE(x.control<TFileListBox>("FileList").Directory(), folder);
        QCOMPARE(x.tabs(), QStringList({"a.htm", "b.htm"}));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + b);
        QCOMPARE(x.editorText(), QByteArray("b\r\n"));
        ANSWERED(x.dialogs);
    }
};

ORVIK_TEST_MAIN(tst_FileDrop)
#include "tst_FileDrop.moc"
