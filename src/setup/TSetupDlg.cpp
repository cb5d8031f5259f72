// SPDX-License-Identifier: GPL-3.0-or-later
// The setup dialog's form: its pages and controls, each bound to its member of the
// Settings record. The fill and the handlers are in TSetupDlgHandlers.cpp.
#include "TSetupDlg.h"

#include "components/TUrlLabel.h"
#include "platform/Directories.h"
#include "resources/Resources.h"
#include "setup/Documentation.h"
#include "setup/SetupHost.h"
#include "setup/SpinFieldRule.h"
#include "setup/TPageControl.h"
#include "setup/TRadioGroup.h"
#include "setup/TUpDown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QWidget>

#include <cstdlib>

namespace sarvendo {
namespace {

// A face of the same size and build as the small sans-serif dialog face the layout of
// these pages was drawn for: 11 pixels, so every caption fits its control.
constexpr int kFacePixelSize = 11;
constexpr int kPageLeft = 8;
constexpr int kHelpButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kRowHeight = 17;
// The page area below the tabs; pages are laid out within it.
constexpr int kPageWidth = 427;
constexpr int kPageHeight = 262;

// Captions keep their mnemonic marks for buttons and boxes; a plain label shows "&&" as
// one ampersand and drops the single marks, as it has no key to offer.
QString LabelText(const char* caption)
{
    QString text;
    const QString source = QString::fromUtf8(caption);
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == QLatin1Char('&')) {
            if (i + 1 < source.size() && source[i + 1] == QLatin1Char('&')) {
                text += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        text += source[i];
    }
    return text;
}

QWidget* NewPage(const char* name)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    return page;
}

QRect HelpButtonPlace()
{
    return {kPageWidth - kHelpButtonWidth - 8, kPageHeight - kButtonHeight - 6, kHelpButtonWidth, kButtonHeight + 2};
}

const QStringList kSoundModes{QStringLiteral("Sound"), QStringLiteral("Beep"), QStringLiteral("None")};

} // namespace

TSetupDlg::TSetupDlg(SetupDlgParts parts, SetupHost& host, QWidget* parent)
    : QDialog(parent), m_parts(parts), m_host(host), m_settings(parts.settings)
{
    setObjectName(QStringLiteral("SetupDlg"));
    setWindowTitle(QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    setModal(true);
    // A fixed dialog frame with a title and no buttons in it: OK closes the dialog.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont face(QStringLiteral("DejaVu Sans"));
    face.setPixelSize(kFacePixelSize);
    setFont(face);
}

TSetupDlg::~TSetupDlg() = default;

void TSetupDlg::setVisible(bool visible)
{
    // Built before the dialog becomes visible, so the controls show with it.
    if (visible && m_setup == nullptr) {
        BuildForm();
    }
    QDialog::setVisible(visible);
}

void TSetupDlg::BuildForm()
{
    BuildPages();
    BuildButtonPanel();
    ConnectBindings();
    m_labelTD->setText(m_transmittedText);
    m_labelRD->setText(m_receivedText);
    m_hangUp->setEnabled(m_hangUpEnabled);
    // The first showing opens on About; later ones open where the user left.
    m_setup->SetActivePageIndex(kAboutPage);
    connect(m_setup, &TPageControl::Change, this, &TSetupDlg::ChangeForm);
}

void TSetupDlg::BuildPages()
{
    m_setup = new TPageControl(this);
    m_setup->setObjectName(QStringLiteral("Setup"));
    m_setup->setGeometry(2, 4, kClientWidth - 4, kClientHeight - kButtonPanelHeight - 4);

    struct PageMaker
    {
        const char* name;
        const char* caption;
        void (TSetupDlg::*build)(QWidget*);
    };
    const PageMaker pages[] = {
        {"TabSheetBasic", "General Settings", &TSetupDlg::BuildGeneralPage},
        {"LayoutTabSheet", "Layout && Colors", &TSetupDlg::BuildLayoutPage},
        {"SoundsTabSheet", "Sounds", &TSetupDlg::BuildSoundsPage},
        {"InactivityWarn", "Inactivity", &TSetupDlg::BuildInactivityPage},
        {"TabSheetLoggings", "Loggings", &TSetupDlg::BuildLoggingsPage},
        {"TabSheetShow", "Display", &TSetupDlg::BuildDisplayPage},
        {"TitlebarSheet", "Titlebar Display", &TSetupDlg::BuildTitlebarPage},
        {"GeneralTabSheet", "Troubleshooting", &TSetupDlg::BuildTroubleshootingPage},
        {"AboutSheet", "About", &TSetupDlg::BuildAboutPage},
    };
    for (const PageMaker& maker : pages) {
        QWidget* page = NewPage(maker.name);
        (this->*maker.build)(page);
        m_setup->AddPage(page, QString::fromUtf8(maker.caption));
    }
}

void TSetupDlg::BuildButtonPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    auto* introduction = AddButton(panel, "BitBtn2", "&Introduction", {8, 5, 90, 25});
    auto* index = AddButton(panel, "BitBtn3", "I&ndex", {104, 5, 90, 25});
    auto* ok = AddButton(panel, "Ok", "&OK", {kClientWidth - 98, 5, 90, 25});
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(introduction, &QPushButton::clicked, this, [this] { m_host.ShowHelp(kIntroductionHelp); });
    connect(index, &QPushButton::clicked, this, [this] { m_host.ShowHelp(kIndexHelp); });
}

