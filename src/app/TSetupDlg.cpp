#include "TSetupDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace sarvendo {

TSetupDlg::TSetupDlg(QWidget* parent) : QDialog(parent)
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
