// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPGTrayIcon95.h"

#include "components/InvalidOperation.h"
#include "components/TPGTimerManager.h"
#include "components/TPGTrayIconAnimation.h"
#include "components/TPGTrayIconMsgWindow.h"
#include "platform/NotificationArea.h"
#include "platform/TrayOwnerWindow.h"

#include <QWidget>

namespace sarvendo {

namespace {

// Shared by every tray icon of the program, like the screen they protect.
int g_screenUpdateLockCount = 0;
// Set while an OnStateChanging handler runs, in any tray icon.
bool g_stateChanging = false;

QWidget* FormOf(QObject* owner)
{
    auto* widget = qobject_cast<QWidget*>(owner);
    if (widget == nullptr || !widget->isWindow()) {
        throw InvalidOperation("TrayIcons must be owned by a Form !");
    }
    return widget;
}

// The first characters of text that fit the tool tip, never ending in half a character.
QString ToolTipOf(const QString& text)
{
    if (text.size() <= TPGTrayIcon95::kMaxToolTipLength) {
        return text;
    }
    qsizetype length = TPGTrayIcon95::kMaxToolTipLength;
    if (text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.left(length);
}

} // namespace

TPGTrayIcon95::TPGTrayIcon95(QObject* owner, const TrayIconPlatform& platform)
    : QObject(owner), m_form(FormOf(owner)), m_area(platform.area), m_ownerWindow(platform.ownerWindow)
{
    m_timerManager = new TPGTimerManager(platform.timer, platform.clock, this);
    m_timerManager->SetEnabled(true);
    m_msgWindow = new TPGTrayIconMsgWindow(*this);
    m_animation = new TPGTrayIconAnimation(*this);

    m_area.SetMessageHandler([this](TrayMouseMessage message) { m_msgWindow->HandleMouse(message); });
    m_area.SetHostHandler([this](bool present) { HostChanged(present); });

    // The owner window outlives nothing in particular; its hooks must not call into a
    // component that is already gone.
    const QPointer<TPGTrayIcon95> self(this);
    m_ownerWindow.SetApplicationHooks(
        [self] {
            if (self != nullptr) {
                self->AppMinimizeHook();
            }
        },
        [self] {
            if (self != nullptr) {
                self->AppRestoreHook();
            }
        });
}

TPGTrayIcon95::~TPGTrayIcon95()
{
    m_timerManager->SetEnabled(false);
    RemoveIcon();
    m_area.SetMessageHandler(nullptr);
    m_area.SetHostHandler(nullptr);
    // The timer manager, created first, is destroyed first among the children and stops
    // the shared timer before the message window and the animation go.
}

void TPGTrayIcon95::SetIcon(const QImage& picture)
{
    m_icon = picture.copy();
    IconChanged();
}

void TPGTrayIcon95::SetDisabledIcon(const QImage& picture)
{
    m_disabledIcon = picture.copy();
    IconChanged();
}

void TPGTrayIcon95::SetActive(bool active)
{
    if (active) {
        AddIcon();
    } else {
        RemoveIcon();
    }
}

void TPGTrayIcon95::SetHint(const QString& hint)
{
    if (hint == m_hint) {
        return;
    }
    m_hint = hint;
    if (m_showHint) {
        SetShowHint(true);
    }
}

void TPGTrayIcon95::SetOnMouseMove(MouseMoveEvent handler)
{
    m_onMouseMove = std::move(handler);
    UpdateHoverTracking();
}

void TPGTrayIcon95::SetOnMouseEnter(MouseMoveEvent handler)
{
    m_onMouseEnter = std::move(handler);
    UpdateHoverTracking();
}

void TPGTrayIcon95::SetOnMouseExit(MouseMoveEvent handler)
{
    m_onMouseExit = std::move(handler);
    UpdateHoverTracking();
}

void TPGTrayIcon95::SetShowHint(bool showHint)
{
    m_showHint = showHint;
    m_toolTip = showHint ? ToolTipOf(m_hint) : QString();
    if (m_active) {
        ModifyIcon();
    }
}

void TPGTrayIcon95::SetState(TPGTrayIconState state)
{
    if (g_stateChanging) {
        g_stateChanging = false;
        throw InvalidOperation("You cannot modify the state property in the OnStateChanging event !!!");
    }
    if (!m_active || m_loading) {
        m_state = state;
        return;
    }
    if (state == m_state) {
        return;
    }
    if (m_onStateChanging) {
        g_stateChanging = true;
        try {
            const TPGTrayIconStateChangingEvent handler = m_onStateChanging;
            handler(*this, state);
        } catch (...) {
            // Whatever the handler threw, later state changes must still be possible.
            g_stateChanging = false;
            throw;
        }
        g_stateChanging = false;
    }
    if (state == m_state) {
        return;
    }
    if (m_state == TPGTrayIconState::tsAnimated) {
        m_animation->Stop();
    }
    m_state = state;
    UpdateIcon();
    if (state == TPGTrayIconState::tsAnimated) {
        m_animation->Start();
    }
}

void TPGTrayIcon95::RestoreFromTray()
{
    PostDeferred([this] { DoRestore(); });
}

void TPGTrayIcon95::HideToTray()
{
    PostDeferred([this] { DoHide(); });
}

bool TPGTrayIcon95::HostPresent() const
{
    return m_area.HostPresent();
}

void TPGTrayIcon95::HostChanged(bool present)
{
    // Without a host nothing could bring a window in the tray back: it comes back now.
    if (!present && m_inTray) {
        RestoreFromTray();
    }
    if (m_onHostChanged) {
        const NotifyEvent handler = m_onHostChanged;
        handler(*this);
    }
}

void TPGTrayIcon95::LockScreenUpdate(bool on)
{
    g_screenUpdateLockCount += on ? 1 : -1;
    // Only the step up to 1 locks: the way down from 2 finds the lock already held.
    if (on && g_screenUpdateLockCount == 1) {
        m_ownerWindow.LockScreenUpdates(true);
    } else if (g_screenUpdateLockCount == 0) {
        m_ownerWindow.LockScreenUpdates(false);
    }
}

int TPGTrayIcon95::ScreenUpdateLockCount()
{
    return g_screenUpdateLockCount;
}

void TPGTrayIcon95::Loaded()
{
    m_loading = false;
    if (m_active) {
        m_active = false;
        AddIcon();
    }
}

void TPGTrayIcon95::AddIcon()
{
    if (m_active) {
        return;
    }
    UpdateIcon();
    m_active = true;
    SendNotify(ShellMessage::Add);
    if (m_state == TPGTrayIconState::tsAnimated) {
        m_animation->Start();
    }
}

void TPGTrayIcon95::RemoveIcon()
{
    if (!m_active) {
        return;
    }
    m_active = false;
    if (m_state == TPGTrayIconState::tsAnimated) {
        m_animation->Stop();
    }
    SendNotify(ShellMessage::Delete);
}

void TPGTrayIcon95::ModifyIcon()
{
    SendNotify(ShellMessage::Modify);
}

void TPGTrayIcon95::UpdateIcon()
{
    switch (m_state) {
    case TPGTrayIconState::tsEnabled:
        m_displayedIcon = m_icon.copy();
        break;
    case TPGTrayIconState::tsDisabled:
        m_displayedIcon = m_disabledIcon.copy();
        break;
    case TPGTrayIconState::tsAnimated:
        if (std::optional<QImage> frame = m_animation->LoadFrame(m_animation->FrameIndex())) {
            m_displayedIcon = std::move(*frame);
        }
        break;
    }
    if (m_active) {
        ModifyIcon();
    }
}

void TPGTrayIcon95::AppMinimizeHook()
{
    if (m_active && m_options.testFlag(toMinimizeToTray)) {
        HideToTray();
    }
    if (m_onAppMinimize) {
        const NotifyEvent handler = m_onAppMinimize;
        handler(*this);
    }
}

void TPGTrayIcon95::AppRestoreHook()
{
    if (m_active) {
        RestoreFromTray();
    }
    if (m_onAppRestore) {
        const NotifyEvent handler = m_onAppRestore;
        handler(*this);
    }
}

void TPGTrayIcon95::SendNotify(ShellMessage message)
{
    // Nothing reaches the tray host while a form description is being applied; Loaded
    // shows the icon once the description is complete.
    if (m_loading) {
        return;
    }
    switch (message) {
    case ShellMessage::Add:
        m_area.Add(m_displayedIcon, m_toolTip);
        break;
    case ShellMessage::Modify:
        m_area.Modify(m_displayedIcon, m_toolTip);
        break;
    case ShellMessage::Delete:
        m_area.Delete();
        break;
    }
}

void TPGTrayIcon95::IconChanged()
{
    // Setting a picture is its change notification: while the icon is shown, the
    // notification area follows at once.
    if (!m_loading) {
        UpdateIcon();
    }
}

void TPGTrayIcon95::UpdateHoverTracking()
{
    m_area.SetHoverTracking(m_onMouseMove || m_onMouseEnter || m_onMouseExit);
}

void TPGTrayIcon95::PostDeferred(std::function<void()> call)
{
    m_pendingCall = std::move(call);
    m_msgWindow->PostDeferredEvent();
}

void TPGTrayIcon95::RunDeferredCall()
{
    if (!m_pendingCall) {
        return;
    }
    const std::function<void()> call = std::move(m_pendingCall);
    m_pendingCall = nullptr;
    try {
        call();
    } catch (...) {
        // A deferred call runs from the event loop, where nobody could handle its failure;
        // the tray must go on answering the user.
    }
}

// Holds a screen-update lock for one scope, so that a failing step cannot leave the
// application's windows locked.
class TPGTrayIcon95::ScreenUpdateLock
{
public:
    explicit ScreenUpdateLock(TPGTrayIcon95& tray) : m_tray(tray) { m_tray.LockScreenUpdate(true); }
    ~ScreenUpdateLock() { m_tray.LockScreenUpdate(false); }
    ScreenUpdateLock(const ScreenUpdateLock&) = delete;
    ScreenUpdateLock& operator=(const ScreenUpdateLock&) = delete;

private:
    TPGTrayIcon95& m_tray;
};

void TPGTrayIcon95::DoRestore()
{
    const ScreenUpdateLock lock(*this);
    m_inTray = false;
    if (m_ownerWindow.IsApplicationMinimized()) {
        m_ownerWindow.RestoreApplication();
    }
    if (!m_ownerWindow.IsMainFormVisible()) {
        m_ownerWindow.ShowMainForm();
    }
    m_ownerWindow.ShowApplicationWindow();
    m_ownerWindow.BringToForeground();
}

void TPGTrayIcon95::DoHide()
{
    const ScreenUpdateLock lock(*this);
    m_ownerWindow.MinimizeApplication();
    // A window taken off the taskbar with no host to show the icon would be lost until the
    // program ends: it stays minimised where the desktop lists it.
    if (m_area.HostPresent()) {
        m_ownerWindow.HideApplicationWindow();
        m_inTray = true;
    }
}

} // namespace sarvendo
