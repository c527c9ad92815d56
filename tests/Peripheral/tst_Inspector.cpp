#include "BrokerFixture.h"
#include "ProxyProbe.h"
#include "TestPeer.h"

#include "Common/MqttClient.h"
#include "Peripheral/Inspector.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <climits>

using manager::Inspector;
using manager::MqttClient;

namespace {

const QString c_base = QStringLiteral("vorn/inspector");

void deliver(MqttClient &client, const QString &suffix, const QByteArray &payload)
{
    emit client.received(payload, (c_base + suffix).toUtf8());
}

void prime(MqttClient &client)
{
    deliver(client, QStringLiteral("/info"), R"({"service": {"version": "2.1"}})");
    deliver(client, QStringLiteral("/status"), R"({"service": true})");
    deliver(client, QStringLiteral("/audio"), R"({"internal": {"volume": 65}})");
}

} // namespace

class tst_Inspector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusMessage_data();
    void statusMessage();
    void infoAndVolume();
    void badPayloads_data();
    void badPayloads();
    void scheduledShutdown();
    void delayOutOfRangeIsHeld_data();
    void delayOutOfRangeIsHeld();
    void rescheduleRestartsTheDelay();
    void abortStopsScheduledShutdown();
    void requestsThroughBroker();
};

void tst_Inspector::statusMessage_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("status");

    QTest::newRow("service true") << QByteArray(R"({"service": true})") << "online";
    QTest::newRow("service false") << QByteArray(R"({"service": false})") << "offline";
    QTest::newRow("service absent") << QByteArray("{}") << "offline";
    QTest::newRow("service as text") << QByteArray(R"({"service": "true"})") << "offline";
}

void tst_Inspector::statusMessage()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, status);

    MqttClient client;
    Inspector inspector(client, c_base);
    QCOMPARE(inspector.status(), QString());

    QSignalSpy changed(&inspector, &Inspector::statusChanged);
    deliver(client, QStringLiteral("/status"), payload);
    QCOMPARE(inspector.status(), status);
    QCOMPARE(changed.count(), 1);
    deliver(client, QStringLiteral("/status"), payload);
    QCOMPARE(changed.count(), 1);
}

void tst_Inspector::infoAndVolume()
{
    MqttClient client;
    Inspector inspector(client, c_base);
    AllSignals all(&inspector);

    prime(client);
    QCOMPARE(inspector.info(), (QVariantMap {{"version", "2.1"}}));
    QCOMPARE(inspector.audioVolume(), 65);
    QCOMPARE(all.fired(), (QStringList {"infoChanged", "statusChanged", "audioVolumeChanged"}));

    // Info is announced every time; the volume only when it changes.
    all.clear();
    prime(client);
    QCOMPARE(all.fired(), QStringList {"infoChanged"});

    // Statistics are requested but not read: the maps stay empty.
    deliver(client, QStringLiteral("/stats/cpu"), R"({"load": [0.5, 0.4], "cores": 4})");
    deliver(client, QStringLiteral("/stats/memory"), R"({"total": 1024, "free": 512})");
    deliver(client, QStringLiteral("/stats/disk"), R"({"/": {"size": 8}})");
    QCOMPARE(all.fired(), QStringList {"infoChanged"});
    QVERIFY(inspector.memory().isEmpty());
    QVERIFY(inspector.cpu().isEmpty());
    QVERIFY(inspector.disks().isEmpty());

    all.clear();
    deliver(client, QStringLiteral("/audio"), R"({"internal": {"volume": "80"}})");
    QCOMPARE(inspector.audioVolume(), 0);
    QCOMPARE(all.fired(), QStringList {"audioVolumeChanged"});

    // A fraction is rounded, not read as 0.
    deliver(client, QStringLiteral("/audio"), R"({"internal": {"volume": 55.5}})");
    QCOMPARE(inspector.audioVolume(), 56);
}

void tst_Inspector::badPayloads_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("parses");

    for (const char *suffix : {"/info", "/status", "/audio", "/stats/cpu", "/stats/memory", "/stats/disk"}) {
        const QByteArray name(suffix);
        QTest::newRow((name + " malformed").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"({"internal": {"volume": 3)") << false;
        QTest::newRow((name + " empty").constData()) << QString::fromLatin1(suffix) << QByteArray() << true;
        QTest::newRow((name + " array").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"([{"service": true}])") << true;
    }
}

void tst_Inspector::badPayloads()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, payload);
    QFETCH(bool, parses);

    MqttClient client;
    Inspector inspector(client, c_base);
    prime(client);

    QVariantMap expected = snapshot(&inspector);
    if (parses) {
        MqttClient twinClient;
        Inspector twin(twinClient, c_base);
        prime(twinClient);
        deliver(twinClient, suffix, "{}");
        expected = snapshot(&twin);
    } else {
        QTest::ignoreMessage(
            QtCriticalMsg,
            QRegularExpression(QStringLiteral("^\\[Inspector\\] Failed to parse JSON message: \\S")));
    }
    deliver(client, suffix, payload);
    QCOMPARE(snapshot(&inspector), expected);
}

void tst_Inspector::scheduledShutdown()
{
    MqttClient client;
    Inspector inspector(client, c_base);
    QSignalSpy started(&inspector, &Inspector::systemShutdownStarted);

    QElapsedTimer clock;
    clock.start();
    inspector.scheduleShutdown(1);
    QVERIFY(started.wait(5000));
    // A coarse timer may fire up to 5 % early.
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(started.count(), 1);

    // Zero seconds: announced on the next turn of the event loop, not within the call.
    started.clear();
    inspector.scheduleShutdown(0);
    QCOMPARE(started.count(), 0);
    QVERIFY(started.wait(1000));
}

