#include "BrokerFixture.h"
#include "ProxyProbe.h"
#include "TestPeer.h"

#include "Common/MqttClient.h"
#include "Peripheral/Board.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <climits>

using manager::Board;
using manager::MqttClient;

namespace {

const QString c_base = QStringLiteral("vorn/board");

void deliver(MqttClient &client, const QString &suffix, const QByteArray &payload)
{
    emit client.received(payload, (c_base + suffix).toUtf8());
}

const QByteArray c_fullStatus = R"({"service": true, "device": {"active": true, "ignition": false,
    "poleId": "P-17", "temperature": 41.5, "voltage": 24.25, "uptime": 3600,
    "hardwareStatus": {"rtcFailed": true}}})";

// One message on every subscribed topic, each moving its state away from the defaults.
void prime(MqttClient &client)
{
    deliver(client, QStringLiteral("/status"), c_fullStatus);
    deliver(client, QStringLiteral("/info"),
            R"({"device": {"firmwareVersion": "fw1", "hardwareId": "hw-id", "hardwareVersion": "rev2"},
                "service": {"version": "1.4"}})");
    deliver(client, QStringLiteral("/display"), R"({"brightness": 70, "sensor": 33, "mode": "auto"})");
    deliver(client, QStringLiteral("/power"), R"({"display": true, "touch": true})");
    deliver(client, QStringLiteral("/audio"), R"({"mute": true})");
    deliver(client, QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 45}})");
    deliver(client, QStringLiteral("/event"), R"({"name": "IgnitionChanged", "data": 0})");
}

QVariantMap state(const Board &board)
{
    QVariantMap values = snapshot(&board);
    values.insert(QStringLiteral("status()"), board.status());
    values.insert(QStringLiteral("uptime()"), board.uptime());
    return values;
}

} // namespace

class tst_Board : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusMessage_data();
    void statusMessage();
    void repeatedMessagesEmitNothing();
    void fractionalNumbersAreRounded();
    void ignitionEvent_data();
    void ignitionEvent();
    void stateMessages();
    void powerAndPeripheralList();
    void writingPeripheralsChangesNothing();
    void badPayloads_data();
    void badPayloads();
    void ignoresOtherTopics();
    void requestsThroughBroker();
};

void tst_Board::statusMessage_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("deviceKept"); // the primed device values stay as they were
    QTest::addColumn<QStringList>("expectedSignals");

    QTest::newRow("service false") << QByteArray(
        R"({"service": false, "device": {"active": true, "poleId": "X"}})")
                                   << "offline" << true << QStringList {"statusChanged"};
    QTest::newRow("service absent") << QByteArray(R"({"device": {"active": true}})") << "offline" << true
                                    << QStringList {"statusChanged"};
    QTest::newRow("service not a boolean") << QByteArray(R"({"service": "yes", "device": {"active": true}})")
                                           << "offline" << true << QStringList {"statusChanged"};
    QTest::newRow("inactive device") << QByteArray(
        R"({"service": true, "device": {"active": false, "ignition": true, "poleId": "X"}})")
                                     << "error" << true << QStringList {"statusChanged"};
    QTest::newRow("device absent") << QByteArray(R"({"service": true})") << "error" << true
                                   << QStringList {"statusChanged"};
    // An active device without its values clears them: absent members read as defaults.
    QTest::newRow("active, values absent")
        << QByteArray(R"({"service": true, "device": {"active": true}})") << "online" << false
        << QStringList {"poleIdChanged", "temperatureChanged", "voltageChanged", "uptimeChanged",
                        "rtcFailedChanged"};
}

