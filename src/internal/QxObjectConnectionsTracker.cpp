#include "QxObjectConnectionsTracker.h"

QxObjectConnectionsTracker::QxObjectConnectionsTracker(QObject *receiver)
    : QObject(receiver)
{
    Q_ASSERT(parent());
}

QxObjectConnectionsTracker::~QxObjectConnectionsTracker() = default;

void QxObjectConnectionsTracker::connect(const QObject *sender, const QString &signal,
                                         const QString &slot)
{
    m_connections.append({ { sender, signal, slot }, sender });
    const QByteArray slotText = slot.toUtf8();
    const QByteArray signalText = signal.toUtf8();
    QObject::connect(sender, signalText.constData(), parent(), slotText.constData(),
                     Qt::AutoConnection);
}

void QxObjectConnectionsTracker::disconnectFromAllSignals()
{
    // A copy: a sender's disconnectNotify() may record further connections.
    const QList<TrackedConnection> connections = m_connections;
    for (const TrackedConnection &connection : connections) {
        // Qt would read a destroyed sender's memory; its connections died with it.
        if (!connection.senderGuard)
            continue;
        const QByteArray slotText = connection.info.slot.toUtf8();
        const QByteArray signalText = connection.info.signal.toUtf8();
        QObject::disconnect(connection.info.sender, signalText.constData(), parent(),
                            slotText.constData());
    }
}
