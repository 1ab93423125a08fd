#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "lumo_export.h"

/// Connects signals of other objects to slots of its parent and cuts all those
/// connections in one call.
///
/// The tracker must be created with a parent (checked by an assertion that
/// stays active in release builds); it lives and dies as the parent's child.
/// The receiver of every connection and disconnection is the parent at the
/// moment of the call. Destroying the tracker leaves its connections in place.
class LUMO_EXPORT QxObjectConnectionsTracker : public QObject
{
    Q_OBJECT
public:
    /// One connection made through connect(), with its texts exactly as given.
    struct SignalSlotConnectionInfo
    {
        const QObject *sender; ///< not owned
        QString signal; ///< the coded signal text, as given
        QString slot; ///< the coded slot text, as given
    };

    /// \a receiver becomes the parent: the object whose slots get connected.
    explicit QxObjectConnectionsTracker(QObject *receiver);
    ~QxObjectConnectionsTracker() override;

    /// Records the connection, then connects \a signal of \a sender to \a slot
    /// of parent() with Qt::AutoConnection. The texts are coded as Qt's
    /// SIGNAL() and SLOT() macros code them ("2clicked()", "1close()"); a
    /// connection that Qt refuses is recorded all the same, with Qt's warning
    /// as the only report.
    void connect(const QObject *sender, const QString &signal, const QString &slot);

    /// Cuts every connection recorded so far between its sender and parent().
    /// The records stay, so calling it again is harmless. The records of a
    /// sender are dropped once it is destroyed, also when connect() ran from
    /// its own destroyed() signal: Qt cut its connections with it.
    void disconnectFromAllSignals();

private:
    struct TrackedConnection
    {
        SignalSlotConnectionInfo info;
        // From the sender's destroyed() to the tracker: connected exactly as
        // long as the sender lives, and readable after it is gone.
        QMetaObject::Connection senderLifeline;
    };
    // Drops the records of every sender already destroyed.
    void forgetDestroyedSenders();

    QList<TrackedConnection> m_connections;
};