void tst_Board::statusMessage()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, status);
    QFETCH(bool, deviceKept);
    QFETCH(QStringList, expectedSignals);

    MqttClient client;
    Board board(client, c_base);
    deliver(client, QStringLiteral("/status"), c_fullStatus);
    QCOMPARE(board.status(), QStringLiteral("online"));
    QCOMPARE(board.ignition(), false);
    QCOMPARE(board.poleId(), QStringLiteral("P-17"));
    QCOMPARE(board.temperature(), 41.5);
    QCOMPARE(board.voltage(), 24.25);
    QCOMPARE(board.uptime(), 3600);
    QCOMPARE(board.rtcFailed(), true);

    AllSignals all(&board);
    const QVariantMap before = state(board);
    deliver(client, QStringLiteral("/status"), payload);

    QCOMPARE(board.status(), status);
    QCOMPARE(all.fired(), expectedSignals);
    if (deviceKept) {
        QVariantMap after = state(board);
        after.remove(QStringLiteral("status()"));
        QVariantMap expected = before;
        expected.remove(QStringLiteral("status()"));
        QCOMPARE(after, expected);
    } else {
        QCOMPARE(board.ignition(), false);
        QCOMPARE(board.poleId(), QString());
        QCOMPARE(board.temperature(), 0.0);
        QCOMPARE(board.voltage(), 0.0);
        QCOMPARE(board.uptime(), 0);
        QCOMPARE(board.rtcFailed(), false);
    }
}

void tst_Board::repeatedMessagesEmitNothing()
{
    MqttClient client;
    Board board(client, c_base);
    prime(client);

    AllSignals all(&board);
    deliver(client, QStringLiteral("/status"), c_fullStatus);
    deliver(client, QStringLiteral("/display"), R"({"brightness": 70, "sensor": 33, "mode": "auto"})");
    deliver(client, QStringLiteral("/power"), R"({"display": true, "touch": true})");
    deliver(client, QStringLiteral("/audio"), R"({"mute": true})");
    deliver(client, QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 45}})");
    QCOMPARE(all.fired(), QStringList());
}

// A service that reports 55.5 means about 56, not 0.
void tst_Board::fractionalNumbersAreRounded()
{
    MqttClient client;
    Board board(client, c_base);
    prime(client);

    deliver(client, QStringLiteral("/status"), QByteArray(c_fullStatus).replace("3600", "3600.6"));
    deliver(client, QStringLiteral("/display"), R"({"brightness": 55.5, "sensor": 33.4, "mode": "auto"})");
    deliver(client, QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 90.5}})");
    QCOMPARE(board.uptime(), 3601);
    QCOMPARE(board.displayBrightness(), 56);
    QCOMPARE(board.ambientLightSensor(), 33);
    QCOMPARE(board.delayShutdownFor(), 91);

    // Beyond what an int holds: the end of the range, never a wrapped value.
    deliver(client, QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 1e12}})");
    QCOMPARE(board.delayShutdownFor(), INT_MAX);
}

void tst_Board::ignitionEvent_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("ignition");

    QTest::newRow("number 0") << QByteArray(R"({"name": "IgnitionChanged", "data": 0})") << false;
    QTest::newRow("text 0") << QByteArray(R"({"name": "IgnitionChanged", "data": "0"})") << false;
    QTest::newRow("boolean false") << QByteArray(R"({"name": "IgnitionChanged", "data": false})") << false;
    QTest::newRow("number 1") << QByteArray(R"({"name": "IgnitionChanged", "data": 1})") << true;
    QTest::newRow("boolean true") << QByteArray(R"({"name": "IgnitionChanged", "data": true})") << true;
    QTest::newRow("text off") << QByteArray(R"({"name": "IgnitionChanged", "data": "off"})") << true;
    QTest::newRow("text 00") << QByteArray(R"({"name": "IgnitionChanged", "data": "00"})") << true;
    QTest::newRow("data absent") << QByteArray(R"({"name": "IgnitionChanged"})") << true;
    QTest::newRow("data null") << QByteArray(R"({"name": "IgnitionChanged", "data": null})") << true;
}

