#include "Common/MqttClient.h"

#include "BrokerFixture.h"
#include "TestPeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLoggingCategory>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using manager::MqttClient;

namespace {

// Records every log line (and markers set by the tests) in arrival order.
class LogCapture
{
public:
    LogCapture()
    {
        s_lines.clear();
        s_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(s_previous); }

    static void mark(const QString &marker) { s_lines.append(marker); }
    QStringList lines() const { return s_lines; }
    int count(const QString &line) const { return s_lines.count(line); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        s_lines.append(message);
        if (s_previous)
            s_previous(type, context, message);
    }

    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

// Accepts TCP and, if given a reply, answers the client's first bytes with it
// (a CONNACK of our choice); otherwise it never says a word.
class FakeBroker : public QObject
{
public:
    explicit FakeBroker(QByteArray reply = {}) : m_reply(std::move(reply))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++m_accepted;
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    if (!m_reply.isEmpty())
                        socket->write(m_reply);
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int accepted() const { return m_accepted; }

private:
    QTcpServer m_server;
    QByteArray m_reply;
    int m_accepted = 0;
};

// Broker log lines "<client id> <qos> <filter>" of received subscriptions, in order.
QStringList brokerSubscriptions(const BrokerFixture &broker, const QString &clientId)
{
    QStringList result;
    const QRegularExpression re(QStringLiteral("^\\d+: ") + QRegularExpression::escape(clientId)
                                + QStringLiteral(" (\\d) (.*)$"));
    for (const QString &line : broker.log().split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = re.match(line);
        if (m.hasMatch())
            result.append(m.captured(2) + QLatin1Char('@') + m.captured(1));
    }
    return result;
}

const QString c_transportLine = QStringLiteral(
    "[MqttClient] Transport invalid: The underlying transport caused an error. For example, the connection "
    "might have been interrupted unexpectedly.");

} // namespace

class tst_MqttClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void publishOnlyWhenConnected();
    void subscriptionsPrecedeConnectedInRequestOrder();
    void portOutsideTcpIsRefused_data();
    void portOutsideTcpIsRefused();
    void brokerRestartRetriesEveryRetryMillisAndResubscribes();
    void silentServerAttemptIsCutAfterRetryMillis();
    void refusalsAreLoggedAndRetried_data();
    void refusalsAreLoggedAndRetried();
    void passwordBrokerRefusesWrongCredentialsUntilFixed();
    void lastWillIsPublishedRetainedOnAbruptLoss();
    void payloadsAndTopicsArriveUnchanged_data();
    void payloadsAndTopicsArriveUnchanged();
    void refusedSubscriptionsAndPublishesAreSignalled();
    void explicitDisconnectIsQuietAndReconnects();
    void disconnectFromConnectedSlotIsSafe();
    void clientDestroyedFromReceivedSlot();

private:
    std::unique_ptr<MqttClient> makeClient(const BrokerFixture &broker, int retryMillis = 100);

    BrokerFixture m_broker {QStringLiteral("log_type all")};
};

void tst_MqttClient::initTestCase()
{
    // Payload dumps are debug lines; the product runs at info level too.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QVERIFY(m_broker.start());
}

std::unique_ptr<MqttClient> tst_MqttClient::makeClient(const BrokerFixture &broker, int retryMillis)
{
    auto client = std::make_unique<MqttClient>();
    client->setHostname(broker.host());
    client->setPort(broker.port());
    client->setRetryMillis(retryMillis);
    return client;
}

void tst_MqttClient::publishOnlyWhenConnected()
{
    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.subscribe(QStringLiteral("pub/#")));

    // Before the first connect() and while an attempt hangs on a silent server.
    FakeBroker silent;
    MqttClient client;
    client.setPort(silent.port());
    QSignalSpy errors(&client, &MqttClient::error);
    QVERIFY(!client.publish("early", QStringLiteral("pub/a")));
    client.connect();
    QCOMPARE(client.state(), MqttClient::Connecting);
    QTRY_COMPARE(silent.accepted(), 1);
    QVERIFY(!client.publish("connecting", QStringLiteral("pub/a")));
    QCOMPARE(errors.count(), 0);

    // A name is resolved too; the encryption request is refused with a warning.
    LogCapture log;
    client.setHostname(QStringLiteral("localhost"));
    client.setPort(m_broker.port());
    client.setEncrypted(true);
    client.disconnect();
    QCOMPARE(client.state(), MqttClient::Disconnected);
    QVERIFY(!client.publish("disconnected", QStringLiteral("pub/a")));
    client.connect();
    QSignalSpy connected(&client, &MqttClient::connected);
    QVERIFY(connected.wait(5000));
    QCOMPARE(log.count(QStringLiteral("[MqttClient] Encryption not yet supported")), 1);
    QVERIFY(client.publish("now", QStringLiteral("pub/a")));
    QVERIFY(peer.waitFor(QStringLiteral("pub/a")));
    QCOMPARE(peer.payloads(QStringLiteral("pub/a")), QList<QByteArray> {"now"});
    QCOMPARE(errors.count(), 0);
}

