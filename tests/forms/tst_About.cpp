#include "TestEnvironment.h"

#include "forms/fmAbout.h"
#include "forms/fmEditor.h"
#include "host/FilePanel.h"
#include "host/MenuItem.h"
#include "ScriptedDialogs.h"
#include "UrlRecorder.h"

#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>

class tst_About : public QObject
{
    Q_OBJECT

    static void showAndWait(TfrmAbout &box)
    {
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        // The pointer starts in a corner: a move to where an earlier test left it is no move.
        QTest::mouseMove(box.windowHandle(), QPoint(2, 2));
    }

    // A pointer move through the window system onto a control or the box's bare surface, or
    // ("drag") a drag from the picture onto the line above the links.
    static void moveOnto(TfrmAbout &box, const QString &target)
    {
        QWindow *window = box.windowHandle();
        const QPoint from = box.Image1->geometry().center(), to = box.Label2->geometry().center();
        if (target == "drag") {
            QTest::mousePress(window, Qt::LeftButton, {}, from);
            QTest::mouseMove(window, to);
            return QTest::mouseRelease(window, Qt::LeftButton, {}, to);
        }
        const QPoint surface(8, box.height() - 8);
        auto *w = box.findChild<QWidget *>(target);
        QVERIFY2(w || (target == "surface" && !box.childAt(surface)), qPrintable(target));
        QTest::mouseMove(window, w ? w->mapTo(&box, w->rect().center()) : surface);
    }

    static QString look(const TfrmAbout &box, const QLabel *link)
    {
        const QColor colour = link->palette().color(QPalette::WindowText);
        const bool underlined = link->font().underline();
        if (colour == QColor(0, 0, 255) && underlined)
            return "hot";
        return colour == box.palette().color(QPalette::WindowText) && !underlined ? "normal" : "mixed";
    }

private slots:
    void designLinksAndKeys()
    {
        TestEnvironment env;
        UrlRecorder desktop;
        TfrmAbout box;
        showAndWait(box);
        QCOMPARE(box.frameGeometry().size(), QSize(479, 149));
        const QPoint offCentre = box.frameGeometry().center() - box.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "centred on the screen");
        QVERIFY(!(box.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(box.Image1->pixmap().size(), QSize(170, 80));
        const QFontInfo title(box.Label1->font());
        QVERIFY2(title.bold() && title.pointSize() == 12
                     && (title.family() == "Times New Roman"
                         || (title.family().contains("Serif") && !title.family().contains("Sans"))),
                 qPrintable(title.family()));
        // Each line whole inside the box, none running into the next.
        const QList<QLabel *> column = {box.Label1, box.Label2, box.lblURL, box.lblEmail};
        for (int i = 0; i < column.size(); ++i) {
            const QRect place = column[i]->geometry();
            QVERIFY2(place.width() >= column[i]->sizeHint().width() && place.right() < box.width()
                         && (i + 1 == column.size() || place.bottom() < column[i + 1]->y()),
                     qPrintable(column[i]->objectName()));
        }

        // The links open in the browser; a click beside them opens nothing.
        for (QLabel *label : {box.lblURL, box.Label2, box.lblEmail}) {
            const QPoint centre = label->mapTo(&box, label->rect().center());
            QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, centre);
        }
        QCOMPARE(desktop.urls,
                 QList<QUrl>({QUrl("http://www.orvik.example"), QUrl("mailto:pagloom@orvik.example")}));

        // Escape does nothing, wherever the focus is; Enter closes the box.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(mrCancel));
    }

    void aNewModalBoxForEachShowingFreedOnClose()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        for (int showing = 0; showing < 2; ++showing) {
            bool alone = false;
            QPointer<TfrmAbout> box;
            WhenModalShown([&](QWidget *w) {
                box = qobject_cast<TfrmAbout *>(w);
                const QWidgetList all = QApplication::topLevelWidgets();
                const auto isBox = [](QWidget *t) { return qobject_cast<TfrmAbout *>(t) != nullptr; };
                alone = box && box->isModal() && std::count_if(all.begin(), all.end(), isBox) == 1;
                w->close();
            });
            form.itmAbout->Click();
            QVERIFY(alone);
            QVERIFY(box.isNull()); // freed on close
        }
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    // A link turns hot under the pointer, and only the box's own surface turns it back.
    void hover_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("email");
        QTest::newRow("untouched") << "" << "normal" << "normal";
        QTest::newRow("over other controls") << "lblEmail Label2 Image1 Label1 btnOK" << "normal" << "hot";
        QTest::newRow("dragging over the controls") << "lblURL drag" << "hot" << "normal";
        QTest::newRow("surface resets both") << "lblURL lblEmail surface" << "normal" << "normal";
        QTest::newRow("hot again after it") << "lblURL surface lblEmail" << "normal" << "hot";
    }
    void hover()
    {
        QFETCH(QString, path);
        QFETCH(QString, url);
        QFETCH(QString, email);
        TestEnvironment env;
        TfrmAbout box;
        showAndWait(box);
        for (const QString &target : path.split(' ', Qt::SkipEmptyParts))
            moveOnto(box, target);
        QCOMPARE(look(box, box.lblURL), url);
        QCOMPARE(look(box, box.lblEmail), email);
    }

    void helpIsLookedForWhereTheProgramStarted()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        UrlRecorder desktop;
        const QString startHelp = env.writeFile("OstraEditor.html", "<p>start</p>");
        const QString installedHelp = QCoreApplication::applicationDirPath() + "/OstraEditor.html";
        QVERIFY2(!QFile::exists(installedHelp), "left over from an earlier run");
        const auto removeInstalled = qScopeGuard([&] { QFile::remove(installedHelp); });
        QVERIFY(QFile::copy(startHelp, installedHelp));
        TfrmEditor form(dialogs, {"OrvikEditor"});
        // The panel moves on, to a directory with a help file of its own.
        form.FileList->ApplyFilePath(QFileInfo(env.writeFile("elsewhere/OstraEditor.html", "")).path());
        QVERIFY(QDir::currentPath().endsWith("/elsewhere"));

        // The start-up directory's copy first, then the installed one, then nothing, silently.
        form.itmHelpContents->Click();
        QVERIFY(QFile::remove(startHelp));
        form.itmHelpContents->Click();
        QVERIFY(QFile::remove(installedHelp));
        form.itmHelpContents->Click();
        QCOMPARE(desktop.urls, QList<QUrl>({QUrl::fromLocalFile(startHelp), QUrl::fromLocalFile(installedHelp)}));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_About)
#include "tst_About.moc"
