#include "QtEventPump.h"

#include <QCoreApplication>

namespace sarvendo {

void QtEventPump::ProcessEvents()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

} // namespace sarvendo