// The remembered subscriptions go out before the listeners of connected()
// publish anything, so an answer to what they publish is never missed.
void tst_MqttClient::subscriptionsPrecedeConnectedInRequestOrder()
{
    BrokerFixture broker(QStringLiteral("log_type all"));
    QVERIFY(broker.start());
    broker.stop(); // keeps the port: the client aims at a broker that is not there yet

    LogCapture log;
    auto client = makeClient(broker);
    client->setClientId(QStringLiteral("order-ui"));
    QObject::connect(client.get(), &MqttClient::connected, [&client] {
        LogCapture::mark(QStringLiteral("<connected>"));
        client->publish("hello", QStringLiteral("svc/presence"));
    });
    client->subscribe(QStringLiteral("svc/b"));
    client->subscribe(QStringLiteral("svc/a"), 1);
    client->subscribe(QStringLiteral("svc/b"));
    client->connect();
    QSignalSpy disconnected(client.get(), &MqttClient::disconnected);
    QVERIFY(disconnected.wait(5000)); // refused at least once
    QVERIFY(log.count(c_transportLine) >= 1);

    QVERIFY(broker.start());
    QSignalSpy connected(client.get(), &MqttClient::connected);
    QVERIFY(connected.wait(5000));
    const QStringList expected {QStringLiteral("[MqttClient] Connected to broker 127.0.0.1"),
                                QStringLiteral("[MqttClient] Subscribing to 'svc/b' with QoS = 0"),
                                QStringLiteral("[MqttClient] Subscribing to 'svc/a' with QoS = 1"),
                                QStringLiteral("[MqttClient] Subscribing to 'svc/b' with QoS = 0"),
                                QStringLiteral("<connected>")};
    const QStringList lines = log.lines();
    const QStringList afterConnect = lines.mid(lines.indexOf(expected.first()));
    QCOMPARE(afterConnect.mid(0, expected.size()), expected);

    const QStringList sent {QStringLiteral("svc/b@0"), QStringLiteral("svc/a@1"), QStringLiteral("svc/b@0")};
    QTRY_COMPARE(brokerSubscriptions(broker, QStringLiteral("order-ui")), sent);
    // On the wire as well: the broker had every subscription before the publish.
    QTRY_VERIFY(broker.log().contains(QStringLiteral("Received PUBLISH from order-ui")));
    const QString wire = broker.log();
    QVERIFY(wire.lastIndexOf(QStringLiteral("Received SUBSCRIBE from order-ui"))
            < wire.indexOf(QStringLiteral("Received PUBLISH from order-ui")));
}

void tst_MqttClient::portOutsideTcpIsRefused_data()
{
    QTest::addColumn<uint>("port");
    QTest::newRow("0") << 0u;
    QTest::newRow("65536") << 65536u;
}

// libmosquitto takes port 0 for a local socket named after the host: a socket
// of that name here must never see a connection.
void tst_MqttClient::portOutsideTcpIsRefused()
{
    QFETCH(uint, port);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QLocalServer local;
    QVERIFY(local.listen(dir.filePath(QStringLiteral("127.0.0.1"))));

    LogCapture log;
    MqttClient client;
    client.setHostname(QStringLiteral("127.0.0.1"));
    client.setPort(port);
    client.setRetryMillis(100);
    QSignalSpy disconnected(&client, &MqttClient::disconnected);
    client.connect();
    QVERIFY(disconnected.wait(5000));
    QVERIFY(disconnected.wait(5000)); // and so on, every retry
    QDir::setCurrent(previous);

    QVERIFY(!local.hasPendingConnections());
    const QString warning = QStringLiteral("[MqttClient] WARN: Invalid broker port : %1 (1 to 65535), not "
                                           "connecting to 127.0.0.1")
                                .arg(port);
    QVERIFY2(log.count(warning) >= 2, qPrintable(log.lines().join(QLatin1Char('\n'))));
    QVERIFY(log.count(c_transportLine) >= 2);
    QCOMPARE(client.state(), MqttClient::Disconnected);
}