void TSetupDlg::ConnectBindings()
{
    // Handlers are found by index: the tables grew while the pages were built.
    for (std::size_t i = 0; i < m_checks.size(); ++i) {
        QCheckBox* box = m_checks[i].box;
        if (box == m_sysTray) {
            // The tray box acts also when a fill changes it: a port switch brings the new
            // port's tray setting into force at the next fill.
            connect(box, &QCheckBox::toggled, this, &TSetupDlg::CBSysTrayClick);
        } else if (box == m_warnInactive) {
            connect(box, &QCheckBox::toggled, this, &TSetupDlg::CBWarnInactiveClick);
        } else if (box == m_disconnectInactive) {
            connect(box, &QCheckBox::toggled, this, &TSetupDlg::CBDisconnectInactiveClick);
        } else {
            connect(box, &QCheckBox::toggled, this, [this, i] { CheckClick(m_checks[i]); });
        }
    }
    for (std::size_t i = 0; i < m_radios.size(); ++i) {
        connect(m_radios[i].group, &TRadioGroup::Click, this, [this, i] { RadioClick(m_radios[i]); });
    }
    for (std::size_t i = 0; i < m_spins.size(); ++i) {
        connect(m_spins[i].edit, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { SpinChange(m_spins[i], text); });
    }
}

QCheckBox* TSetupDlg::AddCheck(QWidget* page, const char* name, const char* caption, QRect geometry,
                               std::int32_t Settings::*member, Redraw redraw, bool ticksZero)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), page);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    m_checks.push_back({box, member, ticksZero, redraw});
    return box;
}

QLineEdit* TSetupDlg::AddSpin(QWidget* page, const char* name, const char* upDownName, QRect geometry, int min, int max,
                              std::int32_t Settings::*member, int store, const char* initialText)
{
    constexpr int kArrowsWidth = 15;
    auto* edit = new QLineEdit(QString::fromLatin1(initialText), page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry.x(), geometry.y(), geometry.width() - kArrowsWidth, geometry.height());
    auto* upDown = new TUpDown(edit, min, max, page);
    upDown->setObjectName(QString::fromLatin1(upDownName));
    upDown->setGeometry(geometry.right() - kArrowsWidth + 1, geometry.y(), kArrowsWidth, geometry.height());
    if (member != nullptr) {
        m_spins.push_back({edit, upDown, member, QString::fromLatin1(initialText), store});
    }
    return edit;
}

TRadioGroup* TSetupDlg::AddRadioGroup(QWidget* page, const char* name, const char* caption, const QStringList& items,
                                      int columns, QRect geometry)
{
    auto* group = new TRadioGroup(QString::fromUtf8(caption), items, columns, page);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

void TSetupDlg::AddListedGroup(TRadioGroup* group, std::int32_t Settings::*member, std::vector<int> values,
                               QPushButton* testButton)
{
    auto itemFor = [member, values](const Settings& s) -> std::optional<int> {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == s.*member) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    };
    auto store = [member, values](Settings& s, int item) {
        if (item >= 0 && static_cast<std::size_t>(item) < values.size()) {
            s.*member = values[static_cast<std::size_t>(item)];
        }
    };
    m_radios.push_back({group, itemFor, store, Redraw{}, testButton});
}