void tst_Inspector::delayOutOfRangeIsHeld_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("held");

    QTest::newRow("negative") << -60 << 0;
    QTest::newRow("beyond a timer's milliseconds") << 2147484 << 2147483;
    QTest::newRow("int limit") << INT_MAX << 2147483;
}

// A negative delay would never fire and a large one would overflow the
// milliseconds: either way a parked vehicle would never shut down.
void tst_Inspector::delayOutOfRangeIsHeld()
{
    QFETCH(int, seconds);
    QFETCH(int, held);
    MqttClient client;
    Inspector inspector(client, c_base);
    QSignalSpy started(&inspector, &Inspector::systemShutdownStarted);

    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("[Inspector] WARN: Shutdown delay out of range : "
                                                   "%1 sec(s), using %2")
                                        .arg(seconds)
                                        .arg(held)));
    QTest::ignoreMessage(
        QtInfoMsg,
        qPrintable(QStringLiteral("[Inspector] Scheduling System shutdown in : %1 sec(s)").arg(held)));
    inspector.scheduleShutdown(seconds);
    if (held == 0) {
        QVERIFY(started.wait(1000));
    } else {
        QVERIFY(!started.wait(300));
        inspector.abortShutdown();
    }
}

void tst_Inspector::rescheduleRestartsTheDelay()
{
    MqttClient client;
    Inspector inspector(client, c_base);
    QSignalSpy started(&inspector, &Inspector::systemShutdownStarted);

    inspector.scheduleShutdown(1);
    QVERIFY(!started.wait(600));
    QElapsedTimer clock;
    clock.start();
    inspector.scheduleShutdown(1);
    QVERIFY(started.wait(5000));
    // Counted from the second call, not the first (which would fire about
    // 400 ms in). A coarse timer may fire up to 5 % early, and the clock
    // truncates to whole milliseconds: 949 was seen.
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!started.wait(1500));
    QCOMPARE(started.count(), 1);
}

void tst_Inspector::abortStopsScheduledShutdown()
{
    MqttClient client;
    Inspector inspector(client, c_base);
    QSignalSpy started(&inspector, &Inspector::systemShutdownStarted);

    inspector.scheduleShutdown(1);
    inspector.abortShutdown();
    QVERIFY(!started.wait(1500));
    QCOMPARE(started.count(), 0);
}

void tst_Inspector::requestsThroughBroker()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QVERIFY(peer.subscribe(c_base + QStringLiteral("/#")));

    MqttClient client;
    client.setHostname(broker.host());
    client.setPort(broker.port());
    Inspector inspector(client, c_base);
    client.connect();

    QVERIFY(peer.waitFor(c_base + QStringLiteral("/stats/cpu/get")));
    QStringList topics;
    for (const TestPeer::Message &m : peer.messages()) {
        topics.append(m.topic);
        QCOMPARE(m.payload, QByteArray("{}"));
        QCOMPARE(m.retain, false);
    }
    QCOMPARE(topics,
             (QStringList {c_base + "/audio/get", c_base + "/stats/memory/get", c_base + "/stats/disk/get",
                           c_base + "/stats/cpu/get"}));

    QSignalSpy volume(&inspector, &Inspector::audioVolumeChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/audio"), R"({"internal": {"volume": 40}})"));
    QVERIFY(volume.wait());
    QCOMPARE(inspector.audioVolume(), 40);

    peer.clear();
    inspector.setAudioVolume(80);
    inspector.audioPlay(QStringLiteral("/opt/vorn/tallyport/Valid.wav"));
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/audio/play")));
    QCOMPARE(inspector.audioVolume(), 40); // until the service reports the new volume
    QCOMPARE(peer.payloads(c_base + "/audio/set"),
             QList<QByteArray> {"{\n    \"internal\": {\n        \"volume\": 80\n    }\n}\n"});
    QCOMPARE(
        peer.payloads(c_base + "/audio/play"),
        QList<QByteArray> {
            "{\n    \"device\": \"internal\",\n    \"filepath\": \"/opt/vorn/tallyport/Valid.wav\"\n}\n"});

    // An announced reboot goes out two seconds later; aborting a scheduled
    // shutdown does not stop it.
    QSignalSpy rebootStarted(&inspector, &Inspector::systemRebootStarted);
    QElapsedTimer clock;
    clock.start();
    inspector.systemReboot();
    QCOMPARE(rebootStarted.count(), 1);
    inspector.abortShutdown();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/power/reboot/request/1"), 6000));
    QVERIFY2(clock.elapsed() >= 1800, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(peer.payloads(c_base + "/power/reboot/request/1"), QList<QByteArray> {QByteArray()});

    QSignalSpy shutdownStarted(&inspector, &Inspector::systemShutdownStarted);
    inspector.systemShutdown();
    QCOMPARE(shutdownStarted.count(), 1);
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/power/shutdown/request/1"), 6000));
    QCOMPARE(peer.payloads(c_base + "/power/shutdown/request/1"), QList<QByteArray> {QByteArray()});
}

QTEST_GUILESS_MAIN(tst_Inspector)
#include "tst_Inspector.moc"
