#include "TestEnvironment.h"

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

    ScriptedDialogs dialogs;
    Guard guard{dialogs};

    static void clickTab(QTabBar *bar, int index)
    {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    static QString errorOf(const std::function<void()> &fn)
    {
        try {
            fn();
        } catch (const EHostError &e) {
            return e.message();
        }
        return QStringLiteral("<no error>");
    }

private slots:
    void errorReportEndsWithAFullStopAfterALetterOrDigit()
    {
        QCOMPARE(ErrorReportText("Cannot open file a.htm"), "Cannot open file a.htm.");
        QCOMPARE(ErrorReportText("index 3"), "index 3.");
        QCOMPARE(ErrorReportText("Done."), "Done.");
        QCOMPARE(ErrorReportText("Stop!"), "Stop!"); // sorts before the full stop
        QCOMPARE(ErrorReportText(""), "");
    }

    void tabStripRaisesEventsOnlyForTheUser()
    {
        TabStrip strip(guard, nullptr);
        strip.resize(400, 100);
        QStringList log;
        strip.OnChanging = [&](bool &) { log << QStringLiteral("changing %1").arg(strip.tabIndex()); };
        strip.OnChange = [&] { log << QStringLiteral("change %1").arg(strip.tabIndex()); };
        strip.add("a");
        strip.add("b");
        strip.setTabIndex(1);
        strip.deleteTab(1);
        strip.add("c");
        QCOMPARE(strip.tabIndex(), 0);
        QCOMPARE(log, QStringList());

        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        clickTab(strip.bar(), 1);
        QCOMPARE(log, QStringList({"changing 0", "change 1"}));
        strip.OnChanging = [&](bool &allow) { allow = false; };
        clickTab(strip.bar(), 0);
        QCOMPARE(strip.tabIndex(), 1);

        QCOMPARE(errorOf([&] { strip.setTab(3, "x"); }),
                 QStringLiteral("Failed to set tab \"x\" at index 3"));
        QCOMPARE(errorOf([&] { strip.deleteTab(-1); }), QStringLiteral("Failed to delete tab at index -1"));
    }

    void pageControlRaisesChangeOnlyForTheUser()
    {
        PageControl pages(guard, nullptr);
        pages.resize(300, 200);
        QWidget *edit = pages.addPage("shtEdit", "&Edit");
        QWidget *browse = pages.addPage("shtBrowse", "&Browse");
        int changes = 0;
        pages.OnChange = [&] { ++changes; };
        pages.setActivePage(browse);
        QCOMPARE(changes, 0);
        pages.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages));
        clickTab(pages.bar(), 0);
        QCOMPARE(pages.activePage(), edit);
        QCOMPARE(changes, 1);
        QVERIFY(edit->isVisible() && !browse->isVisible());
    }

    void menuItemClickRaisesToolkitGoesThroughTheGuard()
    {
        QAction action("&Wrap");
        action.setCheckable(true);
        MenuItem item(&action, guard);
        item.OnClick = [] { throw EHostError("Broken"); };
        QCOMPARE(errorOf([&] { item.Click(); }), QStringLiteral("Broken"));
        QVERIFY(dialogs.errors.isEmpty());
        dialogs.expectError("Broken.");
        action.trigger();
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));

        // The check mark belongs to the handler: the toolkit does not toggle it.
        bool seen = true;
        item.OnClick = [&] { seen = item.Checked(); };
        action.trigger();
        QVERIFY(!seen && !item.Checked());
    }
};

ORVIK_TEST_MAIN(tst_HostControls)
#include "tst_HostControls.moc"