QPushButton* TSetupDlg::AddButton(QWidget* page, const char* name, const char* caption, QRect geometry)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), page);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QPushButton* TSetupDlg::AddHelpButton(QWidget* page, const char* name, int context)
{
    QPushButton* button = AddButton(page, name, "Settings", HelpButtonPlace());
    button->setProperty("helpContext", context);
    connect(button, &QPushButton::clicked, this, [this, context] { m_host.ShowHelp(context); });
    return button;
}

QLabel* TSetupDlg::AddLabel(QWidget* page, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, page);
    if (name != nullptr) {
        label->setObjectName(QString::fromLatin1(name));
    }
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

void TSetupDlg::BuildGeneralPage(QWidget* page)
{
    constexpr int kLeft = kPageLeft;
    AddLabel(page, "Label1", LabelText("Port to Monitor:"), {kLeft, 12, 84, kRowHeight});
    m_ports = new QComboBox(page);
    m_ports->setObjectName(QStringLiteral("Ports"));
    m_ports->setEditable(true);
    // Typed text is taken as it stands: no completion that would turn "C" into a port,
    // and Enter adds nothing to the list.
    m_ports->setCompleter(nullptr);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setGeometry(94, 9, 72, 22);
    m_portDevice = AddLabel(page, "LabelPortDevice", QString(), {172, 12, 140, kRowHeight});
    m_portDevice->setToolTip(QStringLiteral("The device watched for this port"));
    auto* detect = AddButton(page, "ButtonDetectComPorts", "Detect Com Ports", {314, 8, 105, kButtonHeight + 2});
    connect(m_ports, &QComboBox::currentTextChanged, this, &TSetupDlg::PortsChange);
    connect(detect, &QPushButton::clicked, this, &TSetupDlg::ButtonDetectComPortsClick);

    m_timer = AddSpin(page, "Timer", "TimerUpDown", {kLeft, 40, 48, 21}, 0, 18, nullptr, 0);
    connect(m_timer, &QLineEdit::textChanged, this, &TSetupDlg::TimerChange);
    AddLabel(page, "Label2", QStringLiteral("times/second"), {kLeft + 54, 42, 120, kRowHeight});

    m_sysTray = AddCheck(page, "CBSysTray", "Sarvendo in the System Tray", {kLeft, 68, 300, kRowHeight},
                         &Settings::ShowTrayIcon);
    m_lights =
        AddCheck(page, "CBLights", "Run Win95 Modem Lights when", {kLeft, 88, 190, kRowHeight}, &Settings::RunLights);
    m_lightsLabel =
        AddLabel(page, "LabelLights", QStringLiteral("connecting with a 32 bit program"), {kLeft + 192, 88, 200, 17});
    AddCheck(page, "NoLogo", "No Startup Logo", {kLeft, 108, 300, kRowHeight}, &Settings::ShowLogoAtStartup, Redraw{},
             true);
    AddCheck(page, "WarnExit", "No Warning when exiting Sarvendo while Connected", {kLeft, 128, 410, kRowHeight},
             &Settings::WarnWhenExiting);
    AddCheck(page, "CBAutoExit", "AutoExit Sarvendo after Disconnect", {kLeft, 150, 230, kRowHeight},
             &Settings::CDAutoExit);
    AddLabel(page, "Label3", QStringLiteral("Delay [s]"), {250, 150, 55, kRowHeight});
    AddSpin(page, "ExitDelay", "DelayUpDown", {306, 148, 52, 21}, 0, 100, &Settings::CDAutoExitDelay,
            static_cast<int>(SpinStore::ZeroOrMore));
    AddCheck(page, "CBAutoRun", "Run Application at Startup:", {kLeft, 176, 300, kRowHeight}, &Settings::AutoRun);
    m_autoRunProgram = new QLineEdit(page);
    m_autoRunProgram->setObjectName(QStringLiteral("editautorunprog"));
    m_autoRunProgram->setGeometry(kLeft, 196, 318, 21);
    connect(m_autoRunProgram, &QLineEdit::textChanged, this, &TSetupDlg::EditAutoRunProgChange);
    auto* browse = AddButton(page, "ButtonBrowseAutoRunProg", "Browse...", {332, 195, 87, kButtonHeight});
    connect(browse, &QPushButton::clicked, this, &TSetupDlg::ButtonBrowseAutoRunProgClick);
    AddHelpButton(page, "BitBtn8", 5);
}

