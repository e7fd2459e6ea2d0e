// The floors of the start-up benchmark: a main window, shown, ending when idle. With "--text" the
// window also shows a menu bar, so it pays for starting the font system as every window with
// text does; with "--editor" it shows a menu bar and a QScintilla editor holding a short page,
// the least a window that edits text needs.
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    const char *mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "--text") == 0 || std::strcmp(mode, "--editor") == 0)
        window.menuBar()->addMenu(QStringLiteral("&File"));
    if (std::strcmp(mode, "--editor") == 0) {
        auto *editor = new QsciScintilla(&window);
        editor->setText(QStringLiteral("<html>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n"));
        window.setCentralWidget(editor);
    }
    window.resize(814, 575);
    window.showMaximized();
    QTimer::singleShot(0, &app, [] {
        std::printf("idle %lld\n",
                    static_cast<long long>(QDeadlineTimer::current().deadlineNSecs()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
