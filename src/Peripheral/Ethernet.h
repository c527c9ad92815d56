#pragma once

#include "Common/MessageFrame.h"
#include "Model/IPv4.h"

#include <QJsonObject>
#include <QMetaEnum>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace manager {

class MqttClient;

// The wired interface of the network service: its live state, and its stored
// configuration, which the screens edit locally and save() publishes.
class Ethernet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString interface READ interface NOTIFY interfaceChanged)
    Q_PROPERTY(QString type READ type NOTIFY typeChanged)
    Q_PROPERTY(QString state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString reason READ reason NOTIFY reasonChanged)
    Q_PROPERTY(QString mac READ mac NOTIFY macChanged)
    Q_PROPERTY(QString method READ method WRITE setMethod NOTIFY methodChanged)
    Q_PROPERTY(IPv4 *ipv4 READ ipv4 NOTIFY ipv4Changed)
    Q_PROPERTY(IPv4 *config READ config NOTIFY configChanged)

public:
    // base is the network base topic; "/ethernet" is appended here.
    explicit Ethernet(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QString interface() const { return m_interface; }
    QString type() const { return m_type; }
    QString state() const { return m_state; }
    QString reason() const { return m_reason; }
    QString mac() const { return m_mac; }
    QString method() const { return m_method; }
    void setMethod(const QString &method);
    IPv4 *ipv4() { return &m_ipv4; }
    IPv4 *config() { return &m_config; }

    // For the configuration page: the same checks the barcode handler runs,
    // answered with the problem's name ("AddressEmpty", ...) or "" when none.
    Q_INVOKABLE QString check(const QString &method, const QVariantMap &fields) const
    {
        const IPv4::Problem problem = IPv4::check(method, fields);
        return problem == IPv4::NoProblem
            ? QString()
            : QString::fromLatin1(QMetaEnum::fromType<IPv4::Problem>().valueToKey(problem));
    }
    Q_INVOKABLE bool isAddress(const QString &text) const { return IPv4::isAddress(text); }

Q_SIGNALS:
    void interfaceChanged();
    void typeChanged();
    void stateChanged();
    void reasonChanged();
    void macChanged();
    void methodChanged();
    void ipv4Changed();
    void configChanged();

public Q_SLOTS:
    void save();
    void reset();

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);

private:
    void subscribe();
    void onStateReceived(const QJsonObject &object, const QString &topic);
    void onConfigReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QString m_interface;
    QString m_type;
    QString m_state;
    QString m_reason;
    QString m_mac;
    QString m_method;
    IPv4 m_ipv4;
    IPv4 m_config;
    MessageFrame m_frame;
};

} // namespace manager
