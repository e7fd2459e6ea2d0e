#include "TestEnvironment.h"

#include "forms/fmAbout.h"
#include "forms/fmEditor.h"
#include "host/FilePanel.h"
#include "host/MenuItem.h"
#include "ScriptedDialogs.h"
#include "UrlRecorder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QUrl>

class tst_About : public QObject
{
    Q_OBJECT

    static QList<TfrmAbout *> aboutBoxes()
    {
        QList<TfrmAbout *> boxes;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<TfrmAbout *>(w))
                boxes << box;
        return boxes;
    }


    // A pointer move through the window system, as the real pointer makes it.
    static void moveOnto(TfrmAbout &box, const QString &target)
    {
        QPoint at(8, box.height() - 8);
        if (target != "surface") {
            auto *w = box.findChild<QWidget *>(target);
            QVERIFY2(w, qPrintable(target));
            at = w->mapTo(&box, w->rect().center());
        } else {
            QVERIFY(!box.childAt(at));
        }
        QTest::mouseMove(box.windowHandle(), at);
    }

    static bool isHot(const QLabel *link)
    {
        return link->palette().color(QPalette::WindowText) == QColor(0, 0, 255)
               && link->font().underline();
    }
    static bool isNormal(const TfrmAbout &box, const QLabel *link)
    {
        return link->palette().color(QPalette::WindowText) == box.palette().color(QPalette::WindowText)
               && !link->font().underline() && !link->font().bold() && !link->font().italic();
    }

    static void showAndWait(TfrmAbout &box)
    {
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
    }