void tst_MqttClient::brokerRestartRetriesEveryRetryMillisAndResubscribes()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    auto client = makeClient(broker, 3000);
    client->subscribe(QStringLiteral("r/one"));
    client->subscribe(QStringLiteral("r/two"));
    QSignalSpy connected(client.get(), &MqttClient::connected);
    client->connect();
    QVERIFY(connected.wait(5000));

    QElapsedTimer clock;
    QVector<qint64> losses;
    QObject::connect(client.get(), &MqttClient::disconnected, [&] { losses.append(clock.elapsed()); });
    LogCapture log;
    clock.start();
    broker.stop();
    // The loss, then two attempts refused at once, each retryMillis after the last.
    QTRY_VERIFY_WITH_TIMEOUT(losses.size() >= 3, 12000);
    QCOMPARE(client->state(), MqttClient::Disconnected);
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = losses.at(i) - losses.at(i - 1);
        QVERIFY2(gap >= 2990 && gap <= 4500, qPrintable(QString::number(gap)));
    }
    QVERIFY(log.count(c_transportLine) >= 3);

    QVERIFY(broker.start());
    QVERIFY(connected.wait(8000));
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QSignalSpy received(client.get(), &MqttClient::received);
    QVERIFY(peer.publish(QStringLiteral("r/one"), "1"));
    QVERIFY(peer.publish(QStringLiteral("r/two"), "2"));
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("r/one"));
    QCOMPARE(received.at(1).at(1).toByteArray(), QByteArray("r/two"));
}

void tst_MqttClient::silentServerAttemptIsCutAfterRetryMillis()
{
    FakeBroker silent;
    MqttClient client;
    client.setPort(silent.port());
    LogCapture log;
    QElapsedTimer clock;
    QVector<qint64> cuts;
    QObject::connect(&client, &MqttClient::disconnected, [&] { cuts.append(clock.elapsed()); });

    clock.start();
    client.connect();
    // Cut at 3000 ms after Connecting, retried 3000 ms later, cut again 3000 ms after that.
    QTRY_VERIFY_WITH_TIMEOUT(cuts.size() >= 2, 15000);
    QVERIFY2(cuts.at(0) >= 2990 && cuts.at(0) <= 4500, qPrintable(QString::number(cuts.at(0))));
    const qint64 cycle = cuts.at(1) - cuts.at(0);
    QVERIFY2(cycle >= 5990 && cycle <= 7500, qPrintable(QString::number(cycle)));
    QCOMPARE(silent.accepted(), 2);
    QCOMPARE(log.count(c_transportLine), 2);
}

void tst_MqttClient::refusalsAreLoggedAndRetried_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("line");

    const auto connack = [](char code) {
        return QByteArray("\x20\x02\x00", 3) + code;
    };
    QTest::newRow("protocol version")
        << connack(1)
        << QStringLiteral("Invalid protocol version: 4. Broker does not accept a "
                          "connection using the specified protocol version.");
    QTest::newRow("id rejected") << connack(2)
                                 << QStringLiteral(
                                        "Id rejected: ui-7. The client ID is malformed. This might "
                                        "be related to its length.");
    QTest::newRow("server unavailable")
        << connack(3)
        << QStringLiteral(
               "Server unavailable: 127.0.0.1:%1. The network connection has been established, but "
               "the service is unavailable on the broker side.");
    QTest::newRow("bad credentials") << connack(4)
                                     << QStringLiteral(
                                            "Bad username or password. The data in the username or "
                                            "password is malformed.");
    QTest::newRow("not authorized") << connack(5)
                                    << QStringLiteral("Not authorized: ui-7. The client is not authorized to "
                                                      "connect.");
    const QString violation = QStringLiteral("Protocol violation:The client encountered a protocol "
                                             "violation, and therefore closed the connection.");
    QTest::newRow("unknown return code") << connack(6) << violation;
    QTest::newRow("not a connack") << QByteArray("\xf0\x00", 2) << violation;
}

void tst_MqttClient::refusalsAreLoggedAndRetried()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, line);

    FakeBroker fake(reply);
    MqttClient client;
    client.setPort(fake.port());
    client.setClientId(QStringLiteral("ui-7"));
    client.setRetryMillis(100);
    QSignalSpy errors(&client, &MqttClient::error);
    QSignalSpy connected(&client, &MqttClient::connected);
    LogCapture log;
    client.connect();

    const QString expected = QStringLiteral("[MqttClient] ") + line.arg(fake.port());
    QTRY_VERIFY(log.count(expected) >= 2); // refused, and tried again
    QVERIFY(fake.accepted() >= 2);
    QCOMPARE(connected.count(), 0);
    QVERIFY(errors.count() >= 2);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Mqtt client error"));
    QCOMPARE(log.count(c_transportLine), 0);
}