void tst_Board::ignitionEvent()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, ignition);

    for (const bool start : {true, false}) {
        MqttClient client;
        Board board(client, c_base);
        if (!start)
            deliver(client, QStringLiteral("/event"), R"({"name": "IgnitionChanged", "data": 0})");
        QCOMPARE(board.ignition(), start);

        QSignalSpy changed(&board, &Board::ignitionChanged);
        deliver(client, QStringLiteral("/event"), payload);
        QCOMPARE(board.ignition(), ignition);
        // Announced on every event, also when the state stays the same.
        QCOMPARE(changed.count(), 1);
    }
}

void tst_Board::stateMessages()
{
    MqttClient client;
    Board board(client, c_base);
    QCOMPARE(board.audioEnabled(), true);
    QVERIFY(board.info().isEmpty());

    AllSignals all(&board);
    deliver(client, QStringLiteral("/info"),
            R"({"device": {"firmwareVersion": "fw1", "hardwareId": "hw-id", "hardwareVersion": "rev2"},
                "service": {"version": "1.4"}})");
    deliver(client, QStringLiteral("/display"), R"({"brightness": 70, "sensor": 33, "mode": "auto"})");
    deliver(client, QStringLiteral("/audio"), R"({"mute": true})");
    deliver(client, QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 45}})");
    deliver(client, QStringLiteral("/event"), R"({"name": "DoorOpened", "data": 0})");

    QCOMPARE(board.info(),
             (QVariantMap {
                 {"firmware", "fw1"}, {"hardwareId", "hw-id"}, {"hardware", "rev2"}, {"version", "1.4"}}));
    QCOMPARE(board.displayBrightness(), 70);
    QCOMPARE(board.ambientLightSensor(), 33);
    QCOMPARE(board.displayBrightnessMode(), QStringLiteral("auto"));
    QCOMPARE(board.audioEnabled(), false);
    QCOMPARE(board.delayShutdownFor(), 45);
    QCOMPARE(board.ignition(), true); // other events are only logged
    QCOMPARE(all.fired(),
             (QStringList {"infoChanged", "audioEnabledChanged", "displayBrightnessChanged",
                           "displayBrightnessModeChanged", "ambientLightSensorChanged",
                           "delayShutdownForChanged"}));

    // Info is announced on every message, changed or not.
    all.clear();
    deliver(client, QStringLiteral("/info"), R"({"device": {"firmwareVersion": "fw1"}})");
    QCOMPARE(all.fired(), QStringList {"infoChanged"});
    QCOMPARE(board.info().value("hardwareId"), QVariant(QString()));
}

void tst_Board::powerAndPeripheralList()
{
    MqttClient client;
    Board board(client, c_base);
    QVERIFY(board.peripherals().isEmpty());

    QSignalSpy power(&board, &Board::peripheralPowerChanged);
    QSignalSpy list(&board, &Board::peripheralsChanged);
    deliver(client, QStringLiteral("/power"),
            R"({"touch": true, "display": false, "gpsModem": true, "ftdi": null})");

    QCOMPARE(power.count(), 3);
    // Ascending order of names, whatever the order in the message.
    QCOMPARE(power.at(0), (QVariantList {"display", false}));
    QCOMPARE(power.at(1), (QVariantList {"gpsModem", true}));
    QCOMPARE(power.at(2), (QVariantList {"touch", true}));
    QCOMPARE(list.count(), 1);

    const QVariantList expected {
        QVariantMap {{"item", "display"}, {"descr", "Display"}, {"value", false}},
        QVariantMap {{"item", "gpsModem"}, {"descr", ""}, {"value", true}},
        QVariantMap {{"item", "touch"}, {"descr", "Touch"}, {"value", true}},
    };
    QCOMPARE(board.peripherals(), expected);
    QCOMPARE(board.peripheralPower("touch"), true);
    QCOMPARE(board.peripheralPower("display"), false);
    QCOMPARE(board.peripheralPower("ftdi"), false); // null was skipped, never stored
    QCOMPARE(board.peripherals(), expected); // reading changes nothing

    // Only real changes count; members not in the message keep their state.
    power.clear();
    list.clear();
    deliver(client, QStringLiteral("/power"), R"({"touch": true, "display": false})");
    QCOMPARE(power.count(), 0);
    QCOMPARE(list.count(), 0);
    deliver(client, QStringLiteral("/power"), R"({"display": true})");
    QCOMPARE(power.count(), 1);
    QCOMPARE(power.at(0), (QVariantList {"display", true}));
    QCOMPARE(list.count(), 1);
    QCOMPARE(board.peripherals().size(), 3);
    QCOMPARE(board.peripherals().at(0).toMap().value("value"), QVariant(true));
}

