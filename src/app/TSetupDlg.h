#pragma once

#include <QDialog>

namespace sarvendo {

// The setup and about dialog. It runs modally inside the program's event loop, so the
// lamps keep following the line while it is open, and it changes the settings at once:
// there is no Cancel.
class TSetupDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TSetupDlg(QWidget* parent = nullptr);
};

} // namespace sarvendo
