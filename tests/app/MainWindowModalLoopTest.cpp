// The main window inside real modal loops: a request to end while one of its boxes is
// open, and the help and the boxes opened from the setup dialog.
#include "MainWindowFixture.h"

#include "app/THelpWindow.h"
#include "app/TerminationSignals.h"
#include "platform/StatusDriverDevice.h"
#include "setup/TSetupDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace sarvendo {
namespace {

using MainWindowModalLoopTest = FullStartFixture;

// Counts the mouse presses that reach a widget while it lives.
class PressCounter final : public QObject
{
public:
    PressCounter(QObject* watched, int& presses) : m_presses(presses) { watched->installEventFilter(this); }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            ++m_presses;
        }
        return false;
    }

private:
    int& m_presses;
};

// A request to end from outside while one of the program's real boxes is open: the
// signal arrives in the box's own event loop, as it does in the running program. Should
// the box still be open a while after the signal, it is answered, so that a fault fails
// the test instead of hanging it.
class SignalInsideABox
{
public:
    SignalInsideABox()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            if (shownText.isEmpty()) {
                shownText = box->text();
                m_sent.start();
                ::kill(::getpid(), SIGTERM);
            } else if (m_sent.elapsed() > 5000) {
                stillOpenAfterSignal = true;
                box->buttons().front()->click();
            }
        });
        m_poll.start(5);
        QObject::connect(&m_signals, &TerminationSignals::Received, [this](int /*number*/) {
            if (m_window != nullptr) {
                m_window->CloseWithoutQuery();
            }
        });
        m_signals.Listen();
    }

    void For(TMainWindow& window)
    {
        m_window = &window;
        // As the program does: the end of the application ends every event loop, the
        // open box's too.
        QObject::connect(&window, &TMainWindow::ApplicationEndRequested, [] { QCoreApplication::exit(0); });
    }

    // The application's end holds for every later event loop; a loop of its own, ended at
    // once, clears it for the tests that follow.
    ~SignalInsideABox()
    {
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }

    QString shownText;
    bool stillOpenAfterSignal = false;

private:
    TerminationSignals m_signals;
    QTimer m_poll;
    QElapsedTimer m_sent;
    TMainWindow* m_window = nullptr;
};

TEST_F(MainWindowModalLoopTest, AnEndInsideATicksBoxEndsThatTickBeforeItHangsUp)
{
    // Polled by hand only, so no tick runs inside the box.
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nLog RI=1\r\n"
             "Timer Interval=0\r\nDisconnect if Inactive=1\r\nDisconnect time if Inactive=0\r\n"
             "Disconnect time if Inactive, Seconds=1\r\n");
    windowBoxes = &realBoxes;
    realBoxes.SetOwner(&Window());
    ASSERT_EQ(Start(), TMainWindow::StartOutcome::Running);
    logFiles.failing = {directories.LogDirectory() + "/Sarvendo.RI"};
    line.modemLines.SetLines(1, 0x03, 0x00);
    line.statusDriver.Answer(kReadLineStatus, 0xC0); // a call rings on a connected line
    Window().TimerTimer();
    ASSERT_EQ(settings.LampCD, 1);
    // The call is over and the connection idle beyond its limit: the next tick logs the
    // call, whose box says the log cannot be written, and would then hang up.
    clock.Advance(20'000);
    line.statusDriver.Answer(kReadLineStatus, 0x80);
    const int writesBefore = line.modemLines.Writes();
    clock.StepOnEveryRead(100); // a hang-up waits a second by the clock

    SignalInsideABox end;
    end.For(Window());
    Window().TimerTimer();

    EXPECT_TRUE(end.shownText.contains(QStringLiteral("could not be written"))) << end.shownText.toStdString();
    EXPECT_FALSE(end.stillOpenAfterSignal);
    EXPECT_EQ(settings.ClosedDown, 1);
    EXPECT_EQ(Count("ReleaseStatusDriver"), 1);
    // The line the close routine let go of is left alone.
    EXPECT_EQ(line.modemLines.Writes(), writesBefore);
}

