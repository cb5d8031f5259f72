// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace sarvendo {

// The logo shown while the program starts: borderless, above other windows, centred on
// the screen, 322 × 240. Its timer closes it 3000 ms after it was made, or at the first
// chance once start-up lets events run again; it then deletes itself.
class TSplashForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 322;
    static constexpr int kHeight = 240;
    static constexpr int kShowMs = 3000;

    explicit TSplashForm(QWidget* parent = nullptr);

    // The program's logo picture; empty if the resource were missing.
    static QPixmap Logo();

    void TimerSplashTimer();

private:
    QLabel* m_splash = nullptr;
    QTimer* m_timerSplash = nullptr;
};

} // namespace sarvendo