void tst_MqttClient::passwordBrokerRefusesWrongCredentialsUntilFixed()
{
    BrokerFixture broker;
    const QString passwords = broker.writePasswordFile(QStringLiteral("ui"), QStringLiteral("s3cret"));
    broker.setExtraConfig(QStringLiteral("password_file ") + passwords);
    QVERIFY(broker.start());

    auto client = makeClient(broker);
    client->setClientId(QStringLiteral("pw-ui"));
    client->setUsername(QStringLiteral("ui"));
    client->setPassword(QStringLiteral("wrong"));
    QSignalSpy connected(client.get(), &MqttClient::connected);
    LogCapture log;
    client->connect();
    const QString refused
        = QStringLiteral("[MqttClient] Not authorized: pw-ui. The client is not authorized to connect.");
    QTRY_VERIFY(log.count(refused) >= 2);
    QCOMPARE(connected.count(), 0);

    // The owner hands new credentials over and asks again; they hold from the next attempt.
    client->setPassword(QStringLiteral("s3cret"));
    client->connect();
    QVERIFY(connected.wait(5000));
    QCOMPARE(client->state(), MqttClient::Connected);
}

void tst_MqttClient::lastWillIsPublishedRetainedOnAbruptLoss()
{
    const QString willTopic = QStringLiteral("will/ui/status");
    const QByteArray will = "{\n    \"service\": false\n}\n";
    TestPeer watcher;
    QVERIFY(watcher.connectTo(m_broker.port()));
    QVERIFY(watcher.subscribe(willTopic, 2));

    auto client = makeClient(m_broker);
    client->setClientId(QStringLiteral("will-ui"));
    client->setWillTopic(willTopic);
    client->setWillMessage(will);
    QSignalSpy connected(client.get(), &MqttClient::connected);
    client->connect();
    QVERIFY(connected.wait(5000));
    // Clean session, keep-alive 5 s, MQTT 3.1.1, will with QoS 2 and retain.
    QVERIFY(m_broker.log().contains(QStringLiteral(" as will-ui (p2, c1, k5).")));
    QVERIFY(m_broker.log().contains(
        QStringLiteral("Will message specified (%1 bytes) (r1, q2).").arg(will.size())));
    QCOMPARE(watcher.count(willTopic), 0);

    client.reset(); // gone without a DISCONNECT, as a crash would leave it
    QVERIFY(watcher.waitFor(willTopic));
    QCOMPARE(watcher.payloads(willTopic), QList<QByteArray> {will});

    TestPeer late;
    QVERIFY(late.connectTo(m_broker.port()));
    QVERIFY(late.subscribe(willTopic));
    QVERIFY(late.waitFor(willTopic));
    QVERIFY(late.messages(willTopic).at(0).retain);
    QCOMPARE(late.messages(willTopic).at(0).payload, will);
    QVERIFY(late.publish(willTopic, QByteArray(), true)); // clear the retained will
}

void tst_MqttClient::payloadsAndTopicsArriveUnchanged_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");

    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    QByteArray large(8 * 1024 * 1024, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (char &c : large) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    QTest::newRow("binary") << QStringLiteral("bytes/raw") << allBytes;
    QTest::newRow("utf-8 topic and text")
        << QStringLiteral("bytes/zähler/✓/日本") << QStringLiteral("Grüße, ✓ 日本").toUtf8();
    QTest::newRow("empty") << QStringLiteral("bytes/empty") << QByteArray();
    QTest::newRow("8 MiB") << QStringLiteral("bytes/large") << large;
}

void tst_MqttClient::payloadsAndTopicsArriveUnchanged()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);

    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.subscribe(QStringLiteral("back/#")));
    auto client = makeClient(m_broker);
    client->subscribe(QStringLiteral("bytes/#"));
    QSignalSpy connected(client.get(), &MqttClient::connected);
    QSignalSpy received(client.get(), &MqttClient::received);
    client->connect();
    QVERIFY(connected.wait(5000));
    // The subscription must be active before the peer publishes: round-trip through it.
    QVERIFY(client->publish("ping", QStringLiteral("bytes/ping")));
    QTRY_COMPARE(received.count(), 1);

    QVERIFY(peer.publish(topic, payload));
    QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 20000);
    QCOMPARE(received.at(1).at(1).toByteArray(), topic.toUtf8());
    QCOMPARE(received.at(1).at(0).toByteArray(), payload);

    const QString back = QStringLiteral("back/") + topic;
    QVERIFY(client->publish(payload, back));
    QVERIFY(peer.waitFor(back, 20000));
    QCOMPARE(peer.payloads(back).at(0), payload);
}

