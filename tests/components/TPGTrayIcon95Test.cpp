// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/TPGTrayIcon95.h"

#include "components/InvalidOperation.h"
#include "components/TPGTrayIconAnimation.h"
#include "components/TPGTrayIconMsgWindow.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeNotificationArea.h"
#include "fakes/FakeTimerSource.h"
#include "fakes/FakeTrayOwnerWindow.h"
#include "fakes/TempDir.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace sarvendo {
namespace {

using Msg = TrayMouseMessage;
using Calls = std::vector<std::string>;

QImage Filled(Qt::GlobalColor colour)
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

std::string TextOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const InvalidOperation& error) {
        return error.what();
    }
    return "no InvalidOperation";
}

class TPGTrayIcon95Test : public ::testing::Test
{
protected:
    // Delivers what the component posted to the event loop.
    static void RunPosted() { QCoreApplication::sendPostedEvents(); }

    void CountClicks(bool withDoubleClick)
    {
        tray->SetOnClick([this](QObject&) { ++clicks; });
        if (withDoubleClick) {
            tray->SetOnDblClick([this](QObject&) { ++doubleClicks; });
        }
    }

    fakes::FakeClock clock;
    fakes::FakeTimerSource timer{clock};
    fakes::FakeNotificationArea area;
    fakes::FakeTrayOwnerWindow owner;
    QWidget form;
    TPGTrayIcon95* tray = new TPGTrayIcon95(&form, {area, timer, clock, owner}); // owned by the form
    int clicks = 0;
    int doubleClicks = 0;
};

// ---- Construction and properties ----

TEST_F(TPGTrayIcon95Test, OwnerMustBeAForm)
{
    QObject plain;
    QWidget child(&form);
    for (QObject* candidate : {static_cast<QObject*>(nullptr), &plain, static_cast<QObject*>(&child)}) {
        EXPECT_EQ(TextOf([&] {
                      TPGTrayIcon95 icon(candidate, {area, timer, clock, owner});
                  }),
                  "TrayIcons must be owned by a Form !");
    }
}

TEST_F(TPGTrayIcon95Test, StartsHiddenWithItsDefaults)
{
    EXPECT_FALSE(tray->Active());
    EXPECT_FALSE(tray->AutoPopup());
    EXPECT_TRUE(tray->ShowHint());
    EXPECT_EQ(tray->State(), TPGTrayIconState::tsEnabled);
    EXPECT_EQ(tray->Options(), TPGTrayIconOptions(toMinimizeToTray) | toUnclutterTaskBar);
    EXPECT_EQ(tray->Animation().Interval(), 1000);
    EXPECT_EQ(tray->Animation().Options(), TPGTrayIconAnimationOptions::aoIconsAreFiles);
    EXPECT_TRUE(area.calls.empty());
    EXPECT_FALSE(timer.IsActive());
}

TEST_F(TPGTrayIcon95Test, ToolTipIsTheFirstSixtyThreeCharactersOfTheHint)
{
    QString hundred;
    for (int i = 0; i < 100; ++i) {
        hundred += QChar(u'a' + i % 26);
    }
    tray->SetActive(true);
    struct Case
    {
        QString hint;
        bool showHint;
        QString tip;
    };
    for (const Case& c : {Case{hundred, true, hundred.left(63)}, Case{hundred, false, QString()},
                          Case{QStringLiteral("short"), true, QStringLiteral("short")},
                          Case{QString(62, u'x') + QChar(0xD83D) + QChar(0xDE00), true, QString(62, u'x')}}) {
        tray->SetShowHint(c.showHint);
        tray->SetHint(c.hint);
        EXPECT_EQ(area.toolTip, c.tip);
        EXPECT_EQ(tray->Hint(), c.hint);
    }
}

TEST_F(TPGTrayIcon95Test, ActiveAddsAndRemovesTheIconOnce)
{
    tray->SetActive(true);
    tray->SetActive(true);
    tray->SetActive(false);
    tray->SetActive(false);
    EXPECT_EQ(area.calls, (Calls{"Add", "Delete"}));
}

