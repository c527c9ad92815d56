#pragma once

#include "Model/IPv4.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace manager {

// The network service's primary connection, as last reported.
class Connection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString interface READ interface NOTIFY interfaceChanged)
    Q_PROPERTY(QString state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString type READ type NOTIFY typeChanged)
    Q_PROPERTY(IPv4 *ipv4 READ ipv4 NOTIFY ipv4Changed)

public:
    explicit Connection(QObject *parent = nullptr);
    Connection(const QVariantMap &map, QObject *parent = nullptr);

    QString interface() const { return m_interface; }
    QString state() const { return m_state; }
    QString type() const { return m_type; }
    IPv4 *ipv4() { return &m_ipv4; }

    // Takes "interface", "stateStr", "typeStr" and "ipv4" as the service words them.
    void fromMap(const QVariantMap &map);

Q_SIGNALS:
    void interfaceChanged();
    void stateChanged();
    void typeChanged();
    void ipv4Changed();

private:
    QString m_interface;
    QString m_state;
    QString m_type;
    IPv4 m_ipv4;
};

} // namespace manager
