#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/linux/LinuxDirectories.h"
#include "platform/linux/QtScreen.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sarvendo"));

    const sarvendo::LinuxDirectories directories;
    const sarvendo::QtScreen screen;
    sarvendo::Settings settings;
    const std::string iniPath = sarvendo::SettingsFilePath(directories);
    settings.DefaultPort = sarvendo::ReadDefaultPort(iniPath);
    sarvendo::LoadSettings(settings, iniPath, screen.PrimaryScreenSize());
    settings.ShowLogoAtStartup = sarvendo::ReadShowLogoAtStartup(iniPath);

    QLabel window(QStringLiteral("Sarvendo"));
    window.setWindowTitle(QStringLiteral("Sarvendo"));
    window.move(settings.WindowPositionX, settings.WindowPositionY);
    window.show();
    const int result = QApplication::exec();
    sarvendo::SaveSettingsAtShutdown(settings, iniPath);
    return result;
}