TEST_F(TPGTrayIcon95Test, StateChoosesThePictureShown)
{
    tray->SetIcon(Filled(Qt::red));
    tray->SetDisabledIcon(Filled(Qt::blue));
    tray->SetActive(true);
    EXPECT_EQ(area.picture, Filled(Qt::red));
    tray->SetState(TPGTrayIconState::tsDisabled);
    EXPECT_EQ(area.picture, Filled(Qt::blue));
    tray->SetIcon(Filled(Qt::green)); // not shown while disabled
    EXPECT_EQ(area.picture, Filled(Qt::blue));
    tray->SetState(TPGTrayIconState::tsEnabled);
    EXPECT_EQ(area.picture, Filled(Qt::green));
}

TEST_F(TPGTrayIcon95Test, LoadingShowsTheIconOnlyWhenLoaded)
{
    tray->BeginLoading();
    tray->SetActive(true);
    tray->SetHint(QStringLiteral("loaded"));
    EXPECT_TRUE(area.calls.empty());
    tray->Loaded();
    EXPECT_EQ(area.calls, (Calls{"Add"}));
    EXPECT_EQ(area.toolTip, QStringLiteral("loaded"));
}

// ---- State changes ----

TEST_F(TPGTrayIcon95Test, StateCannotBeSetFromItsOwnChangingEvent)
{
    tray->SetActive(true);
    tray->SetOnStateChanging([this](QObject&, TPGTrayIconState&) { tray->SetState(TPGTrayIconState::tsEnabled); });
    EXPECT_EQ(TextOf([this] { tray->SetState(TPGTrayIconState::tsDisabled); }),
              "You cannot modify the state property in the OnStateChanging event !!!");
    EXPECT_EQ(tray->State(), TPGTrayIconState::tsEnabled);

    // The guard is cleared, so a well-behaved handler works afterwards.
    tray->SetOnStateChanging([](QObject&, TPGTrayIconState& state) { state = TPGTrayIconState::tsDisabled; });
    tray->SetState(TPGTrayIconState::tsAnimated);
    EXPECT_EQ(tray->State(), TPGTrayIconState::tsDisabled);
    EXPECT_FALSE(timer.IsActive());
}

TEST_F(TPGTrayIcon95Test, ChangingEventIsNotAskedWhileInactive)
{
    int asked = 0;
    tray->SetOnStateChanging([&](QObject&, TPGTrayIconState&) { ++asked; });
    tray->SetState(TPGTrayIconState::tsDisabled);
    EXPECT_EQ(tray->State(), TPGTrayIconState::tsDisabled);
    EXPECT_EQ(asked, 0);
}

// ---- Animation ----

class TrayAnimationTest : public TPGTrayIcon95Test
{
protected:
    TrayAnimationTest()
    {
        tray->Animation().SetOptions(TPGTrayIconAnimationOptions::aoIconsInExe);
        tray->Animation().SetIcons({QStringLiteral("modem1"), QStringLiteral("Modem2"), QStringLiteral("MODEM3")});
        tray->Animation().SetInterval(600); // a whole number of the shared timer's 150-ms ticks
    }
    static QImage Frame(const char* name) { return LoadResourceImage(name).value(); }
};

TEST_F(TrayAnimationTest, AnimatedStateSetWhileInactiveStartsFromFrameZeroOnActivation)
{
    tray->SetState(TPGTrayIconState::tsAnimated);
    EXPECT_TRUE(area.calls.empty());
    EXPECT_FALSE(timer.IsActive());

    int announced = 0;
    tray->SetOnAnimation([&](QObject&) { ++announced; });
    tray->SetActive(true);
    EXPECT_EQ(area.picture, Frame("MODEM1"));
    EXPECT_EQ(announced, 1);
    for (const char* next : {"MODEM2", "MODEM3", "MODEM1"}) {
        timer.Advance(600);
        EXPECT_EQ(area.picture, Frame(next));
    }
    EXPECT_EQ(announced, 4);

    tray->SetActive(false); // stops; the next activation starts over at frame 0
    timer.Advance(5000);
    EXPECT_EQ(announced, 4);
    tray->SetActive(true);
    EXPECT_EQ(area.picture, Frame("MODEM1"));
    timer.Advance(600);
    EXPECT_EQ(area.picture, Frame("MODEM2"));
}

