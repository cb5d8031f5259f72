#include "QtBeep.h"

#include <QApplication>

namespace sarvendo {

void QtBeep()
{
    QApplication::beep();
}

} // namespace sarvendo
