#include "TestEnvironment.h"

#include "host/Guard.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"
#include "util/HostError.h"

#include <QAction>
#include <QTabBar>

class tst_HostControls : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    Guard guard {dialogs};

private slots:
    void tabsRaiseEventsOnlyForTheUser()
    {
        QWidget window;
        TabStrip strip(guard, &window);
        PageControl pages(guard, &window);
        QWidget *edit = pages.addPage("shtEdit", "&Edit");
        QWidget *browse = pages.addPage("shtBrowse", "&Browse");
        QStringList log;
        strip.OnChanging = [&](bool &) { log << "changing " + QString::number(strip.tabIndex()); };
        strip.OnChange = [&] { log << "change " + QString::number(strip.tabIndex()); };
        pages.OnChange = [&] { log << QStringLiteral("page"); };
        strip.add("a");
        strip.add("b");
        strip.setTabIndex(1);
        strip.deleteTab(1);
        strip.add("c");
        pages.setActivePage(browse);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(strip.bar(), Qt::LeftButton, {}, strip.bar()->tabRect(1).center());
        QTest::mouseClick(pages.bar(), Qt::LeftButton, {}, pages.bar()->tabRect(0).center());
        QCOMPARE(log, QStringList({"changing 0", "change 1", "page"}));
        QVERIFY(edit->isVisible() && !browse->isVisible());

        strip.OnChanging = [&](bool &allow) { allow = false; };
        QTest::mouseClick(strip.bar(), Qt::LeftButton, {}, strip.bar()->tabRect(0).center());
        QCOMPARE(strip.tabIndex(), 1);
        dialogs.expectError("Failed to set tab \"x\" at index 3.");
        dialogs.expectError("Failed to delete tab at index -1.");
        guard.run([&] { strip.setTab(3, "x"); });
        guard.run([&] { strip.deleteTab(-1); });
        ANSWERED(dialogs);
    }

    void menuItemClickRaisesAndTheToolkitsTriggerIsReported()
    {
        // A report gains a full stop only after a letter or digit.
        QCOMPARE(ErrorReportText("Done."), "Done.");
        QCOMPARE(ErrorReportText("Stop!"), "Stop!");
        QCOMPARE(ErrorReportText(""), "");
        QAction action("&Wrap");
        MenuItem item(&action, guard);
        item.OnClick = [] { throw EHostError("Broken"); };
        QVERIFY_THROWS_EXCEPTION(EHostError, item.Click());
        dialogs.expectError("Broken.");
        action.trigger();
        ANSWERED(dialogs);
    }
};

ORVIK_TEST_MAIN(tst_HostControls)
#include "tst_HostControls.moc"
