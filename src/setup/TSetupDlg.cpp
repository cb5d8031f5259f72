#include "TSetupDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace sarvendo {

TSetupDlg::TSetupDlg(SetupDlgParts parts, SetupHost& host, QWidget* parent)
    : QDialog(parent), m_parts(parts), m_host(host)
{
    setObjectName(QStringLiteral("SetupDlg"));
    setWindowTitle(QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(QStringLiteral("<b>Sarvendo</b><br>Modem status lights for the serial line."), this);
    about->setObjectName(QStringLiteral("LabelAbout"));
    layout->addWidget(about);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("ButtonOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace sarvendo
