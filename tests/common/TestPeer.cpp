#include "TestPeer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>
#include <QUuid>

#include <mosquitto.h>

namespace {
struct LibInit
{
    LibInit() { mosquitto_lib_init(); }
};
} // namespace

TestPeer::TestPeer(QString clientId)
{
    static LibInit init;
    if (clientId.isEmpty())
        clientId = QStringLiteral("testpeer-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_mosq = mosquitto_new(clientId.toUtf8().constData(), true, this);
    mosquitto_message_callback_set(m_mosq, &TestPeer::onMessage);
    mosquitto_subscribe_callback_set(m_mosq, &TestPeer::onSubscribe);
    mosquitto_connect_callback_set(m_mosq, &TestPeer::onConnect);
}

TestPeer::~TestPeer()
{
    disconnect();
    mosquitto_destroy(m_mosq);
}

bool TestPeer::connectTo(quint16 port, const QString &host)
{
    if (mosquitto_connect(m_mosq, host.toUtf8().constData(), port, 30) != MOSQ_ERR_SUCCESS)
        return false;
    mosquitto_loop_start(m_mosq);
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_connected)
                return true;
        }
        QThread::msleep(5);
    }
    return false;
}

void TestPeer::disconnect()
{
    mosquitto_disconnect(m_mosq);
    // Not forced: cancelling the network thread can leave one of the
    // library's mutexes locked, and the next call on the handle then blocks
    // for good (seen after a broker restart). The disconnect request above
    // makes the thread return by itself.
    mosquitto_loop_stop(m_mosq, false);
    QMutexLocker lock(&m_mutex);
    m_connected = false;
}

bool TestPeer::subscribe(const QString &filter, int qos)
{
    int mid = 0;
    if (mosquitto_subscribe(m_mosq, &mid, filter.toUtf8().constData(), qos) != MOSQ_ERR_SUCCESS)
        return false;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_acked.contains(mid))
                return true;
        }
        QThread::msleep(2);
    }
    return false;
}

bool TestPeer::publish(const QString &topic, const QByteArray &payload, bool retain, int qos)
{
    return mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(), payload.size(), payload.constData(),
                             qos, retain)
        == MOSQ_ERR_SUCCESS;
}

QList<TestPeer::Message> TestPeer::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

QList<TestPeer::Message> TestPeer::messages(const QString &topic) const
{
    QList<Message> result;
    QMutexLocker lock(&m_mutex);
    for (const Message &m : m_messages) {
        if (m.topic == topic)
            result.append(m);
    }
    return result;
}

QList<QByteArray> TestPeer::payloads(const QString &topic) const
{
    QList<QByteArray> result;
    for (const Message &m : messages(topic))
        result.append(m.payload);
    return result;
}

int TestPeer::count(const QString &topic) const
{
    return messages(topic).size();
}

void TestPeer::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
}

bool TestPeer::waitFor(const QString &topic, int timeoutMs, int atLeast) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (count(topic) < atLeast) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void TestPeer::onMessage(mosquitto *, void *self, const mosquitto_message *msg)
{
    auto *peer = static_cast<TestPeer *>(self);
    Message m;
    m.topic = QString::fromUtf8(msg->topic);
    m.payload = QByteArray(static_cast<const char *>(msg->payload), msg->payloadlen);
    m.retain = msg->retain;
    QMutexLocker lock(&peer->m_mutex);
    peer->m_messages.append(m);
}

void TestPeer::onSubscribe(mosquitto *, void *self, int mid, int, const int *)
{
    auto *peer = static_cast<TestPeer *>(self);
    QMutexLocker lock(&peer->m_mutex);
    peer->m_acked.append(mid);
}

void TestPeer::onConnect(mosquitto *, void *self, int rc)
{
    auto *peer = static_cast<TestPeer *>(self);
    QMutexLocker lock(&peer->m_mutex);
    peer->m_connected = (rc == 0);
}