void tst_Board::writingPeripheralsChangesNothing()
{
    MqttClient client;
    Board board(client, c_base);
    deliver(client, QStringLiteral("/power"), R"({"touch": true})");
    const QVariantList before = board.peripherals();

    QSignalSpy list(&board, &Board::peripheralsChanged);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^\\[Board\\] --- SET PERIPHERALS : ")));
    QVERIFY(board.setProperty("peripherals", QVariantList {QVariantMap {{"item", "usbHub"}}}));
    QCOMPARE(board.peripherals(), before);
    QCOMPARE(list.count(), 0);
}

void tst_Board::badPayloads_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("parses");

    for (const char *suffix : {"/info", "/status", "/config", "/display", "/power", "/audio", "/event"}) {
        const QByteArray name(suffix);
        QTest::newRow((name + " malformed").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"({"service": tru)") << false;
        QTest::newRow((name + " text").constData())
            << QString::fromLatin1(suffix) << QByteArray("online") << false;
        QTest::newRow((name + " empty").constData()) << QString::fromLatin1(suffix) << QByteArray() << true;
        QTest::newRow((name + " array").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"([true, {"service": true}])") << true;
    }
}

// A payload that is not JSON changes nothing and logs one critical line; an
// empty or array payload reads exactly like an empty object.
void tst_Board::badPayloads()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, payload);
    QFETCH(bool, parses);

    MqttClient client;
    Board board(client, c_base);
    prime(client);

    QVariantMap expected = state(board);
    if (parses) {
        MqttClient twinClient;
        Board twin(twinClient, c_base);
        prime(twinClient);
        deliver(twinClient, suffix, "{}");
        expected = state(twin);
    } else {
        QTest::ignoreMessage(
            QtCriticalMsg,
            QRegularExpression(QStringLiteral("^\\[Board\\] Failed to parse JSON message: \\S")));
    }
    deliver(client, suffix, payload);
    QCOMPARE(state(board), expected);
}

void tst_Board::ignoresOtherTopics()
{
    MqttClient client;
    Board board(client, c_base);
    const QVariantMap before = state(board);
    AllSignals all(&board);

    emit client.received(c_fullStatus, "vorn/other/status");
    emit client.received(c_fullStatus, "vorn/board/status/extra");
    emit client.received(c_fullStatus, "VORN/BOARD/status");
    // Contains the base, matches no suffix: dropped without a parse of interest.
    emit client.received(c_fullStatus, "site/vorn/board/status");
    // The base filter is a substring test: such a topic is parsed, then dropped.
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^\\[Board\\] Failed to parse")));
    emit client.received("not json", "site/vorn/board/status");
    emit client.received("not json", "vorn/other/status");
    QCOMPARE(all.fired(), QStringList());
    QCOMPARE(state(board), before);
}