void TSetupDlg::BuildLayoutPage(QWidget* page)
{
    auto* layout =
        AddRadioGroup(page, "LayoutGroup", "Layout",
                      {QStringLiteral("Large Square"), QStringLiteral("Large Horizontal"),
                       QStringLiteral("Small Horizontal"), QStringLiteral("Modem"), QStringLiteral("Courier")},
                      1, {kPageLeft, 4, 150, 118});
    m_radios.push_back({layout, [](const Settings& s) -> std::optional<int> { return std::abs(s.NewOrientation) - 1; },
                        [](Settings& s, int item) {
                            // A minimised window stays minimised: the sign is kept with the new layout.
                            s.NewOrientation = s.NewOrientation < 0 ? -(item + 1) : item + 1;
                        },
                        Redraw::WindowLamps | Redraw::Repaint | Redraw::Again, nullptr});
    auto* look = AddRadioGroup(page, "LampLook", "Lamp Look", {QStringLiteral("Flat"), QStringLiteral("Round")}, 2,
                               {kPageLeft, 128, 150, 40});
    m_radios.push_back({look, [](const Settings& s) -> std::optional<int> { return s.LampLook; },
                        [](Settings& s, int item) { s.LampLook = item; }, Redraw::WindowLamps, nullptr});

    auto* colours = new QGroupBox(QStringLiteral("Colors"), page);
    colours->setObjectName(QStringLiteral("GroupBox1"));
    colours->setGeometry(168, 4, 120, 136);
    struct ColourButton
    {
        const char* name;
        const char* caption;
        ColorRef Settings::*member;
        Redraw redraw;
    };
    const ColourButton buttons[] = {
        {"LampOn", "Lamp ON", &Settings::LightColorOn, Redraw::WindowLamps},
        {"LampOff", "Lamp Off", &Settings::LightColorOff, Redraw::WindowLamps},
        {"Text", "Text", &Settings::TextColor, Redraw::WindowLamps},
        {"Background", "Background", &Settings::BackgroundColor, Redraw::Layout | Redraw::WindowLamps},
    };
    int top = 20;
    for (const ColourButton& colour : buttons) {
        QPushButton* button = AddButton(colours, colour.name, colour.caption, {10, top, 100, kButtonHeight});
        connect(button, &QPushButton::clicked, this,
                [this, member = colour.member, redraw = colour.redraw] { ColourClick(member, redraw); });
        top += 28;
    }

    auto* onTop = AddRadioGroup(
        page, "RadioGroupOnTop", "Stay On Top",
        {QStringLiteral("Always On Top"), QStringLiteral("Auto Detect       Delay:"), QStringLiteral("Normal")}, 1,
        {168, 146, 250, 70});
    onTop->setToolTip(QStringLiteral("Sets Auto On Top behaviour"));
    AddListedGroup(onTop, &Settings::OnTop, {1, 2, 0});
    // The delay field sits on the group's frame beside its second item.
    QLineEdit* delay = AddSpin(page, "SpinEditAutoDetect", "UpDownAutoDetect", {330, 181, 56, 20}, 0, 400,
                               &Settings::AutoDelay, static_cast<int>(SpinStore::ZeroOrMore));
    delay->raise();
    page->findChild<TUpDown*>(QStringLiteral("UpDownAutoDetect"))->raise();
    AddHelpButton(page, "BitBtn4", 6);
}

void TSetupDlg::AddSoundRow(QWidget* page, int top, const char* group, const char* caption, const char* chooser,
                            const char* chooserCaption, const char* test, const char* label,
                            std::int32_t Settings::*mode, std::string Settings::*path, int chooserWidth)
{
    constexpr int kGroupWidth = 200;
    TRadioGroup* radio = AddRadioGroup(page, group, caption, kSoundModes, 3, {kPageLeft, top, kGroupWidth, 38});
    QPushButton* choose =
        AddButton(page, chooser, chooserCaption, {kPageLeft + kGroupWidth + 8, top + 12, chooserWidth, kButtonHeight});
    QPushButton* testButton =
        AddButton(page, test, "Test", {kPageLeft + kGroupWidth + 14 + chooserWidth, top + 12, 56, kButtonHeight});
    QLabel* pathLabel = AddLabel(page, label, QString(), {kPageLeft, top + 40, 410, kRowHeight});
    pathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AddListedGroup(radio, mode, {1, 2, 0}, testButton);
    m_sounds.push_back({radio, mode, path, pathLabel, testButton});
    const std::size_t index = m_sounds.size() - 1;
    connect(choose, &QPushButton::clicked, this, [this, index] { SoundClick(m_sounds[index]); });
    connect(testButton, &QPushButton::clicked, this, [this, index] { SoundTestClick(m_sounds[index]); });
}

