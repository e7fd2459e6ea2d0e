// The floors of the start-up benchmark: a bare main window, shown, ending when idle. With
// "--text" the window also shows one menu caption, so it pays for starting the font system
// as every window with text does.
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
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        window.menuBar()->addMenu(QStringLiteral("&File"));
    window.resize(814, 575);
    window.showMaximized();
    QTimer::singleShot(0, &app, [] {
        std::printf("idle %lld\n", static_cast<long long>(QDeadlineTimer::current().deadlineNSecs()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
