#include "TSplashForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
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
    QPixmap logo(kWidth, kHeight);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(0, 0, 96));
    sky.setColorAt(1.0, QColor(0, 64, 160));
    painter.fillRect(logo.rect(), sky);

    // A modem front panel with its row of lamps, the picture the program is named for.
    const QRectF panel(36, 96, 250, 56);
    painter.setPen(QPen(QColor(40, 40, 40), 2));
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRoundedRect(panel, 8, 8);
    const QColor lampColours[] = {Qt::red,   Qt::red,  QColor(130, 130, 130), Qt::red, QColor(130, 130, 130),
                                  Qt::green, Qt::green};
    const char* const lampNames[] = {"CD", "RI", "CTS", "DSR", "HS", "TD", "RD"};
    QFont small = painter.font();
    small.setPixelSize(9);
    painter.setFont(small);
    for (int i = 0; i < 7; ++i) {
        const QPointF centre(panel.left() + 26 + i * 33, panel.top() + 22);
        QRadialGradient glow(centre, 9);
        glow.setColorAt(0.0, lampColours[i].lighter(160));
        glow.setColorAt(1.0, lampColours[i]);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(glow);
        painter.drawEllipse(centre, 8, 8);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(centre.x() - 16, centre.y() + 10, 32, 14), Qt::AlignCenter,
                         QString::fromLatin1(lampNames[i]));
    }

    QFont title = painter.font();
    title.setPixelSize(40);
    title.setBold(true);
    title.setItalic(true);
    painter.setFont(title);
    painter.setPen(QColor(255, 220, 0));
    painter.drawText(QRect(0, 24, kWidth, 56), Qt::AlignCenter, QStringLiteral("Sarvendo"));

    QFont subtitle = painter.font();
    subtitle.setPixelSize(13);
    subtitle.setBold(false);
    subtitle.setItalic(false);
    painter.setFont(subtitle);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 170, kWidth, 24), Qt::AlignCenter, QStringLiteral("Modem status lights"));
    painter.drawText(QRect(0, 196, kWidth, 24), Qt::AlignCenter, QStringLiteral("Starting…"));
    return logo;
}

} // namespace sarvendo
