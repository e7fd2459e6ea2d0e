#include "TestEnvironment.h"

#include "host/QtDialogs.h"

#include <QLabel>
#include <QPushButton>

// The real modal boxes, answered through the keyboard and the frame as a user would.
class tst_MessageBox : public QObject
{
    Q_OBJECT

private slots:
    // The editor's questions, which offer Yes and No.
    void keysAndFrame_data()
    {
        QTest::addColumn<int>("key"); // 0: closed by the frame
        QTest::addColumn<int>("result");
        QTest::newRow("Enter presses Yes") << int(Qt::Key_Return) << int(mrYes);
        QTest::newRow("Escape presses No") << int(Qt::Key_Escape) << int(mrNo);
        QTest::newRow("frame gives Cancel") << 0 << int(mrCancel);
    }
    void keysAndFrame()
    {
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
        QCOMPARE(int(dialogs.messageDlg("?", TMsgDlgType::mtConfirmation, mbYes | mbNo)), result);
        QCOMPARE(shown.join(' '), QStringLiteral("Confirm: &Yes &No"));
    }

    void errorReportHasAnIconAndTheApplicationsTitle()
    {
        QString seen;
        WhenModalShown([&](QWidget *box) {
            seen = box->windowTitle() + ": " + box->findChild<QLabel *>("text")->text()
                   + (box->findChild<QLabel *>("icon") ? " (icon)" : "");
            QTest::keyClick(box, Qt::Key_Return);
        });
        QtDialogs().showErrorReport("Cannot open file x.htm.");
        QCOMPARE(seen, QStringLiteral("Orvik Pagloom: Cannot open file x.htm. (icon)"));
    }
};

ORVIK_TEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
