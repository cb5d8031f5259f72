// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/TrayIconTypes.h"

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace sarvendo {

class Clock;
class NotificationArea;
class TimerSource;
class TrayOwnerWindow;
class TPGTimerManager;
class TPGTrayIconAnimation;
class TPGTrayIconMsgWindow;

// What a tray icon component works with. Each component needs a notification area and a
// timer of its own; the clock and the owner window may be shared.
struct TrayIconPlatform
{
    NotificationArea& area;
    TimerSource& timer;
    const Clock& clock;
    TrayOwnerWindow& ownerWindow;
};

// A reusable icon in the desktop's notification area, owned by a form (a top-level
// widget). While Active the icon is shown with Icon, DisabledIcon or the animation's
// frames according to State, and the first 63 characters of Hint as its tool tip (none
// when ShowHint is false). The user's clicks, double clicks and pointer movement on the
// icon become the On... events; the right button can open PopupMenu. HideToTray takes
// the application off the taskbar so that only the icon remains, RestoreFromTray brings
// it back in front; both run from the event loop, after the tray host's callback. A
// window is only taken off the taskbar while a tray host is there to bring it back:
// without one HideToTray just minimises it, and when the host goes away while the window
// is in the tray, the window is restored. The component also hooks the application's
// minimise and restore: with toMinimizeToTray in Options, minimising the application
// hides it to the tray while the icon is shown.
class TPGTrayIcon95 : public QObject
{
    Q_OBJECT

public:
    // The largest number of tool-tip characters the notification area receives.
    static constexpr int kMaxToolTipLength = 63;

    // Throws InvalidOperation "TrayIcons must be owned by a Form !" unless owner is a
    // top-level widget.
    TPGTrayIcon95(QObject* owner, const TrayIconPlatform& platform);
    ~TPGTrayIcon95() override;

    // Properties, in the order a form description lists them.
    const QImage& Icon() const { return m_icon; }
    void SetIcon(const QImage& picture);
    const QImage& DisabledIcon() const { return m_disabledIcon; }
    void SetDisabledIcon(const QImage& picture);
    TPGTrayIconAnimation& Animation() { return *m_animation; }
    bool Active() const { return m_active; }
    void SetActive(bool active);
    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool autoPopup) { m_autoPopup = autoPopup; }
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    const NotifyEvent& OnAnimation() const { return m_onAnimation; }
    void SetOnAnimation(NotifyEvent handler) { m_onAnimation = std::move(handler); }
    const NotifyEvent& OnAppMinimize() const { return m_onAppMinimize; }
    void SetOnAppMinimize(NotifyEvent handler) { m_onAppMinimize = std::move(handler); }
    const NotifyEvent& OnAppRestore() const { return m_onAppRestore; }
    void SetOnAppRestore(NotifyEvent handler) { m_onAppRestore = std::move(handler); }
    const NotifyEvent& OnClick() const { return m_onClick; }
    void SetOnClick(NotifyEvent handler) { m_onClick = std::move(handler); }
    const NotifyEvent& OnDblClick() const { return m_onDblClick; }
    void SetOnDblClick(NotifyEvent handler) { m_onDblClick = std::move(handler); }
    // Called after a tray host appeared or went away; HostPresent says which.
    const NotifyEvent& OnHostChanged() const { return m_onHostChanged; }
    void SetOnHostChanged(NotifyEvent handler) { m_onHostChanged = std::move(handler); }
    const MouseMoveEvent& OnMouseMove() const { return m_onMouseMove; }
    void SetOnMouseMove(MouseMoveEvent handler);
    const MouseMoveEvent& OnMouseEnter() const { return m_onMouseEnter; }
    void SetOnMouseEnter(MouseMoveEvent handler);
    const MouseMoveEvent& OnMouseExit() const { return m_onMouseExit; }
    void SetOnMouseExit(MouseMoveEvent handler);
    const TPGTrayIconStateChangingEvent& OnStateChanging() const { return m_onStateChanging; }
    void SetOnStateChanging(TPGTrayIconStateChangingEvent handler) { m_onStateChanging = std::move(handler); }
    TPGTrayIconOptions Options() const { return m_options; }
    void SetOptions(TPGTrayIconOptions options) { m_options = options; }
    // The menu set, else the one the source gives.
    QMenu* PopupMenu() const { return m_popupMenu || !m_popupMenuSource ? m_popupMenu.data() : m_popupMenuSource(); }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; } // forgotten when the menu is destroyed
    // For a menu made only when it is first needed: asked each time the menu is.
    void SetPopupMenuSource(std::function<QMenu*()> source) { m_popupMenuSource = std::move(source); }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool showHint);
    TPGTrayIconState State() const { return m_state; }
    // Throws InvalidOperation when called from inside OnStateChanging.
    void SetState(TPGTrayIconState state);

    virtual void RestoreFromTray();
    virtual void HideToTray();
    // Whether a tray host is there to show the icon.
    bool HostPresent() const;
    // True from the deferred hide that took the window off the taskbar to the restore.
    bool InTray() const { return m_inTray; }
    // Counts nested locks across all tray icons; the first holds back screen updates and
    // the last one released lets them through again.
    virtual void LockScreenUpdate(bool on);
    static int ScreenUpdateLockCount();

    // While a form description is being applied, property changes reach the notification
    // area only when Loaded is called: an icon made active meanwhile is shown then.
    void BeginLoading() { m_loading = true; }
    void Loaded();

    void AddIcon();
    void RemoveIcon();
    void ModifyIcon();
    void UpdateIcon();

    // The picture and tool tip the notification area gets.
    const QImage& DisplayedIcon() const { return m_displayedIcon; }
    const QString& ToolTip() const { return m_toolTip; }

    // The application's minimise and restore handlers as the component installs them;
    // an owner that replaces them may call these from its own.
    void AppMinimizeHook();
    void AppRestoreHook();

    TPGTimerManager& TimerManager() { return *m_timerManager; }
    TPGTrayIconMsgWindow& MsgWindow() { return *m_msgWindow; }