void TSetupDlg::BuildSoundsPage(QWidget* page)
{
    AddSoundRow(page, 4, "RISoundGroup", "Incoming Call (RI)", "SoundRI", "RI Sound...", "SoundRITest", "LabelRISound",
                &Settings::RIPlaySound, &Settings::RISound);
    AddSoundRow(page, 66, "ConnectSoundGroup", "Connect (CD high)", "SoundConnect", "Connect Sound...",
                "SoundConnectTest", "LabelConnectSound", &Settings::ConnectPlaySound, &Settings::ConnectSound);
    AddSoundRow(page, 128, "DisconnectSoundGroup", "Disconnect (CD low)", "SoundDisconnect", "DisconnectSound...",
                "SoundDisconnectTest", "LabelDisconnectSound", &Settings::DisconnectPlaySound,
                &Settings::DisconnectSound);
    AddHelpButton(page, "BitBtn6", 8);
}

void TSetupDlg::BuildInactivityPage(QWidget* page)
{
    m_warnInactive = AddCheck(page, "CBWarnInactive", "Warn if Inactive", {kPageLeft, 8, 140, kRowHeight},
                              &Settings::WarnIfInactive);
    AddLabel(page, "Label4", QStringLiteral("for"), {150, 8, 20, kRowHeight});
    AddSpin(page, "SpinEditWarnMinutes", "SpinWarnMinutes", {170, 6, 50, 21}, 1, 100, &Settings::WarnTimeIfInactive,
            static_cast<int>(SpinStore::AboveZero), "1");
    AddLabel(page, "Label5", QStringLiteral("minute(s)"), {224, 8, 56, kRowHeight});
    AddSpin(page, "SpinEditWarnSeconds", "SpinWarnSeconds", {282, 6, 44, 21}, 0, 59,
            &Settings::WarnTimeIfInactiveSeconds, static_cast<int>(SpinStore::ZeroOrMore));
    AddLabel(page, "Label6", QStringLiteral("second(s)"), {330, 8, 70, kRowHeight});

    AddSoundRow(page, 32, "WarnInactiveSoundGroup", "Warn if Inactive", "WarnInactiveSound", "Sound...",
                "SoundWarnInactiveTest", "LabelWarnInactiveSound", &Settings::WarnInactivePlaySound,
                &Settings::WarnInactiveSound, 90);

    m_disconnectInactive = AddCheck(page, "CBDisconnectInactive", "Disconnect if Inactive",
                                    {kPageLeft, 100, 140, kRowHeight}, &Settings::DisconnectIfInactive);
    AddLabel(page, "Label7", QStringLiteral("for"), {150, 100, 20, kRowHeight});
    AddSpin(page, "SpinEditDisconnectMinutes", "SpinDisconnectMinutes", {170, 98, 50, 21}, 1, 100,
            &Settings::DisconnectTimeIfInactive, static_cast<int>(SpinStore::ZeroOrMore), "1");
    AddLabel(page, "Label8", QStringLiteral("minute(s)"), {224, 100, 56, kRowHeight});
    AddSpin(page, "SpinEditDisconnectSeconds", "SpinDisconnectSeconds", {282, 98, 44, 21}, 0, 59,
            &Settings::DisconnectTimeIfInactiveSeconds, static_cast<int>(SpinStore::ZeroOrMore));
    AddLabel(page, "Label9", QStringLiteral("second(s)"), {330, 100, 70, kRowHeight});

    AddLabel(page, "Label21", QStringLiteral("TD and RD are normally used to detect inactivity."),
             {kPageLeft, 140, 400, kRowHeight});
    AddCheck(page, "CBTriggerRD", "Trigger only on RD (winsock)", {kPageLeft, 160, 300, kRowHeight},
             &Settings::TriggerRD);
    AddHelpButton(page, "BitBtn7", 9);
}

