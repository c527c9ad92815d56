#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

struct mosquitto;

// An MQTT participant for tests, built on plain libmosquitto with its own
// network thread, so that what the process under test publishes is observed
// independently of the project's own client.
class TestPeer
{
public:
    struct Message
    {
        QString topic;
        QByteArray payload;
        bool retain = false;
    };

    explicit TestPeer(QString clientId = {});
    ~TestPeer();

    bool connectTo(quint16 port, const QString &host = QStringLiteral("127.0.0.1"));
    void disconnect();
    // Blocks until the broker acknowledged the subscription.
    bool subscribe(const QString &filter, int qos = 0);
    bool publish(const QString &topic, const QByteArray &payload, bool retain = false, int qos = 0);

    QList<Message> messages() const;
    QList<Message> messages(const QString &topic) const;
    QList<QByteArray> payloads(const QString &topic) const;
    int count(const QString &topic) const;
    void clear();

    // Pumps the Qt event loop (the process under test lives there) until a
    // atLeast messages on topic have arrived or the timeout runs out.
    bool waitFor(const QString &topic, int timeoutMs = 5000, int atLeast = 1) const;

private:
    static void onMessage(mosquitto *, void *self, const struct mosquitto_message *msg);
    static void onSubscribe(mosquitto *, void *self, int mid, int, const int *);
    static void onConnect(mosquitto *, void *self, int rc);

    mosquitto *m_mosq = nullptr;
    mutable QMutex m_mutex;
    QList<Message> m_messages;
    QList<int> m_acked;
    bool m_connected = false;
};
