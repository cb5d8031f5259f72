// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/MonitorHost.h"
#include "monitor/PollCycle.h"

#include <QObject>

class QTimer;
class QWidget;

namespace sarvendo {

class PanelView;
struct MainWindowServices;

// The poll timer and the monitoring engine it drives. What the engine asks of the
// window (a paint, the close query, the end of the program) is carried out here.
class PollDriver : public QObject, public MonitorHost
{
    Q_OBJECT

public:
    // The panel may be made after the driver; it is first used at the first tick.
    PollDriver(QWidget& window, const MainWindowServices& services, PanelView& panel);

    PollCycle& Engine() { return m_engine; }
    QTimer* Timer() const { return m_timer; }

    // Polls as often as "TimerInterval" says, unless polling stopped for good.
    void ApplyTimerInterval();
    // One tick, unless the program is closing down.
    void Tick();
    // No tick runs any more: the program is closing, and a box one of its steps shows
    // must not run one either.
    void StopForClose();

    // MonitorHost
    void InvalidateClientArea() override;
    bool ClientAreaHidden() const override;
    void FormPaint() override;
    void SetHangUpButtonEnabled(bool enabled) override;
    void MakeTopmost() override;
    void StopPollTimer() override;
    void RunCloseQuery() override;
    void RequestApplicationEnd() override;
    void RedrawForegroundCaption() override;

signals:
    void HangUpButtonEnabledChanged(bool enabled);
    void ApplicationEndRequested();

private:
    QWidget& m_window;
    Settings& m_settings;
    PanelView& m_panel;
    PollCycle m_engine;
    QTimer* m_timer;
    bool m_stoppedForGood = false;
    bool m_closing = false;
};

} // namespace sarvendo