TEST_F(MainWindowModalLoopTest, AnEndInsideARealStartUpBoxEndsStartUpAndWritesNothing)
{
    struct Case
    {
        const char* why;
        const char* ini;
        std::vector<std::string> arguments;
        TMainWindow::StartOutcome outcome;
        const char* boxStart;
    };
    const Case cases[] = {
        {"the welcome", "", {}, TMainWindow::StartOutcome::Ended, "WELCOME to Sarvendo"},
        {"the refused port",
         "[Sarvendo: Main]\r\nDefault Port=3\r\n",
         {"-AUTOCHECK"},
         TMainWindow::StartOutcome::Refused,
         "Port not available!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        settings = Settings{};
        window.reset();
        SetOpenable({1, 2});
        WriteIni(c.ini);
        windowBoxes = &realBoxes;
        realBoxes.SetOwner(&Window());
        SignalInsideABox end;
        end.For(Window());
        EXPECT_EQ(Start(c.arguments), c.outcome);
        EXPECT_TRUE(end.shownText.startsWith(QString::fromLatin1(c.boxStart))) << end.shownText.toStdString();
        EXPECT_FALSE(end.stillOpenAfterSignal);
        EXPECT_FALSE(Window().isVisible());
        EXPECT_FALSE(Window().Timer()->isActive());
        EXPECT_EQ(ReadIni(), c.ini);
    }
}

TEST_F(MainWindowModalLoopTest, HelpFromTheSetupDialogIsAWindowAboveItThatTakesInput)
{
    Start({"1"});
    TSetupDlg& setup = *Window().SetupDialog();
    struct Opened
    {
        const char* button;
        int context;
        int pressesTaken = 0;
        bool aboveTheDialog = false;
    };
    std::vector<Opened> opened{{"BitBtn8", 5}, {"BitBtn2", 2}, {"BitBtn3", 1}};
    QTimer::singleShot(0, &setup, [&] {
        for (Opened& o : opened) {
            setup.findChild<QPushButton*>(QString::fromLatin1(o.button))->click();
            THelpWindow& help = *Window().HelpWindow();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
            EXPECT_EQ(help.CurrentContext(), o.context);
            o.aboveTheDialog = help.windowHandle()->transientParent() == setup.windowHandle();
            // A click goes the way the window system's would, where a modal dialog
            // blocks the windows that are not its own.
            int presses = 0;
            PressCounter counter(help.viewport(), presses);
            QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
            o.pressesTaken = presses;
        }
        setup.accept();
    });
    Window().ShowSetupDialog();
    for (const Opened& o : opened) {
        EXPECT_EQ(o.pressesTaken, 1) << o.button;
        EXPECT_TRUE(o.aboveTheDialog) << o.button;
    }
    // Once the dialog is closed the help stays open, the main window's again.
    const THelpWindow& help = *Window().HelpWindow();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.parentWidget(), &Window());
}

TEST_F(MainWindowModalLoopTest, BoxesOfTheSetupDialogAreItsOwnAndShownOverIt)
{
    windowBoxes = &realBoxes;
    realBoxes.SetOwner(&Window());
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n");
    Start();
    Window().move(0, 0); // the dialog is centred on the screen, far from the window
    TSetupDlg& setup = *Window().SetupDialog();
    QWidget* owner = nullptr;
    QPoint offset;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            owner = box->parentWidget();
            offset = box->frameGeometry().center() - setup.frameGeometry().center();
            box->buttons().front()->click();
        }
    });
    answer.start(5);
    QTimer::singleShot(0, &setup, [&] {
        setup.findChild<QPushButton*>(QStringLiteral("ButtonDeleteLogRI"))->click(); // no log yet: a box says so
        setup.accept();
    });
    Window().ShowSetupDialog();
    EXPECT_EQ(owner, &setup);
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
}

} // namespace
} // namespace sarvendo
