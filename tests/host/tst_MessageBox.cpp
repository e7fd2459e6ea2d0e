#include "TestEnvironment.h"

#include "host/QtDialogs.h"

#include <QLabel>
#include <QPushButton>

// The real modal boxes, answered through the keyboard and the frame as a user would.
class tst_MessageBox : public QObject
{
    Q_OBJECT

private slots:
    void keysAndFrame_data()
    {
        QTest::addColumn<unsigned>("buttons");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<int>("key"); // 0: closed by the frame
        QTest::addColumn<int>("result");
        const auto row = [](const char *name, unsigned buttons, const char *captions, int key, int result) {
            QTest::newRow(name) << buttons << QString(captions) << key << result;
        };
        row("Enter presses Yes", mbYes | mbNo, "&Yes &No", Qt::Key_Return, mrYes);
        row("Escape presses No", mbYes | mbNo, "&Yes &No", Qt::Key_Escape, mrNo);
        row("Enter presses OK", mbOK | mbCancel, "OK Cancel", Qt::Key_Return, mrOk);
        row("Escape presses Cancel", mbYes | mbNo | mbCancel, "&Yes &No Cancel", Qt::Key_Escape, mrCancel);
        row("Escape presses OK alone", mbOK, "OK", Qt::Key_Escape, mrOk);
        row("frame gives Cancel", mbYes | mbNo, "&Yes &No", 0, mrCancel);
    }
    void keysAndFrame()
    {
        QFETCH(unsigned, buttons);
        QFETCH(QString, captions);
        QFETCH(int, key);
        QFETCH(int, result);
        QtDialogs dialogs;
        QStringList shown;
        WhenModalShown([&](QWidget *box) {
            shown << box->windowTitle() + ":";
            for (QPushButton *b : box->findChildren<QPushButton *>())
                shown << b->text();
            if (key)
                QTest::keyClick(box, Qt::Key(key));
            else
                box->close();
        });
        QCOMPARE(int(dialogs.messageDlg("Save?", TMsgDlgType::mtConfirmation, buttons)), result);
        QCOMPARE(shown.join(' '), "Confirm: " + captions);
    }

    void errorReportHasAnIconAndTheApplicationsTitle()
    {
        QtDialogs dialogs;
        QString seen;
        const auto look = [&](QWidget *box) {
            seen = box->windowTitle() + ": " + box->findChild<QLabel *>("text")->text()
                   + (box->findChild<QLabel *>("icon") ? " (icon)" : "");
            QTest::keyClick(box, Qt::Key_Return);
        };
        WhenModalShown(look);
        dialogs.showErrorReport("Cannot open file x.htm.");
        QCOMPARE(seen, QStringLiteral("Orvik Pagloom: Cannot open file x.htm. (icon)"));
        WhenModalShown(look);
        dialogs.showMessage("Text not found");
        QCOMPARE(seen, QStringLiteral("Orvik Pagloom: Text not found"));
    }
};

ORVIK_TEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
