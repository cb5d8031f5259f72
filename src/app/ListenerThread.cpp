// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListenerThread.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace sarvendo {

ListenerThread::ListenerThread()
{
    m_thread.setObjectName(QStringLiteral("Listeners"));
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

ListenerThread::~ListenerThread()
{
    QThread* const owner =
        QCoreApplication::instance() != nullptr ? QCoreApplication::instance()->thread() : QThread::currentThread();
    Run([this, owner] {
        m_listeners.clear();
        m_context.moveToThread(owner);
    });
    m_thread.quit();
    m_thread.wait();
}

void ListenerThread::Run(const std::function<void()>& work)
{
    QMetaObject::invokeMethod(&m_context, work, Qt::BlockingQueuedConnection);
}

} // namespace sarvendo
