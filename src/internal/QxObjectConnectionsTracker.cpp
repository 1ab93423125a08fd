#include "QxObjectConnectionsTracker.h"

#include <algorithm>

QxObjectConnectionsTracker::QxObjectConnectionsTracker(QObject *receiver)
    : QObject(receiver)
{
    Q_ASSERT(parent());
}

QxObjectConnectionsTracker::~QxObjectConnectionsTracker() = default;

void QxObjectConnectionsTracker::connect(const QObject *sender, const QString &signal,
                                         const QString &slot)
{
    forgetDestroyedSenders();
    // The connection itself is what counts: Qt cuts it when the sender dies.
    QMetaObject::Connection lifeline;
    if (sender)
        lifeline = QObject::connect(sender, &QObject::destroyed, this, [] {});
    m_connections.append({ { sender, signal, slot }, lifeline });
    const QByteArray slotText = slot.toUtf8();
    const QByteArray signalText = signal.toUtf8();
    QObject::connect(sender, signalText.constData(), parent(), slotText.constData(),
                     Qt::AutoConnection);
}

void QxObjectConnectionsTracker::disconnectFromAllSignals()
{
    forgetDestroyedSenders();
    // A copy: a sender's disconnectNotify() may record further connections.
    const QList<TrackedConnection> connections = m_connections;
    for (const TrackedConnection &connection : connections) {
        // Qt would read a destroyed sender's memory; its connections died with it.
        if (!connection.senderLifeline)
            continue;
        const QByteArray slotText = connection.info.slot.toUtf8();
        const QByteArray signalText = connection.info.signal.toUtf8();
        QObject::disconnect(connection.info.sender, signalText.constData(), parent(),
                            slotText.constData());
    }
}

// Qt cuts a lifeline when its sender dies, also one made from the sender's own
// destroyed() signal, which could tell of the death no more.
void QxObjectConnectionsTracker::forgetDestroyedSenders()
{
    const auto gone
            = [](const TrackedConnection &connection) { return !connection.senderLifeline; };
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), gone),
                        m_connections.end());
}