TEST_F(TrayAnimationTest, OneFrameAnimationShowsFrameZeroAtEveryTick)
{
    tray->Animation().SetIcons({QStringLiteral("MODEM4")});
    tray->SetActive(true);
    tray->SetState(TPGTrayIconState::tsAnimated);
    for (int tick = 0; tick < 3; ++tick) {
        timer.Advance(600);
        EXPECT_EQ(area.picture, Frame("MODEM4"));
        EXPECT_EQ(tray->Animation().FrameIndex(), 0);
    }
}

TEST_F(TrayAnimationTest, LeavingTheAnimatedStateStopsIt)
{
    tray->SetIcon(Filled(Qt::red));
    tray->SetActive(true);
    tray->SetState(TPGTrayIconState::tsAnimated);
    tray->SetState(TPGTrayIconState::tsEnabled);
    const std::size_t calls = area.calls.size();
    timer.Advance(3000);
    EXPECT_EQ(area.calls.size(), calls);
    EXPECT_EQ(area.picture, Filled(Qt::red));
}

TEST_F(TrayAnimationTest, UnreadableFramesAreSkippedAndTheIconStays)
{
    fakes::TempDir dir;
    Filled(Qt::red).save(QString::fromStdString(dir.File("a.png")));
    Filled(Qt::blue).save(QString::fromStdString(dir.File("b.png")));
    fakes::TempDir::Write(dir.File("broken.png"), "not a picture");
    tray->Animation().SetOptions(TPGTrayIconAnimationOptions::aoIconsAreFiles);
    tray->Animation().SetIcons({QString::fromStdString(dir.File("a.png")), QString::fromStdString(dir.File("gone")),
                                QString::fromStdString(dir.File("broken.png")),
                                QString::fromStdString(dir.File("b.png"))});
    tray->SetState(TPGTrayIconState::tsAnimated);
    tray->SetActive(true);
    EXPECT_EQ(area.picture, Filled(Qt::red));
    for (const Qt::GlobalColor colour : {Qt::red, Qt::red, Qt::blue, Qt::red}) {
        timer.Advance(600);
        EXPECT_EQ(area.picture, Filled(colour));
    }
}

// ---- Clicks ----

TEST_F(TPGTrayIcon95Test, WithoutDoubleClickHandlerEachPressClicksFromTheEventLoop)
{
    CountClicks(false);
    area.Press(Msg::LeftButtonDown);
    EXPECT_EQ(clicks, 0);
    RunPosted();
    EXPECT_EQ(clicks, 1);
    area.Press(Msg::LeftButtonDoubleClick);
    area.Press(Msg::LeftButtonDown);
    area.Press(Msg::MiddleButtonDown);
    RunPosted();
    EXPECT_EQ(clicks, 2); // the two presses share the one pending call
    area.Press(Msg::LeftButtonDown);
    RunPosted();
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(tray->MsgWindow().LastButton(), 0);
}

TEST_F(TPGTrayIcon95Test, WithDoubleClickHandlerSingleClickWaitsForTheDelay)
{
    CountClicks(true);
    area.Press(Msg::LeftButtonDown);
    timer.Advance(399);
    RunPosted();
    EXPECT_EQ(clicks, 0);
    timer.Advance(151); // the delay ends at the shared timer's next tick
    EXPECT_EQ(clicks, 1);
    timer.Advance(2000);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 0);
}