private:
    friend class TPGTrayIconMsgWindow;

    class ScreenUpdateLock;

    enum class ShellMessage
    {
        Add,
        Modify,
        Delete,
    };

    void SendNotify(ShellMessage message);
    void IconChanged();
    void UpdateHoverTracking();
    // Keeps one call to be made from the event loop; a later post replaces it.
    void PostDeferred(std::function<void()> call);
    void RunDeferredCall();
    void DoRestore();
    void DoHide();
    void HostChanged(bool present);

    QImage m_icon;
    QImage m_disabledIcon;
    TPGTrayIconAnimation* m_animation = nullptr; // Qt child
    bool m_active = false;
    bool m_autoPopup = false;
    QString m_hint;
    NotifyEvent m_onAnimation;
    NotifyEvent m_onAppMinimize;
    NotifyEvent m_onAppRestore;
    NotifyEvent m_onClick;
    NotifyEvent m_onDblClick;
    NotifyEvent m_onHostChanged;
    MouseMoveEvent m_onMouseMove;
    MouseMoveEvent m_onMouseEnter;
    MouseMoveEvent m_onMouseExit;
    TPGTrayIconStateChangingEvent m_onStateChanging;
    TPGTrayIconOptions m_options = TPGTrayIconOptions(toMinimizeToTray) | toUnclutterTaskBar;
    QPointer<QMenu> m_popupMenu;
    std::function<QMenu*()> m_popupMenuSource;
    bool m_showHint = true;
    TPGTrayIconState m_state = TPGTrayIconState::tsEnabled;

    QWidget* m_form = nullptr;
    NotificationArea& m_area;
    TrayOwnerWindow& m_ownerWindow;
    QImage m_displayedIcon;
    QString m_toolTip;
    std::function<void()> m_pendingCall;
    bool m_loading = false;
    bool m_inTray = false;
    TPGTrayIconMsgWindow* m_msgWindow = nullptr; // Qt child
    TPGTimerManager* m_timerManager = nullptr;   // Qt child
};

} // namespace sarvendo
