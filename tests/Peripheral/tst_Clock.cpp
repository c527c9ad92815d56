#include "BrokerFixture.h"
#include "ProxyProbe.h"
#include "TestPeer.h"

#include "Common/MqttClient.h"
#include "Peripheral/Clock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using manager::Clock;
using manager::MqttClient;

namespace {

const QString c_device = QStringLiteral("vorn/device");
const QString c_base = QStringLiteral("vorn/device/clock/ntp");

void deliver(MqttClient &client, const QString &suffix, const QByteArray &payload)
{
    emit client.received(payload, (c_base + suffix).toUtf8());
}

} // namespace

// The time and date command is the stand-in under tools/stand-ins/bin, put
// first on PATH; it prints recordings chosen by environment variables and
// appends each call's arguments to a file.
class tst_Clock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void zoneList();
    void commandUnusable_data();
    void commandUnusable();
    void zoneQuery_data();
    void zoneQuery();
    void setTimezone();
    void ntpMessages_data();
    void ntpMessages();
    void badPayloads_data();
    void badPayloads();
    void requestsThroughBroker();

private:
    QStringList calls() const;

    QTemporaryDir m_dir;
    QByteArray m_path;
    QString m_callsFile;
};

void tst_Clock::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_callsFile = m_dir.filePath(QStringLiteral("calls"));
    m_path = QByteArray(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:") + qgetenv("PATH");
    qputenv("TIMEDATECTL_STANDIN_ARGS", QFile::encodeName(m_callsFile));
}

void tst_Clock::init()
{
    qputenv("PATH", m_path);
    for (const char *name : {"TIMEDATECTL_STANDIN_STATUS", "TIMEDATECTL_STANDIN_ZONES",
                             "TIMEDATECTL_STANDIN_FAIL", "TIMEDATECTL_STANDIN_HANG"})
        qunsetenv(name);
    QFile::remove(m_callsFile);
}