void TSetupDlg::BuildLoggingsPage(QWidget* page)
{
    AddLabel(page, "Label11", LabelText("Log to sarvendo.ri && sarvendo.dcd log files:"),
             {kPageLeft, 6, 400, kRowHeight});
    AddCheck(page, "CheckBoxLogRI", "Log Incoming Calls (RI high)", {kPageLeft, 30, 240, kRowHeight}, &Settings::LogRI);
    auto* showRI = AddButton(page, "ButtonShowLogRI", "Show Log", {264, 27, 74, kButtonHeight});
    auto* deleteRI = AddButton(page, "ButtonDeleteLogRI", "Delete Log", {342, 27, 76, kButtonHeight});
    AddCheck(page, "CheckBoxLogConnect", "Log Connects (DCD high) && Connect Time", {kPageLeft, 58, 254, kRowHeight},
             &Settings::LogDCD);
    auto* showCD = AddButton(page, "ButtonShowLogCD", "Show Log", {264, 55, 74, kButtonHeight});
    auto* deleteCD = AddButton(page, "ButtonDeleteLogCD", "Delete Log", {342, 55, 76, kButtonHeight});
    connect(showRI, &QPushButton::clicked, this, &TSetupDlg::ButtonShowLogRIClick);
    connect(deleteRI, &QPushButton::clicked, this, &TSetupDlg::ButtonDeleteLogRIClick);
    connect(showCD, &QPushButton::clicked, this, &TSetupDlg::ButtonShowLogCDClick);
    connect(deleteCD, &QPushButton::clicked, this, &TSetupDlg::ButtonDeleteLogCDClick);

    AddLabel(page, "Label12", QStringLiteral("Connect Time before Entry in the Log [s]"),
             {kPageLeft, 92, 240, kRowHeight});
    AddSpin(page, "EditCDUpTime", "UpDownCDUpTime", {258, 90, 56, 21}, 0, 100, &Settings::DCDInterval,
            static_cast<int>(SpinStore::ZeroOrMore));
    AddLabel(page, "Label13", QStringLiteral("Negotiation Delay [s]"), {kPageLeft, 118, 240, kRowHeight});
    AddSpin(page, "EditNegDelay", "UpDownNegDelay", {258, 116, 56, 21}, 0, 100, &Settings::NegotiationDelay,
            static_cast<int>(SpinStore::ZeroOrMore));
    AddCheck(page, "CBLogTotal", "Log Total # Transmitted Bytes to Log", {kPageLeft, 146, 300, kRowHeight},
             &Settings::LogTotalBytes);
    m_labelTD = AddLabel(page, "LabelTD", QString(), {kPageLeft, 176, 300, kRowHeight});
    m_labelRD = AddLabel(page, "LabelRD", QString(), {kPageLeft, 194, 300, kRowHeight});
    AddHelpButton(page, "BitBtn11", 10);
}

void TSetupDlg::BuildDisplayPage(QWidget* page)
{
    AddLabel(page, "Label15", LabelText("Show data in Sarvendo's extended display:"), {kPageLeft, 6, 400, kRowHeight});
    AddCheck(page, "CBCommStatusDisplay", "Show Comm Status/Connect Data", {kPageLeft, 28, 300, kRowHeight},
             &Settings::StatusInDisplay, Redraw::WindowLamps | Redraw::Repaint);
    AddCheck(page, "CBTDRDDisplay", "Show TD && RD data", {kPageLeft, 48, 300, kRowHeight},
             &Settings::SPYSpeedInDisplay, Redraw::WindowLamps | Redraw::Repaint);
    AddLabel(page, "Label16", QStringLiteral("TD/RD Speed Update [s]"), {kPageLeft, 76, 150, kRowHeight});
    AddSpin(page, "EditTDRDRate", "UpDownTDRDRate", {160, 74, 56, 21}, 0, 100, &Settings::RDTDSpeedUpdate,
            static_cast<int>(SpinStore::ZeroOrMore));
    m_inDisplay = AddRadioGroup(page, "RadioGroupInDisplay", "Show Connect Time",
                                {QStringLiteral("Show Session Connect Time"), QStringLiteral("Show Total Connect Time"),
                                 QStringLiteral("No Time")},
                                1, {kPageLeft, 104, 220, 70});
    m_radios.push_back({m_inDisplay,
                        [](const Settings& s) -> std::optional<int> {
                            return s.DisplayConnectTime == 1 ? 0 : (s.DisplayTotalConnectTimeInDisplay == 1 ? 1 : 2);
                        },
                        [](Settings& s, int item) {
                            s.DisplayConnectTime = item == 0 ? 1 : 0;
                            s.DisplayTotalConnectTimeInDisplay = item == 1 ? 1 : 0;
                        },
                        Redraw::WindowLamps | Redraw::Repaint, nullptr});
    auto* reset = AddButton(page, "Button1", "Reset Total Connect Time", {240, 150, 178, kButtonHeight + 2});
    connect(reset, &QPushButton::clicked, this, &TSetupDlg::ButtonResetTotalConnectClick);
    AddHelpButton(page, "BitBtn10", 11);
}

