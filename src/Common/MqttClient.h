#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <utility>

class QTimer;

namespace manager {

// The process's one MQTT connection, kept up for the life of the process.
// Subscriptions are remembered and renewed on every connection; publishing
// while not connected is dropped and reported only by the return value.
class MqttClient : public QObject
{
    Q_OBJECT

public:
    // Connection states and errors keep the names and numbers of the Qt MQTT
    // vocabulary that the rest of the system was written against.
    enum ClientState
    {
        Disconnected = 0,
        Connecting,
        Connected
    };
    Q_ENUM(ClientState)

    enum ClientError
    {
        NoError = 0,
        InvalidProtocolVersion = 1,
        IdRejected = 2,
        ServerUnavailable = 3,
        BadUsernameOrPassword = 4,
        NotAuthorized = 5,
        TransportInvalid = 256,
        ProtocolViolation = 257,
        UnknownError = 258
    };
    Q_ENUM(ClientError)

    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    void setHostname(const QString &hostname);
    void setPort(unsigned int port);
    void setUsername(const QString &username);
    void setPassword(const QString &password);
    void setRetryMillis(unsigned int millis);
    void setEncrypted(bool encrypted);
    void setCleanSession(bool cleanSession);
    void setClientId(const QString &clientId);
    void setKeepAlive(unsigned char seconds);
    void setWillMessage(const QByteArray &message);
    void setWillQoS(unsigned char qos);
    void setWillRetain(bool retain);
    void setWillTopic(const QString &topic);

    ClientState state() const;

public Q_SLOTS:
    void connect();
    void disconnect();
    void subscribe(const QString &topic, uchar qos = 0);
    bool publish(const QByteArray &data, const QString &topic, uchar qos = 0, bool retain = false);

Q_SIGNALS:
    void connected();
    void disconnected();
    void received(const QByteArray &data, const QByteArray &from);
    void error(const QString &error);

private:
    class Connection; // libmosquitto handle driven by the Qt event loop
    // Slots of the supervision (see the .cpp for the wiring).
    void onConnected();
    void onDisconnected();
    void onStateChanged(ClientState state);
    void onTimeout();
    void onReconnect();
    void onReceived(const QByteArray &message, const QByteArray &topic);
    void onError(ClientError error);
    void initClient();
    void initTimer();
    void doSubscribe(const QString &filter, quint8 qos);

    std::unique_ptr<Connection> client;
    std::unique_ptr<QTimer> connectionTimer;
    // One pending retry at most: a second loss restarts it instead of
    // starting a second chain of attempts.
    std::unique_ptr<QTimer> reconnectTimer;
    QVector<std::pair<QString, int>> subsTopics;
    QString hostname = QStringLiteral("127.0.0.1");
    quint32 port = 1883;
    QString username;
    QString password;
    int retryMillis = 3000;
    bool encrypted = false;
    bool cleanSession = true;
    QString clientId;
    quint8 keepAlive = 5;
    QByteArray willMessage;
    quint8 willQos = 2;
    bool willRetain = true;
    QString willTopic;
};

} // namespace manager
