#include "TestEnvironment.h"

#include "host/Dialogs.h"
#include "host/Guard.h"
#include "host/HostError.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"

#include <QAction>
#include <QTabBar>

class tst_HostControls : public QObject
{
    Q_OBJECT

    static void clickTab(QTabBar *bar, int index)
    {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

private slots:
    void errorReportText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter gets a full stop") << "Cannot open file a.htm" << "Cannot open file a.htm.";
        QTest::newRow("full stop kept") << "Done." << "Done.";
        QTest::newRow("sorts before the full stop") << "Stop!" << "Stop!";
        QTest::newRow("digit sorts after") << "index 3" << "index 3.";
        QTest::newRow("empty") << "" << "";
    }
    void errorReportText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorReportText(message), shown);
    }

    void tabIndexSetRaisesNothing()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        TabStrip strip(guard, nullptr);
        int events = 0;
        strip.OnChanging = [&](bool &) { ++events; };
        strip.OnChange = [&] { ++events; };
        strip.add("a");
        strip.add("b");
        strip.setTabIndex(1);
        strip.deleteTab(1);
        strip.add("c");
        QCOMPARE(events, 0);
        QCOMPARE(strip.tabIndex(), 0);
    }

    void userSwitchRaisesChangingOnOldTabThenChange()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        TabStrip strip(guard, nullptr);
        strip.resize(400, 100);
        strip.add("first");
        strip.add("second");
        strip.setTabIndex(0);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        QStringList log;
        strip.OnChanging = [&](bool &) { log << QStringLiteral("changing %1").arg(strip.tabIndex()); };
        strip.OnChange = [&] { log << QStringLiteral("change %1").arg(strip.tabIndex()); };
        clickTab(strip.bar(), 1);
        QCOMPARE(log, QStringList({"changing 0", "change 1"}));

        strip.OnChanging = [&](bool &allow) { allow = false; };
        clickTab(strip.bar(), 0);
        QCOMPARE(strip.tabIndex(), 1);
    }

    void tabIndexErrors()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        TabStrip strip(guard, nullptr);
        strip.add("only");
        try {
            strip.setTab(3, "x");
            QFAIL("no error");
        } catch (const EHostError &e) {
            QCOMPARE(e.message(), QStringLiteral("Failed to set tab \"x\" at index 3"));
        }
        try {
            strip.deleteTab(-1);
            QFAIL("no error");
        } catch (const EHostError &e) {
            QCOMPARE(e.message(), QStringLiteral("Failed to delete tab at index -1"));
        }
    }

    void pageControlRaisesChangeOnlyForTheUser()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        PageControl pages(guard, nullptr);
        pages.resize(300, 200);
        QWidget *edit = pages.addPage("shtEdit", "&Edit");
        QWidget *browse = pages.addPage("shtBrowse", "&Browse");
        int changes = 0;
        pages.OnChange = [&] { ++changes; };
        pages.setActivePage(browse);
        QCOMPARE(pages.activePage(), browse);
        QCOMPARE(changes, 0);
        pages.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages));
        clickTab(pages.bar(), 0);
        QCOMPARE(pages.activePage(), edit);
        QCOMPARE(changes, 1);
        QVERIFY(edit->isVisible());
        QVERIFY(!browse->isVisible());
    }

    void clickRunsHandlerDirectlyToolkitGoesThroughTheGuard()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        QAction action("&Go");
        MenuItem item(&action, guard);
        item.OnClick = [] { throw EHostError("Broken"); };
        QVERIFY_THROWS_EXCEPTION(EHostError, item.Click());
        QVERIFY(dialogs.errors.isEmpty());

        dialogs.expectError("Broken.");
        action.trigger();
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void checkMarkBelongsToTheHandler()
    {
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        QAction action("&Wrap");
        action.setCheckable(true);
        MenuItem item(&action, guard);
        bool seen = true;
        item.OnClick = [&] { seen = item.Checked(); };
        action.trigger();
        QCOMPARE(seen, false);
        QCOMPARE(item.Checked(), false);
    }
};

ORVIK_TEST_MAIN(tst_HostControls)
#include "tst_HostControls.moc"