QStringList tst_Clock::calls() const
{
    QFile file(m_callsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void tst_Clock::zoneList()
{
    MqttClient client;
    Clock clock(client, c_device);
    // Two names, each ending in a line feed: the trailing empty piece is kept.
    QCOMPARE(clock.timezones(), (QStringList {"Africa/Abidjan", "Europe/Vienna", ""}));
    QCOMPARE(calls(), QStringList {"--no-pager list-timezones"});

    // Read once: later reads and refreshes do not run the command again.
    clock.refresh();
    QCOMPARE(clock.timezones().size(), 3);
    QCOMPARE(calls().size(), 1);
}

void tst_Clock::commandUnusable_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<bool>("onPath");

    QTest::newRow("fails") << QByteArray("TIMEDATECTL_STANDIN_FAIL") << true;
    QTest::newRow("hangs") << QByteArray("TIMEDATECTL_STANDIN_HANG") << true;
    QTest::newRow("not installed") << QByteArray() << false;
}

// Whatever goes wrong with the command, the proxy gives its empty answers and
// never blocks much beyond the one-second bound.
void tst_Clock::commandUnusable()
{
    QFETCH(QByteArray, variable);
    QFETCH(bool, onPath);

    if (!variable.isEmpty())
        qputenv(variable.constData(), "1");
    if (!onPath)
        qputenv("PATH", QFile::encodeName(m_dir.path()));

    QElapsedTimer elapsed;
    elapsed.start();
    MqttClient client;
    Clock clock(client, c_device);
    QCOMPARE(clock.timezones(), QStringList {QString()});
    QCOMPARE(clock.timezone(), QString());
    QSignalSpy changed(&clock, &Clock::timezoneChanged);
    clock.setTimezone(QStringLiteral("Europe/Berlin"));
    QCOMPARE(changed.count(), 1);
    // Three runs of at most a second each, killed after that, with room for a loaded machine.
    QVERIFY2(elapsed.elapsed() < 10000, qPrintable(QString::number(elapsed.elapsed())));
}

void tst_Clock::zoneQuery_data()
{
    QTest::addColumn<QByteArray>("recording");
    QTest::addColumn<QString>("zone");

    QTest::newRow("with zone line") << QByteArray("status-zone") << "Europe/Vienna";
    QTest::newRow("without zone line") << QByteArray("status-nozone") << "";
}

void tst_Clock::zoneQuery()
{
    QFETCH(QByteArray, recording);
    QFETCH(QString, zone);

    qputenv("TIMEDATECTL_STANDIN_STATUS", recording);
    MqttClient client;
    Clock clock(client, c_device);
    QFile::remove(m_callsFile);

    QCOMPARE(clock.timezone(), zone);
    QCOMPARE(clock.property("timezone").toString(), zone);
    // Every read asks the command again.
    QCOMPARE(calls(), (QStringList {"status", "status"}));
}

void tst_Clock::setTimezone()
{
    MqttClient client;
    Clock clock(client, c_device);
    QSignalSpy changed(&clock, &Clock::timezoneChanged);

    // The zone in effect: only the query runs.
    QFile::remove(m_callsFile);
    clock.setTimezone(QStringLiteral("Europe/Vienna"));
    QCOMPARE(calls(), QStringList {"status"});
    QCOMPARE(changed.count(), 0);

    QFile::remove(m_callsFile);
    clock.setTimezone(QStringLiteral("Africa/Abidjan"));
    QCOMPARE(calls(), (QStringList {"status", "set-timezone Africa/Abidjan"}));
    QCOMPARE(changed.count(), 1);

    // Without a zone line every zone differs from the current one.
    qputenv("TIMEDATECTL_STANDIN_STATUS", "status-nozone");
    QFile::remove(m_callsFile);
    clock.setTimezone(QStringLiteral("Europe/Vienna"));
    QCOMPARE(calls(), (QStringList {"status", "set-timezone Europe/Vienna"}));
    QCOMPARE(changed.count(), 2);
}

void tst_Clock::ntpMessages_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("synced");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("expectedSignals");

    const QByteArray primedStatus = R"({"enabled": true, "synced": true})";
    QTest::newRow("status repeated") << c_base + "/status" << primedStatus << true << true << "pool.example"
                                     << QStringList();
    QTest::newRow("status not synced")
        << c_base + "/status" << QByteArray(R"({"enabled": true, "synced": false})") << true << false
        << "pool.example" << QStringList {"ntpSyncedChanged"};
    QTest::newRow("status members absent")
        << c_base + "/status" << QByteArray("{}") << false << false << "pool.example"
        << QStringList {"ntpEnabledChanged", "ntpSyncedChanged"};
    QTest::newRow("config new server")
        << c_base + "/config" << QByteArray(R"({"enabled": true, "server": "time.example"})") << true << true
        << "time.example" << QStringList {"ntpServerChanged"};
    QTest::newRow("config without server")
        << c_base + "/config" << QByteArray(R"({"enabled": false})") << false << true << ""
        << QStringList {"ntpServerChanged", "ntpEnabledChanged"};
    // Dispatch is by substring, anywhere under the base.
    QTest::newRow("status found inside a longer topic")
        << c_base + "/sub/ntp/status/x" << QByteArray(R"({"enabled": false, "synced": false})") << false
        << false << "pool.example" << QStringList {"ntpEnabledChanged", "ntpSyncedChanged"};
    QTest::newRow("outside the base") << c_device + "/other/ntp/status" << QByteArray("{}") << true << true
                                      << "pool.example" << QStringList();
    QTest::newRow("no known part") << c_base + "/sync" << QByteArray("{}") << true << true << "pool.example"
                                   << QStringList();
}

