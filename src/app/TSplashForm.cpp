// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSplashForm.h"

#include "resources/Resources.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace sarvendo {

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);

    m_splash = new QLabel(this);
    m_splash->setObjectName(QStringLiteral("Splash"));
    m_splash->setAlignment(Qt::AlignCenter);
    m_splash->setScaledContents(true);
    m_splash->setPixmap(Logo());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splash);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->geometry();
        move(available.center() - QPoint(kWidth / 2, kHeight / 2));
    }

    m_timerSplash = new QTimer(this);
    m_timerSplash->setObjectName(QStringLiteral("TimerSplash"));
    m_timerSplash->setInterval(kShowMs);
    connect(m_timerSplash, &QTimer::timeout, this, &TSplashForm::TimerSplashTimer);
    m_timerSplash->start();
}

void TSplashForm::TimerSplashTimer()
{
    m_timerSplash->stop();
    close();
}

QPixmap TSplashForm::Logo()
{
    if (const std::optional<QImage> logo = LoadResourceImage("LOGO")) {
        return QPixmap::fromImage(*logo);
    }
    return {};
}

} // namespace sarvendo