void tst_Board::requestsThroughBroker()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QVERIFY(peer.subscribe(c_base + QStringLiteral("/#")));

    MqttClient client;
    client.setHostname(broker.host());
    client.setPort(broker.port());
    Board board(client, c_base);
    client.connect();

    // On connection: the four state requests, in order, each the two bytes "{}".
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/audio/get")));
    QStringList topics;
    for (const TestPeer::Message &m : peer.messages()) {
        topics.append(m.topic);
        QCOMPARE(m.payload, QByteArray("{}"));
        QCOMPARE(m.retain, false);
    }
    QCOMPARE(topics,
             (QStringList {c_base + "/status/get", c_base + "/display/get", c_base + "/power/get",
                           c_base + "/audio/get"}));

    // The service's state reaches the proxy through the broker.
    QSignalSpy status(&board, &Board::statusChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/status"), c_fullStatus));
    QVERIFY(status.wait());
    QCOMPARE(board.status(), QStringLiteral("online"));
    QCOMPARE(board.poleId(), QStringLiteral("P-17"));

    peer.clear();
    const QVariantMap before = state(board);
    board.setLedValid();
    board.setLedOff();
    board.playBuzzer(100, 200);
    board.setDisplayBrightness(80);
    board.setDisplayBrightnessMode(QStringLiteral("manual"));
    board.setAudioEnabled(false);
    board.setPeripheralPower(QStringLiteral("touch"), false);
    board.setDelayShutdownFor(0); // equal to the stored delay: nothing goes out
    board.setDelayShutdownFor(30);
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/config/set")));

    // No request changes a local value; the service's answer will.
    QCOMPARE(state(board), before);

    QCOMPARE(peer.payloads(c_base + "/led/off/request/1"), QList<QByteArray> {QByteArray()});
    QCOMPARE(peer.payloads(c_base + "/buzzer/play/request/1"),
             QList<QByteArray> {"{\n    \"offMsec\": 200,\n    \"onMsec\": 100,\n    \"repeat\": 0\n}\n"});
    QCOMPARE(peer.payloads(c_base + "/display/set"),
             (QList<QByteArray> {"{\n    \"brightness\": 80\n}\n", "{\n    \"mode\": \"manual\"\n}\n"}));
    QCOMPARE(peer.payloads(c_base + "/audio/set"), QList<QByteArray> {"{\n    \"mute\": true\n}\n"});
    QCOMPARE(peer.payloads(c_base + "/power/set"), QList<QByteArray> {"{\n    \"touch\": false\n}\n"});
    QCOMPARE(peer.payloads(c_base + "/config/set"),
             QList<QByteArray> {"{\n    \"device\": {\n        \"delayShutdownFor\": 30\n    }\n}\n"});

    const QList<QByteArray> led = peer.payloads(c_base + "/led/play/request/1");
    QCOMPARE(led.size(), 1);
    QVERIFY(led.first().startsWith("{\n    \"repeat\": 3,\n    \"steps\": [\n        {\n"));
    QCOMPARE(QJsonDocument::fromJson(led.first()), QJsonDocument::fromJson(R"({"repeat": 3, "steps": [
                 {"color": {"r": 0, "g": 255, "b": 0}, "duration": 100},
                 {"color": {"r": 0, "g": 0, "b": 0}, "duration": 50}]})"));

    // The delay changes when the service confirms it; the same value is then not sent again.
    QSignalSpy delay(&board, &Board::delayShutdownForChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/config"), R"({"device": {"delayShutdownFor": 30}})"));
    QVERIFY(delay.wait());
    QCOMPARE(board.delayShutdownFor(), 30);
    peer.clear();
    board.setDelayShutdownFor(30);
    board.setLedOff(); // marker: once it arrives, anything sent before it has arrived too
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/led/off/request/1")));
    QCOMPARE(peer.count(c_base + QStringLiteral("/config/set")), 0);

    // After a broker restart the state is asked for again, with nobody acting.
    QVERIFY(broker.restart());
    TestPeer after;
    QVERIFY(after.connectTo(broker.port()));
    QVERIFY(after.subscribe(c_base + QStringLiteral("/#")));
    QVERIFY(after.waitFor(c_base + QStringLiteral("/audio/get"), 15000));
    QCOMPARE(after.payloads(c_base + "/status/get"), QList<QByteArray> {"{}"});
}

QTEST_GUILESS_MAIN(tst_Board)
#include "tst_Board.moc"
