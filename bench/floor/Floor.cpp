// A bare Qt Widgets window woken 18 times a second doing nothing, by an ordinary QTimer
// and its timeout signal: what a lamp window polled at Sarvendo's rate costs before any
// work of its own. bench/weight runs it beside Sarvendo. (Sarvendo runs its tick from the
// timer's event instead, which saves Qt's signal path; a floor built that way rests on
// about 4 % less.)
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
