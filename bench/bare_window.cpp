// The floor of the start-up benchmark: a bare main window, shown, ending when idle.
#include <QApplication>
#include <QMainWindow>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(814, 575);
    window.showMaximized();
    QTimer::singleShot(0, &app, [] {
        std::printf("idle %lld\n", static_cast<long long>(QDeadlineTimer::current().deadlineNSecs()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