void TSetupDlg::BuildTitlebarPage(QWidget* page)
{
    AddLabel(page, "Label17", LabelText("Show bitmap && Time logging in Active Window's title:"),
             {kPageLeft, 6, 410, kRowHeight});
    auto* status = AddRadioGroup(page, "StatusGroup", "Status",
                                 {QStringLiteral("On"), QStringLiteral("Auto Sense"), QStringLiteral("Off")}, 1,
                                 {kPageLeft, 28, 128, 70});
    AddListedGroup(status, &Settings::Title, {1, 2, 0});
    auto* layout =
        AddRadioGroup(page, "TitleLayoutGroup", "Layout",
                      {QStringLiteral("Small Horizontal"), QStringLiteral("Modem"), QStringLiteral("Courier")}, 1,
                      {144, 28, 134, 70});
    m_radios.push_back({layout, [](const Settings& s) -> std::optional<int> { return s.OrientationTitle - 3; },
                        [](Settings& s, int item) { s.OrientationTitle = item + 3; }, Redraw::TitleLamps, nullptr});
    auto* look = AddRadioGroup(page, "LampLookGroup", "LampLook", {QStringLiteral("Flat"), QStringLiteral("Round")}, 2,
                               {286, 28, 133, 40});
    m_radios.push_back({look, [](const Settings& s) -> std::optional<int> { return s.LampLookTitle; },
                        [](Settings& s, int item) { s.LampLookTitle = item; }, Redraw::TitleLamps, nullptr});
    AddLabel(page, "Label18", QStringLiteral("Offset from Right:"), {286, 76, 110, kRowHeight});
    AddSpin(page, "EditOffset", "UpDown3", {286, 94, 60, 21}, 0, 100, &Settings::TitleBarOffset,
            static_cast<int>(SpinStore::ZeroOrMore));
    m_inTitle = AddRadioGroup(
        page, "RadioGroupInTitle", "Show Connect Time",
        {QStringLiteral("Session Connect Time"), QStringLiteral("Total Connect Time"), QStringLiteral("No Time")}, 1,
        {kPageLeft, 110, 220, 70});
    m_radios.push_back({m_inTitle,
                        [](const Settings& s) -> std::optional<int> {
                            return s.DisplayConnectTimeInTitlebar == 1
                                       ? 0
                                       : (s.DisplayTotalConnectTimeInTitlebar == 1 ? 1 : 2);
                        },
                        [](Settings& s, int item) {
                            s.DisplayConnectTimeInTitlebar = item == 0 ? 1 : 0;
                            s.DisplayTotalConnectTimeInTitlebar = item == 1 ? 1 : 0;
                        },
                        Redraw{}, nullptr});
    auto* reset =
        AddButton(page, "ButtonResetTotalConnect", "Reset Total Connect Time", {240, 156, 178, kButtonHeight + 2});
    connect(reset, &QPushButton::clicked, this, &TSetupDlg::ButtonResetTotalConnectClick);
    AddHelpButton(page, "BitBtn1", 12);
}