void tst_Clock::ntpMessages()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(bool, enabled);
    QFETCH(bool, synced);
    QFETCH(QString, server);
    QFETCH(QStringList, expectedSignals);

    MqttClient client;
    Clock clock(client, c_device);
    deliver(client, QStringLiteral("/status"), R"({"enabled": true, "synced": true})");
    deliver(client, QStringLiteral("/config"), R"({"enabled": true, "server": "pool.example"})");

    AllSignals all(&clock);
    emit client.received(payload, topic.toUtf8());
    QCOMPARE(clock.ntpEnabled(), enabled);
    QCOMPARE(clock.ntpSynced(), synced);
    QCOMPARE(clock.ntpServer(), server);
    QCOMPARE(all.fired(), expectedSignals);
}

void tst_Clock::badPayloads_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("logLine"); // empty: parsed, handled as an empty object

    for (const char *suffix : {"/status", "/config"}) {
        const QByteArray name(suffix);
        QTest::newRow((name + " malformed").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"({"enabled": tr)")
            << QStringLiteral(R"(Failed to parse JSON message: {"enabled": tr)");
        // No stand-in for an empty payload here: it fails to parse like any other.
        QTest::newRow((name + " empty").constData()) << QString::fromLatin1(suffix) << QByteArray()
                                                     << QStringLiteral("Failed to parse JSON message: ");
        QTest::newRow((name + " array").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"([{"enabled": true}])") << QString();
    }
}

void tst_Clock::badPayloads()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, payload);
    QFETCH(QString, logLine);

    MqttClient client;
    Clock clock(client, c_device);
    deliver(client, QStringLiteral("/status"), R"({"enabled": true, "synced": true})");
    deliver(client, QStringLiteral("/config"), R"({"enabled": true, "server": "pool.example"})");
    AllSignals all(&clock);

    if (!logLine.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(logLine));
    deliver(client, suffix, payload);
    if (logLine.isEmpty()) {
        QCOMPARE(clock.ntpEnabled(), false);
        QVERIFY(!all.fired().isEmpty());
    } else {
        QCOMPARE(all.fired(), QStringList());
        QCOMPARE(clock.ntpEnabled(), true);
        QCOMPARE(clock.ntpSynced(), true);
        QCOMPARE(clock.ntpServer(), QStringLiteral("pool.example"));
    }
}

void tst_Clock::requestsThroughBroker()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QVERIFY(peer.subscribe(c_base + QStringLiteral("/#")));

    MqttClient client;
    client.setHostname(broker.host());
    client.setPort(broker.port());
    Clock clock(client, c_device);
    client.connect();

    QVERIFY(peer.waitFor(c_base + QStringLiteral("/config/get")));
    QStringList topics;
    for (const TestPeer::Message &m : peer.messages()) {
        topics.append(m.topic);
        QCOMPARE(m.payload, QByteArray());
    }
    QCOMPARE(topics, (QStringList {c_base + "/status/get", c_base + "/config/get"}));

    QSignalSpy server(&clock, &Clock::ntpServerChanged);
    QVERIFY(
        peer.publish(c_base + QStringLiteral("/config"), R"({"enabled": false, "server": "pool.example"})"));
    QVERIFY(server.wait());

    peer.clear();
    clock.setNtpServer(QStringLiteral("pool.example")); // unchanged: nothing goes out
    clock.setNtpEnabled(false); // unchanged: nothing goes out
    clock.setNtpEnabled(true);
    QSignalSpy synced(&clock, &Clock::ntpSyncedChanged);
    clock.ntpSync();
    QCOMPARE(synced.count(), 1); // announced although it was already false
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/sync")));

    QCOMPARE(peer.payloads(c_base + "/config/set"),
             QList<QByteArray> {"{\n    \"enabled\": true,\n    \"server\": \"pool.example\"\n}\n"});
    QCOMPARE(peer.payloads(c_base + "/sync"), QList<QByteArray> {QByteArray()});
    QCOMPARE(clock.ntpEnabled(), false); // until the service publishes its new configuration
}

QTEST_GUILESS_MAIN(tst_Clock)
#include "tst_Clock.moc"