private slots:
    void designAndTexts()
    {
        TestEnvironment env;
        TfrmAbout box;
        showAndWait(box);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Ostra Pagloom"));
        QCOMPARE(box.frameGeometry().size(), QSize(479, 149));
        const QPoint offCentre = box.frameGeometry().center() - box.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "centred on the screen");
        QVERIFY(box.minimumSize() != box.maximumSize()); // the frame can resize it
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(flags & Qt::WindowTitleHint);
        for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                      Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                      Qt::WindowContextHelpButtonHint})
            QVERIFY(!(flags & button));

        QCOMPARE(box.Image1->geometry(), QRect(16, 16, 169, 81));
        QCOMPARE(box.Image1->pixmap().size(), QSize(170, 80));
        QVERIFY(!box.Image1->pixmap().hasAlphaChannel());

        QCOMPARE(box.Label1->text(), QStringLiteral("Ostra Pagloom Version 2.0"));
        const QFontInfo title(box.Label1->font());
        QVERIFY(title.bold());
        QCOMPARE(title.pointSize(), 12);
        QVERIFY2(title.family() == "Times New Roman"
                     || (title.family().contains("Serif") && !title.family().contains("Sans")),
                 qPrintable(title.family()));

        QCOMPARE(box.btnOK->text(), QStringLiteral("&OK"));
        QCOMPARE(box.btnOK->geometry(), QRect(384, 88, 75, 25));
        QVERIFY(box.btnOK->isDefault());

        // Each label at its place, readable in the box, none running into the next.
        const QList<QLabel *> column = {box.Label1, box.Label2, box.lblURL, box.lblEmail};
        const QList<QPoint> places = {{200, 8}, {200, 32}, {200, 48}, {200, 64}};
        for (int i = 0; i < column.size(); ++i) {
            QLabel *label = column[i];
            QCOMPARE(label->pos(), places[i]);
            QVERIFY(!label->text().isEmpty());
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
            QVERIFY2(label->geometry().right() < box.width(), qPrintable(label->objectName()));
            if (i + 1 < column.size())
                QVERIFY2(label->geometry().bottom() < places[i + 1].y(), qPrintable(label->objectName()));
        }
        QVERIFY(box.lblEmail->text().contains('@'));
        QCOMPARE(box.lblURL->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(box.lblEmail->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(isNormal(box, box.lblURL));
        QVERIFY(isNormal(box, box.lblEmail));
    }

    void keys()
    {
        TestEnvironment env;
        TfrmAbout box;
        showAndWait(box);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(mrCancel));
    }

    void oneBoxAtATimeFreedOnClose()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QList<QPointer<TfrmAbout>> shown;
        for (int showing = 0; showing < 2; ++showing) {
            int boxesWhileShown = -1;
            bool modal = false, closedByEnter = false;
            WhenModalShown([&](QWidget *w) {
                boxesWhileShown = int(aboutBoxes().size());
                auto *box = qobject_cast<TfrmAbout *>(w);
                modal = box && box->isModal();
                shown << box;
                QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return);
                closedByEnter = !w->isVisible();
                if (!closedByEnter) // keep the test from hanging in the modal loop
                    w->close();
            });
            form.itmAbout->Click();
            QCOMPARE(boxesWhileShown, 1);
            QVERIFY(modal);
            QVERIFY(closedByEnter);
            QVERIFY(aboutBoxes().isEmpty());
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].isNull() && shown[1].isNull());
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void hover_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("urlHot");
        QTest::addColumn<bool>("emailHot");
        QTest::newRow("untouched") << QStringList() << false << false;
        QTest::newRow("web address") << QStringList({"lblURL"}) << true << false;
        QTest::newRow("e-mail address") << QStringList({"lblEmail"}) << false << true;
        QTest::newRow("onto the line above stays hot") << QStringList({"lblURL", "Label2"}) << true << false;
        QTest::newRow("onto picture and button stays hot")
            << QStringList({"lblEmail", "Image1", "Label1", "btnOK"}) << false << true;
        QTest::newRow("both links") << QStringList({"lblURL", "lblEmail"}) << true << true;
        QTest::newRow("surface resets both") << QStringList({"lblURL", "lblEmail", "surface"}) << false << false;
        QTest::newRow("hot again after the surface")
            << QStringList({"lblURL", "surface", "lblEmail"}) << false << true;
    }
    void hover()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, urlHot);
        QFETCH(bool, emailHot);
        TestEnvironment env;
        TfrmAbout box;
        showAndWait(box);
        for (const QString &target : path)
            moveOnto(box, target);
        QCOMPARE(isHot(box.lblURL), urlHot);
        QCOMPARE(isNormal(box, box.lblURL), !urlHot);
        QCOMPARE(isHot(box.lblEmail), emailHot);
        QCOMPARE(isNormal(box, box.lblEmail), !emailHot);
    }

    void draggingOverTheControlsKeepsALinkHot()
    {
        TestEnvironment env;
        TfrmAbout box;
        showAndWait(box);
        moveOnto(box, "lblURL");
        QWindow *window = box.windowHandle();
        const QPoint onPicture = box.Image1->geometry().center();
        QTest::mousePress(window, Qt::LeftButton, {}, onPicture);
        QTest::mouseMove(window, onPicture + QPoint(5, 5));
        QTest::mouseMove(window, box.Label2->geometry().center());
        QTest::mouseRelease(window, Qt::LeftButton, {}, box.Label2->geometry().center());
        QVERIFY(isHot(box.lblURL));
    }

    void linksOpenInTheBrowser()
    {
        TestEnvironment env;
        UrlRecorder desktop;
        TfrmAbout box;
        showAndWait(box);
        const auto clickOn = [&box](QLabel *link) {
            QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {},
                              link->mapTo(&box, link->rect().center()));
        };
        clickOn(box.lblURL);
        QCOMPARE(desktop.urls.size(), 1);
        QCOMPARE(desktop.urls[0].host(), box.lblURL->text());
        QVERIFY(desktop.urls[0].scheme().startsWith("http"));
        clickOn(box.lblEmail);
        QCOMPARE(desktop.urls.size(), 2);
        QCOMPARE(desktop.urls[1], QUrl("mailto:" + box.lblEmail->text()));
        QVERIFY(box.isVisible());
        // A click elsewhere opens nothing.
        clickOn(box.Label2);
        QCOMPARE(desktop.urls.size(), 2);
    }

    void helpIsLookedForWhereTheProgramStarted_data()
    {
        QTest::addColumn<bool>("inStartDir");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("start-up directory first") << true << true << "start";
        QTest::newRow("installed copy next") << false << true << "installed";
        QTest::newRow("none: nothing, silently") << false << false << "";
    }
    void helpIsLookedForWhereTheProgramStarted()
    {
        QFETCH(bool, inStartDir);
        QFETCH(bool, installed);
        QFETCH(QString, opened);
        TestEnvironment env;
        ScriptedDialogs dialogs;
        UrlRecorder desktop;
        const QString startHelp = env.workDir() + "/OstraEditor.html";
        const QString installedHelp = QCoreApplication::applicationDirPath() + "/OstraEditor.html";
        QVERIFY2(!QFile::exists(installedHelp), "left over from an earlier run");
        if (inStartDir)
            env.writeFile("OstraEditor.html", "<p>start</p>");
        const auto removeInstalled = qScopeGuard([&] { QFile::remove(installedHelp); });
        if (installed)
            QVERIFY(QFile::copy(env.writeFile("copy.html", "<p>installed</p>"), installedHelp));

        TfrmEditor form(dialogs, {"OrvikEditor"});
        // The panel moves on, and there is a help file where it went too.
        const QString elsewhere = env.writeFile("elsewhere/OstraEditor.html", "<p>elsewhere</p>");
        form.FileList->ApplyFilePath(QFileInfo(elsewhere).absolutePath());
        QCOMPARE(QDir::currentPath(), QFileInfo(elsewhere).absolutePath());

        form.itmHelpContents->Click();
        if (opened.isEmpty()) {
            QVERIFY(desktop.urls.isEmpty());
        } else {
            QCOMPARE(desktop.urls.size(), 1);
            QCOMPARE(desktop.urls[0], QUrl::fromLocalFile(opened == "start" ? startHelp : installedHelp));
        }
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_About)
#include "tst_About.moc"
