#include "TestEnvironment.h"

#include "host/MessageBox.h"
#include "host/QtDialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

// The real modal boxes, answered through the keyboard and the frame as a user would.
class tst_MessageBox : public QObject
{
    Q_OBJECT


private slots:
    void keysAndFrame_data()
    {
        QTest::addColumn<unsigned>("buttons");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter presses Yes") << unsigned(mbYes | mbNo) << int(Qt::Key_Return) << int(mrYes);
        QTest::newRow("Escape presses No") << unsigned(mbYes | mbNo) << int(Qt::Key_Escape) << int(mrNo);
        QTest::newRow("Enter presses OK") << unsigned(mbOK | mbCancel) << int(Qt::Key_Return) << int(mrOk);
        QTest::newRow("Escape presses Cancel") << unsigned(mbYes | mbNo | mbCancel) << int(Qt::Key_Escape) << int(mrCancel);
        QTest::newRow("Escape presses OK alone") << unsigned(mbOK) << int(Qt::Key_Escape) << int(mrOk);
        QTest::newRow("frame gives Cancel") << unsigned(mbYes | mbNo) << 0 << int(mrCancel);
    }
    void keysAndFrame()
    {
        QFETCH(unsigned, buttons);
        QFETCH(int, key);
        QFETCH(int, result);
        QtDialogs dialogs;
        QString caption;
        WhenModalShown([&](QWidget *box) {
            caption = box->windowTitle();
            if (key)
                QTest::keyClick(box, Qt::Key(key));
            else
                box->close();
        });
        QCOMPARE(int(dialogs.messageDlg("Save?", TMsgDlgType::mtConfirmation, buttons)), result);
        QCOMPARE(caption, QStringLiteral("Confirm"));
    }

    void buttonCaptions()
    {
        MessageBox box(nullptr, "Warning", "text", MessageBox::Icon::Warning,
                       mbYes | mbNo | mbOK | mbCancel);
        QCOMPARE(box.button(mbYes)->text(), QStringLiteral("&Yes"));
        QCOMPARE(box.button(mbNo)->text(), QStringLiteral("&No"));
        QCOMPARE(box.button(mbOK)->text(), QStringLiteral("OK"));
        QCOMPARE(box.button(mbCancel)->text(), QStringLiteral("Cancel"));
    }

    void errorReportHasStopIconAndApplicationTitle()
    {
        QtDialogs dialogs;
        QString caption, text;
        bool hasIcon = false;
        WhenModalShown([&](QWidget *box) {
            caption = box->windowTitle();
            text = box->findChild<QLabel *>("text")->text();
            hasIcon = box->findChild<QLabel *>("icon") != nullptr;
            QTest::keyClick(box, Qt::Key_Return);
        });
        dialogs.showErrorReport("Cannot open file x.htm.");
        QCOMPARE(caption, QStringLiteral("Orvik Pagloom"));
        QCOMPARE(text, QStringLiteral("Cannot open file x.htm."));
        QVERIFY(hasIcon);

        WhenModalShown([&](QWidget *box) {
            hasIcon = box->findChild<QLabel *>("icon") != nullptr;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        dialogs.showMessage("Text not found");
        QVERIFY(!hasIcon);
    }
};

ORVIK_TEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
