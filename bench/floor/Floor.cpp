// A bare Qt Widgets window woken 18 times a second doing nothing: the least a lamp window
// polled at Sarvendo's rate can cost. bench/weight runs it beside Sarvendo.
// It says "event loop running" on stderr as Sarvendo does under SARVENDO_AUTO_ANSWER, so
// that its start-up is timed the same way.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.resize(160, 40);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [] {});
    // 1000 / 18 rounded, as the poll timer has it.
    timer.start(56);
    QTimer::singleShot(0, &application, [] {
        std::fputs("Floor: event loop running\n", stderr);
        std::fflush(stderr);
    });
    return QApplication::exec();
}
