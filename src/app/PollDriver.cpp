// SPDX-License-Identifier: GPL-3.0-or-later
#include "PollDriver.h"

#include "core/Rounding.h"
#include "core/Settings.h"

#include "app/MainWindowServices.h"
#include "app/PanelView.h"
#include "line/LineSession.h"
#include "platform/TickPath.h"

#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

namespace sarvendo {
namespace {

HistoryHost& HistoryOf(const MainWindowServices& services)
{
    static NoHistory none;
    return services.history != nullptr ? *services.history : none;
}

// The poll timer runs the tick straight from its timer event. Its timeout signal would
// go through the signal machinery's connection list on every tick, code and data a
// resting program otherwise never touches, 18 times a second.
class PollTimer final : public QTimer
{
public:
    explicit PollTimer(PollDriver& driver) : QTimer(&driver), m_driver(driver) {}

protected:
    SARVENDO_TICK_PATH void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() == timerId()) {
            m_driver.Tick();
        } else {
            QTimer::timerEvent(event);
        }
    }

private:
    PollDriver& m_driver;
};

} // namespace

PollDriver::PollDriver(QWidget& window, const MainWindowServices& services, PanelView& panel)
    : QObject(&window), m_window(window), m_settings(services.settings), m_panel(panel),
      m_engine(services.settings, services.clock, services.line, services.sound, services.messageBoxes,
               services.logFiles, services.directories, services.formats, *this, HistoryOf(services)),
      m_timer(new PollTimer(*this))
{
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setTimerType(Qt::PreciseTimer);
}

void PollDriver::ApplyTimerInterval()
{
    const int period = TimerPeriodMs(m_settings.TimerInterval);
    if (period <= 0 || m_stoppedForGood) {
        m_timer->stop();
        return;
    }
    m_timer->start(period);
}

SARVENDO_TICK_PATH void PollDriver::Tick()
{
    if (m_settings.ClosedDown == 0 && !m_closing) {
        m_engine.TimerTimer();
    }
}

void PollDriver::StopForClose()
{
    m_closing = true;
    m_timer->stop();
}

void PollDriver::InvalidateClientArea()
{
    // A hidden window is composed by the engine's direct paint right after this call.
    if (!ClientAreaHidden()) {
        m_panel.Compose();
    }
}

bool PollDriver::ClientAreaHidden() const
{
    return !m_window.isVisible() || m_window.isMinimized();
}

void PollDriver::FormPaint()
{
    m_panel.Compose();
}

void PollDriver::SetHangUpButtonEnabled(bool enabled)
{
    emit HangUpButtonEnabledChanged(enabled);
}

void PollDriver::MakeTopmost()
{
    m_window.raise();
}

void PollDriver::StopPollTimer()
{
    m_stoppedForGood = true;
    m_timer->stop();
}

void PollDriver::RunCloseQuery()
{
    m_window.close();
}

void PollDriver::RequestApplicationEnd()
{
    emit ApplicationEndRequested();
}

void PollDriver::RedrawForegroundCaption()
{
    // What wiped the lamps from another program's caption now hides the strip over it;
    // the next paint shows it again where it belongs.
    m_panel.HideCaptionStrip();
}

} // namespace sarvendo