void TSetupDlg::BuildTroubleshootingPage(QWidget* page)
{
    AddCheck(page, "NDPA", "No Direct Port Access", {kPageLeft, 10, 300, kRowHeight},
             &Settings::NoDirectHardwareAcesss);
    AddCheck(page, "CBRDAltDetect", "Alternative Method to Detect 16 bit RD", {kPageLeft, 32, 300, kRowHeight},
             &Settings::AlternativeMethodForRD);
    m_hangUp = AddButton(page, "BtnHangupNOW", "&Hang-up NOW!", {kPageLeft, 62, 120, kButtonHeight + 2});
    connect(m_hangUp, &QPushButton::clicked, this, &TSetupDlg::BtnHangupNOWClick);
    auto* modemSetup = AddButton(page, "Button2", "Modem Setup", {140, 62, 120, kButtonHeight + 2});
    connect(modemSetup, &QPushButton::clicked, this, &TSetupDlg::Button2Click);

    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel4"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(kPageLeft, 100, 411, 86);
    AddLabel(panel, "Label19", QStringLiteral("Modem Init String:"), {8, 6, 200, kRowHeight});
    m_modemInitString = new QLineEdit(panel);
    m_modemInitString->setObjectName(QStringLiteral("EditModemInitString"));
    m_modemInitString->setGeometry(8, 24, 394, 21);
    connect(m_modemInitString, &QLineEdit::textChanged, this, &TSetupDlg::EditModemInitStringChange);
    AddCheck(panel, "CBModemInit", "Modem Init at Startup", {8, 56, 200, kRowHeight}, &Settings::InitModem);
    auto* send = AddButton(panel, "Button4", "Send NOW!", {304, 53, 98, kButtonHeight + 2});
    connect(send, &QPushButton::clicked, this, &TSetupDlg::Button4Click);
    AddHelpButton(page, "BitBtn9", 14);
}

void TSetupDlg::BuildAboutPage(QWidget* page)
{
    constexpr int kPictureTop = 28;
    constexpr int kPictureWidth = 200;
    constexpr int kPictureHeight = 150;
    auto* picture = AddLabel(page, "ProgramIcon", QString(), {kPageLeft, kPictureTop, kPictureWidth, kPictureHeight});
    picture->setScaledContents(true);
    if (const std::optional<QImage> logo = LoadResourceImage("LOGO")) {
        picture->setPixmap(QPixmap::fromImage(*logo));
    }
    AddLabel(page, "Version", QStringLiteral("Version 2.1, build 980418"), {kPageLeft, 8, kPictureWidth, kRowHeight});

    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel3"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(216, 28, 203, 150);
    QLabel* name = AddLabel(panel, "Label14", QStringLiteral("SARVENDO"), {10, 8, 150, 22});
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    name->setFont(bold);
    auto* icon = AddLabel(panel, "Image3", QString(), {160, 6, 32, 32});
    if (const std::optional<QImage> mainIcon = LoadResourceImage("MAINICON")) {
        icon->setPixmap(QPixmap::fromImage(*mainIcon));
    }
    AddLabel(panel, "Label10", QStringLiteral("© 2026 The Sarvendo developers"), {10, 40, 185, kRowHeight});
    QLabel* purpose =
        AddLabel(panel, "Label20", QStringLiteral("Modem status lights for the serial line"), {10, 58, 185, 30});
    purpose->setWordWrap(true);

    AddLabel(panel, "LabelLicence", QStringLiteral("Licence: GNU GPL 3 or later"), {10, 88, 185, kRowHeight});

    // The links lead to the documentation of the running program, found from where its
    // executable lies, so a moved installation or a build tree links to its own.
    const QString docDirectory =
        FindDocumentationDirectory(QString::fromStdString(m_parts.directories.ProgramDirectory()));
    if (docDirectory.isEmpty()) {
        AddLabel(panel, "UrlLabelMail", QStringLiteral("README.md not found"), {10, 107, 185, kRowHeight});
        return;
    }
    auto* readme = new TUrlLabel(m_parts.urls, m_parts.clipboard, panel);
    readme->setObjectName(QStringLiteral("UrlLabelMail"));
    readme->setText(QStringLiteral("README.md"));
    readme->SetURL(QUrl::fromLocalFile(docDirectory + QStringLiteral("/README.md")).toString());
    readme->setGeometry(10, 107, 185, kRowHeight);
    // The folder's caption is its own target: the label opens what it shows.
    auto* folder = new TUrlLabel(m_parts.urls, m_parts.clipboard, panel);
    folder->setObjectName(QStringLiteral("UrlLabelHttp"));
    folder->setText(docDirectory);
    folder->setGeometry(10, 126, 185, kRowHeight);
}

} // namespace sarvendo
