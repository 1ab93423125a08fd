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
    forgetDestroyedSenders(nullptr);
    QMetaObject::Connection lifeline;
    if (sender)
        lifeline = QObject::connect(sender, &QObject::destroyed, this,
                                    [this, sender] { forgetDestroyedSenders(sender); });
    m_connections.append({ { sender, signal, slot }, lifeline });
    const QByteArray slotText = slot.toUtf8();
    const QByteArray signalText = signal.toUtf8();
    QObject::connect(sender, signalText.constData(), parent(), slotText.constData(),
                     Qt::AutoConnection);
}

void QxObjectConnectionsTracker::disconnectFromAllSignals()
{
    forgetDestroyedSenders(nullptr);
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

// A record made while its sender was already going (from its destroyed()
// signal) is not told of the sender's end: Qt cut its lifeline without calling
// it. Such records are found by their lifeline and dropped here.
void QxObjectConnectionsTracker::forgetDestroyedSenders(const QObject *dying)
{
    const auto gone = [dying](const TrackedConnection &connection) {
        return !connection.senderLifeline || connection.info.sender == dying;
    };
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), gone),
                        m_connections.end());
}
