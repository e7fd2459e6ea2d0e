#include "TestEnvironment.h"

#include "host/QtDialogs.h"

#include <QMessageBox>
#include <QPushButton>

// The real modal boxes, answered through the keyboard and the frame as a user would.
class tst_MessageBox : public QObject
{
    Q_OBJECT

private slots:
    // The editor's questions, which offer Yes and No.
    void keysAndFrame_data()
    {
        QTest::addColumn<QKeySequence>("keys"); // none: closed by the frame
        QTest::addColumn<int>("result");
        QTest::newRow("Enter presses Yes") << QKeySequence(Qt::Key_Return) << int(mrYes);
        QTest::newRow("Escape presses No") << QKeySequence(Qt::Key_Escape) << int(mrNo);
        QTest::newRow("frame gives Cancel") << QKeySequence() << int(mrCancel);
        // The underlined letters answer without Alt, in either case.
        QTest::newRow("y presses Yes") << QKeySequence(Qt::Key_Y) << int(mrYes);
        QTest::newRow("N presses No") << QKeySequence(Qt::SHIFT | Qt::Key_N) << int(mrNo);
    }
    void keysAndFrame()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(int, result);
        QtDialogs dialogs;
        QStringList shown;
        WhenModalShown([&](QWidget *box) {
            shown << box->windowTitle() + ":";
            for (QPushButton *b : box->findChildren<QPushButton *>())
                shown << b->text();
            // Where the box puts the keyboard: on its default button.
            QTest::keySequence(box->focusWidget(), keys);
            // The frame closes a box that the keys, if any, leave open.
            if (keys.isEmpty() || !QTest::qWaitFor([box] { return box->isHidden(); }))
                box->close();
        });
        QCOMPARE(int(dialogs.messageDlg("?", TMsgDlgType::mtConfirmation, mbYes | mbNo)), result);
        QCOMPARE(shown.join(' '), QStringLiteral("Confirm: &Yes &No"));
    }

    void errorReportHasAnIconAndTheApplicationsTitle()
    {
        QString seen;
        WhenModalShown([&](QWidget *widget) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            seen = box->windowTitle() + ": " + box->text()
                   + (box->iconPixmap().isNull() ? "" : " (icon)");
            QTest::keyClick(box, Qt::Key_Return);
        });
        QtDialogs().showErrorReport("Cannot open file x.htm.");
        QCOMPARE(seen, QStringLiteral("Orvik Pagloom: Cannot open file x.htm. (icon)"));
    }
};

ORVIK_TEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