TEST_F(TPGTrayIcon95Test, DoubleClickFiresOnlyTheDoubleClick)
{
    CountClicks(true);
    area.Press(Msg::LeftButtonDown);
    timer.Advance(200);
    area.Press(Msg::LeftButtonDoubleClick);
    EXPECT_EQ(doubleClicks, 1);
    timer.Advance(2000);
    RunPosted();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(TPGTrayIcon95Test, RightButtonOpensThePopupMenuInsteadOfClicking)
{
    struct Case
    {
        bool autoPopup;
        bool menu;
        bool opens;
    };
    for (const Case& c : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
        QMenu menu;
        menu.addAction(QStringLiteral("Restore"));
        clicks = 0;
        CountClicks(true);
        tray->SetAutoPopup(c.autoPopup);
        tray->SetPopupMenu(c.menu ? &menu : nullptr);
        area.Press(Msg::RightButtonDown);
        EXPECT_EQ(menu.isVisible(), c.opens);
        timer.Advance(1000);
        RunPosted();
        EXPECT_EQ(clicks, c.opens ? 0 : 1);
        EXPECT_EQ(doubleClicks, 0);
        menu.hide();
    }
}

TEST_F(TPGTrayIcon95Test, DestroyedPopupMenuIsForgotten)
{
    auto menu = std::make_unique<QMenu>();
    tray->SetAutoPopup(true);
    tray->SetPopupMenu(menu.get());
    menu.reset();
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    CountClicks(false);
    area.Press(Msg::RightButtonDown);
    RunPosted();
    EXPECT_EQ(clicks, 1);
}

TEST_F(TPGTrayIcon95Test, ClickHandlerMayCloseTheForm)
{
    tray->SetOnDblClick([](QObject&) {});
    tray->SetOnClick([this](QObject&) { delete tray; });
    area.Press(Msg::LeftButtonDown);
    timer.Advance(1000);
    EXPECT_TRUE(form.children().isEmpty());
    area.Press(Msg::LeftButtonDown); // the icon's host outlives it: nothing listens any more
}

// ---- Deferred calls, hiding and restoring ----

TEST_F(TPGTrayIcon95Test, OnlyTheLastOfTwoDeferredCallsRuns)
{
    tray->RestoreFromTray();
    tray->HideToTray();
    RunPosted();
    EXPECT_EQ(owner.calls, (Calls{"Lock", "MinimizeApplication", "HideApplicationWindow", "Unlock"}));
    EXPECT_FALSE(owner.onTaskbar);
}

TEST_F(TPGTrayIcon95Test, FailingDeferredCallIsSwallowed)
{
    tray->SetOnClick([](QObject&) { throw std::runtime_error("handler failed"); });
    area.Press(Msg::LeftButtonDown);
    EXPECT_NO_THROW(RunPosted());
    tray->HideToTray();
    RunPosted();
    EXPECT_FALSE(owner.onTaskbar);
}

TEST_F(TPGTrayIcon95Test, RestoreBringsAHiddenMinimisedApplicationBack)
{
    owner.minimized = true, owner.visible = false, owner.onTaskbar = false;
    tray->RestoreFromTray();
    EXPECT_TRUE(owner.calls.empty());
    RunPosted();
    EXPECT_EQ(owner.calls, (Calls{"Lock", "RestoreApplication", "ShowMainForm", "ShowApplicationWindow",
                                  "BringToForeground", "Unlock"}));
    EXPECT_EQ(TPGTrayIcon95::ScreenUpdateLockCount(), 0);
}

TEST_F(TPGTrayIcon95Test, ApplicationHooksHideAndRestoreOnlyWhileShown)
{
    struct Case
    {
        bool active;
        TPGTrayIconOptions options;
        bool hides;
    };
    for (const Case& c : {Case{true, toMinimizeToTray, true}, Case{true, toUnclutterTaskBar, false},
                          Case{false, toMinimizeToTray, false}}) {
        owner.calls.clear(), owner.onTaskbar = true;
        int minimized = 0;
        int restored = 0;
        tray->SetOnAppMinimize([&](QObject&) { ++minimized; });
        tray->SetOnAppRestore([&](QObject&) { ++restored; });
        tray->SetActive(c.active);
        tray->SetOptions(c.options);
        owner.minimizeHook();
        RunPosted();
        EXPECT_EQ(owner.onTaskbar, !c.hides);
        owner.restoreHook();
        RunPosted();
        EXPECT_TRUE(owner.onTaskbar);
        EXPECT_EQ(minimized, 1);
        EXPECT_EQ(restored, 1);
        EXPECT_EQ(owner.calls.empty(), !c.active);
    }
}

TEST_F(TPGTrayIcon95Test, OnlyATrayHostTakesTheWindowOffTheTaskbarAndItsEndBringsItBack)
{
    int changes = 0;
    tray->SetOnHostChanged([&](QObject&) { ++changes; });
    area.hostPresent = false;
    tray->HideToTray();
    RunPosted();
    EXPECT_EQ(owner.calls, (Calls{"Lock", "MinimizeApplication", "Unlock"}));
    EXPECT_TRUE(owner.onTaskbar);

    area.SetHost(true);
    tray->HideToTray();
    RunPosted();
    EXPECT_FALSE(owner.onTaskbar);
    EXPECT_TRUE(tray->InTray());

    owner.visible = false;
    area.SetHost(false);
    RunPosted();
    EXPECT_TRUE(owner.onTaskbar);
    EXPECT_TRUE(owner.visible);
    EXPECT_FALSE(tray->InTray());
    EXPECT_EQ(changes, 2);
}

TEST_F(TPGTrayIcon95Test, ScreenUpdateLockIsCountedAcrossAllTrayIcons)
{
    QWidget otherForm;
    fakes::FakeTimerSource otherTimer{clock};
    fakes::FakeNotificationArea otherArea;
    TPGTrayIcon95 other(&otherForm, {otherArea, otherTimer, clock, owner});
    tray->LockScreenUpdate(true);
    other.LockScreenUpdate(true);
    EXPECT_EQ(TPGTrayIcon95::ScreenUpdateLockCount(), 2);
    tray->LockScreenUpdate(false);
    EXPECT_EQ(owner.calls, (Calls{"Lock"}));
    other.LockScreenUpdate(false);
    EXPECT_EQ(owner.calls, (Calls{"Lock", "Unlock"}));
    EXPECT_EQ(TPGTrayIcon95::ScreenUpdateLockCount(), 0);
}

// ---- Pointer movement ----

class TrayPointerTest : public TPGTrayIcon95Test
{
protected:
    TrayPointerTest()
    {
        tray->SetOnMouseEnter([this](QObject&, ShiftState, int x, int y) { events.push_back(Event{'E', x, y}); });
        tray->SetOnMouseMove([this](QObject&, ShiftState, int x, int y) { events.push_back(Event{'M', x, y}); });
        tray->SetOnMouseExit([this](QObject&, ShiftState, int x, int y) { events.push_back(Event{'X', x, y}); });
    }
    struct Event
    {
        char kind;
        int x, y;
        friend bool operator==(const Event&, const Event&) = default;
    };
    std::vector<Event> events;
};

TEST_F(TrayPointerTest, FirstMoveEntersLaterMovesAreReported)
{
    EXPECT_TRUE(area.hoverTracking);
    area.MoveTo({100, 200});
    area.MoveTo({101, 201});
    EXPECT_EQ(events, (std::vector<Event>{{'E', 100, 200}, {'M', 101, 201}}));
    EXPECT_TRUE(tray->MsgWindow().Inside());
}

TEST_F(TrayPointerTest, ExitPollAllowsTwoPixelsSidewaysAndUnderThreeUpOrDown)
{
    struct Case
    {
        int dx, dy;
        bool exits;
    };
    for (const Case& c : {Case{2, 2, false}, Case{-2, -2, false}, Case{3, 0, true}, Case{0, 3, true}, Case{0, -3, true},
                          Case{-3, 2, true}}) {
        events.clear();
        area.MoveTo({100, 200});
        area.cursor = QPoint(100 + c.dx, 200 + c.dy);
        timer.Advance(70);
        EXPECT_EQ(!tray->MsgWindow().Inside(), c.exits) << c.dx << "," << c.dy;
        if (c.exits) {
            EXPECT_EQ(events.back(), (Event{'X', 100, 200})); // where the cursor was last seen on the icon
        }
        area.cursor = {500, 500};
        timer.Advance(70); // leave for the next case
    }
}

TEST_F(TrayPointerTest, MovesAreQuietWhileAClickWaitsForItsDoubleClick)
{
    CountClicks(true);
    area.MoveTo({100, 200});
    area.Send(Msg::LeftButtonDown);
    area.MoveTo({101, 200});
    EXPECT_EQ(events, (std::vector<Event>{{'E', 100, 200}}));
    timer.Advance(450);
    area.MoveTo({102, 200});
    EXPECT_EQ(events.back(), (Event{'M', 102, 200}));
}

TEST_F(TPGTrayIcon95Test, WithoutEnterOrExitHandlersTheFirstMoveIsAMove)
{
    EXPECT_FALSE(area.hoverTracking);
    int moves = 0;
    tray->SetOnMouseMove([&](QObject&, ShiftState, int, int) { ++moves; });
    area.MoveTo({10, 10});
    EXPECT_EQ(moves, 1);
    EXPECT_FALSE(timer.IsActive()); // no exit poll without an exit handler
}

} // namespace
} // namespace sarvendo
