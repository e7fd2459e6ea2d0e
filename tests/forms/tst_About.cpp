#include "TestEnvironment.h"

#include "forms/fmAbout.h"
#include "forms/fmEditor.h"
#include "host/FilePanel.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"
#include "UrlRecorder.h"

#include <QLabel>
#include <QScopeGuard>
#include <QScreen>

class tst_About : public QObject
{
    Q_OBJECT

    // Each link's look: "hot" (blue, underlined), "normal" (as the box's own text) or "mixed".
    static QString looks(const TfrmAbout &box)
    {
        QString result;
        for (const QLabel *link : {box.lblURL, box.lblEmail}) {
            const QColor colour = link->palette().color(QPalette::WindowText);
            const bool underlined = link->font().underline();
            const bool plain = colour == box.palette().color(QPalette::WindowText) && !underlined;
            result += colour == Qt::blue && underlined ? "hot " : plain ? "normal " : "mixed ";
        }
        return result.trimmed();
    }

private slots:
    void designHoverLinksAndKeys()
    {
        UrlRecorder desktop;
        TfrmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(box.frameGeometry().size(), QSize(479, 149));
        QCOMPARE(box.frameGeometry().center(), box.screen()->availableGeometry().center());
        QCOMPARE(box.Image1->pixmap().size(), QSize(170, 80));
        const QString title = QFontInfo(box.Label1->font()).family();
        QVERIFY2(title == "Times New Roman" || (title.contains("Serif") && !title.contains("Sans")),
                 qPrintable(title));
        // Each line whole inside the box, none running into the next.
        QRect above;
        for (const QLabel *line : {box.Label1, box.Label2, box.lblURL, box.lblEmail}) {
            QVERIFY(box.rect().contains(line->geometry()));
            QVERIFY(line->width() >= line->sizeHint().width());
            QVERIFY(line->y() > std::exchange(above, line->geometry()).bottom());
        }

        // Links turn hot under the pointer; only the bare surface (no control, no drag) cools them.
        const auto at = [&](const char *name) { // an unknown name: the bare surface
            const auto *w = box.findChild<QWidget *>(name);
            return w ? w->geometry().center() : QPoint(8, box.height() - 8);
        };
        QWindow *window = box.windowHandle();
        for (const char *name : {"lblEmail", "Label2", "Image1", "Label1", "btnOK"})
            QTest::mouseMove(window, at(name));
        QTest::mousePress(window, Qt::LeftButton, {}, at("Image1"));
        QTest::mouseMove(window, at("Label2"));
        QTest::mouseRelease(window, Qt::LeftButton, {}, at("Label2"));
        QCOMPARE(looks(box), "normal hot");
        QTest::mouseMove(window, at("lblURL"));
        QCOMPARE(looks(box), "hot hot");
        QTest::mouseMove(window, at("surface"));
        QCOMPARE(looks(box), "normal normal");

        // The links open in the browser; a click beside them opens nothing.
        for (QLabel *label : {box.lblURL, box.Label2, box.lblEmail})
            QTest::mouseClick(window, Qt::LeftButton, {}, label->geometry().center());
        QCOMPARE(desktop.urls, QList<QUrl>({QUrl("http://www.orvik.example"),
                                            QUrl("mailto:pagloom@orvik.example")}));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!box.isVisible());
    }

    void helpAndAboutFromTheMenu()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        UrlRecorder desktop;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        // A new modal box for each showing, freed when it closes.
        bool freed = false;
        WhenModalShown([&](QWidget *w) {
            connect(qobject_cast<TfrmAbout *>(w), &QObject::destroyed, this, [&] { freed = true; });
            w->close();
        });
        Choose(form, "itmAbout");
        QVERIFY(freed);

        // Help: the start-up directory's copy wherever the panel went, then one beside the program,
        // then the installed one.
        const QString startHelp = env.writeFile("OstraEditor.html", "<p>start</p>");
        const QString besideHelp = QCoreApplication::applicationDirPath() + "/OstraEditor.html";
        const auto removeInstalled = qScopeGuard([&] { QFile::remove(besideHelp); });
        QVERIFY(QFile::copy(startHelp, besideHelp));
        Control<TFileListBox>(form).ApplyFilePath(
            QFileInfo(env.writeFile("moved/OstraEditor.html", "")).path());
        Choose(form, "itmHelpContents");
        QVERIFY(QFile::remove(startHelp));
        Choose(form, "itmHelpContents");
        QVERIFY(QFile::remove(besideHelp));
        Choose(form, "itmHelpContents");
        const QString sharedHelp = QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                   + "/" ORVIK_HELP_RELATIVE_DIR
                                                     "/OstraEditor.html");
        QCOMPARE(desktop.urls,
                 QList<QUrl>({QUrl::fromLocalFile(startHelp), QUrl::fromLocalFile(besideHelp),
                              QUrl::fromLocalFile(sharedHelp)}));
        ANSWERED(dialogs);
    }
};

ORVIK_TEST_MAIN(tst_About)
#include "tst_About.moc"