void tst_MqttClient::refusedSubscriptionsAndPublishesAreSignalled()
{
    auto client = makeClient(m_broker);
    QSignalSpy connected(client.get(), &MqttClient::connected);
    QSignalSpy errors(client.get(), &MqttClient::error);
    client->subscribe(QStringLiteral("bad/#/filter"));
    client->subscribe(QStringLiteral("good/filter"));
    client->connect();
    QVERIFY(connected.wait(5000));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Subscription to bad/#/filter failed."));

    // A wildcard is no topic to publish to; the failure is not retried.
    QVERIFY(!client->publish("x", QStringLiteral("good/+")));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Publish to good/+ failed."));

    // The refused subscription stays remembered and is tried on every connection.
    client->disconnect();
    QVERIFY(connected.wait(5000));
    QTRY_COMPARE(errors.count(), 3);
    QCOMPARE(errors.at(2).at(0).toString(), QStringLiteral("Subscription to bad/#/filter failed."));
    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QSignalSpy received(client.get(), &MqttClient::received);
    QVERIFY(peer.publish(QStringLiteral("good/filter"), "still here"));
    QVERIFY(received.wait(5000));
}

void tst_MqttClient::explicitDisconnectIsQuietAndReconnects()
{
    auto client = makeClient(m_broker);
    client->subscribe(QStringLiteral("quiet/t"));
    QSignalSpy connected(client.get(), &MqttClient::connected);
    QSignalSpy disconnected(client.get(), &MqttClient::disconnected);
    QSignalSpy errors(client.get(), &MqttClient::error);
    client->connect();
    QVERIFY(connected.wait(5000));

    LogCapture log;
    client->disconnect();
    QTRY_COMPARE(disconnected.count(), 1);
    QCOMPARE(errors.count(), 0);
    QVERIFY(log.count(QStringLiteral("[MqttClient] Disconnected from broker 127.0.0.1")) == 1);
    QVERIFY(connected.wait(5000)); // the supervision brings it back
    QTRY_VERIFY(log.count(QStringLiteral("[MqttClient] Subscribing to 'quiet/t' with QoS = 0")) == 1);
    QCOMPARE(errors.count(), 0);
}

void tst_MqttClient::disconnectFromConnectedSlotIsSafe()
{
    auto client = makeClient(m_broker);
    client->subscribe(QStringLiteral("slot/t"));
    QSignalSpy errors(client.get(), &MqttClient::error);
    QSignalSpy received(client.get(), &MqttClient::received);
    int connections = 0;
    QObject::connect(client.get(), &MqttClient::connected, client.get(), [&] {
        if (++connections == 1)
            client->disconnect();
    });
    client->connect();
    QTRY_COMPARE(connections, 2);
    QCOMPARE(client->state(), MqttClient::Connected);
    // The renewal came before the slot closed the connection: nothing failed.
    QCOMPARE(errors.count(), 0);

    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.publish(QStringLiteral("slot/t"), "x"));
    QVERIFY(received.wait(5000));
}

void tst_MqttClient::clientDestroyedFromReceivedSlot()
{
    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.subscribe(QStringLiteral("burst/#")));
    QPointer<MqttClient> client = new MqttClient;
    client->setPort(m_broker.port());
    client->subscribe(QStringLiteral("burst/m"));
    QSignalSpy connected(client.data(), &MqttClient::connected);
    int seen = 0;
    QObject::connect(client.data(), &MqttClient::received, [&] {
        ++seen;
        delete client.data();
    });
    client->connect();
    QVERIFY(connected.wait(5000));
    // Sent after the subscription, so the broker has it once this arrives.
    QVERIFY(client->publish("sync", QStringLiteral("burst/sync")));
    QVERIFY(peer.waitFor(QStringLiteral("burst/sync")));

    // The client goes away on the first message while the rest of the burst
    // is still waiting in its socket.
    for (int i = 0; i < 50; ++i)
        QVERIFY(peer.publish(QStringLiteral("burst/m"), QByteArray::number(i)));
    QTRY_VERIFY(client.isNull());
    QVERIFY(peer.waitFor(QStringLiteral("burst/m"), 5000, 50));
    QCOMPARE(seen, 1);
}

QTEST_GUILESS_MAIN(tst_MqttClient)
#include "tst_MqttClient.moc"
