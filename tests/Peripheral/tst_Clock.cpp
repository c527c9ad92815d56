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

// The arguments of each run of the command, in order.
using Calls = QList<QStringList>;

} // namespace

// The time and date command is the stand-in under tools/stand-ins/bin, put
// first on PATH; it prints recordings chosen by environment variables, keeps
// the zone set in a state file and appends each call's arguments to a file.
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
    void setTimezone_data();
    void setTimezone();
    void ntpMessages_data();
    void ntpMessages();
    void badPayloads_data();
    void badPayloads();
    void requestsThroughBroker();

private:
    Calls calls() const;

    QTemporaryDir m_dir;
    QByteArray m_path;
    QString m_callsFile;
    QString m_stateFile;
};

void tst_Clock::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_callsFile = m_dir.filePath(QStringLiteral("calls"));
    m_stateFile = m_dir.filePath(QStringLiteral("zone"));
    m_path = QByteArray(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:") + qgetenv("PATH");
    qputenv("TIMEDATECTL_STANDIN_ARGS", QFile::encodeName(m_callsFile));
    qputenv("TIMEDATECTL_STANDIN_STATE", QFile::encodeName(m_stateFile));
}

void tst_Clock::init()
{
    qputenv("PATH", m_path);
    for (const char *name : {"TIMEDATECTL_STANDIN_STATUS", "TIMEDATECTL_STANDIN_ZONES",
                             "TIMEDATECTL_STANDIN_FAIL", "TIMEDATECTL_STANDIN_HANG"})
        qunsetenv(name);
    QFile::remove(m_callsFile);
    QFile::remove(m_stateFile);
}

// The stand-in writes each argument on a line of its own in brackets and ends
// a call with an empty line, so one argument with a blank is told from two.
Calls tst_Clock::calls() const
{
    QFile file(m_callsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    Calls result;
    QStringList current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty()) {
            if (!current.isEmpty())
                result.append(current);
            current.clear();
        } else if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current.append(line.mid(1, line.size() - 2));
        } else {
            current.append(QStringLiteral("UNREADABLE: ") + line);
        }
    }
    return result;
}

void tst_Clock::zoneList()
{
    MqttClient client;
    Clock clock(client, c_device);
    // Two names, each ending in a line feed: the trailing empty piece is kept.
    QCOMPARE(clock.timezones(), (QStringList {"Africa/Abidjan", "Europe/Vienna", ""}));
    QCOMPARE(calls(), (Calls {{"--no-pager", "list-timezones"}}));

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
    QTest::ignoreMessage(QtWarningMsg, "WARN: Refusing unknown time zone : Europe/Berlin");
    clock.setTimezone(QStringLiteral("Europe/Berlin"));
    // Not in the (empty) list: refused without a run, and views read the zone again.
    QCOMPARE(changed.count(), 1);
    // Two runs of at most a second each, killed after that, with room for a loaded machine.
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
    QCOMPARE(calls(), (Calls {{"status"}, {"status"}}));
}

void tst_Clock::setTimezone_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QByteArray>("variable"); // set after the zone list was read
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<Calls>("expectedCalls");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("notified");
    QTest::addColumn<QString>("zoneAfter");

    const QByteArray status("TIMEDATECTL_STANDIN_STATUS");
    const Calls none;
    const QString refused = QStringLiteral("WARN: Refusing unknown time zone : ");
    QTest::newRow("zone in effect: only the query")
        << "Europe/Vienna" << QByteArray() << QByteArray() << Calls {{"status"}} << QString() << 0
        << "Europe/Vienna";
    QTest::newRow("listed zone, one argument")
        << "Africa/Abidjan" << QByteArray() << QByteArray()
        << Calls {{"status"}, {"set-timezone", "Africa/Abidjan"}} << QString() << 1 << "Africa/Abidjan";
    QTest::newRow("no zone line: every listed zone differs")
        << "Europe/Vienna" << status << QByteArray("status-nozone")
        << Calls {{"status"}, {"set-timezone", "Europe/Vienna"}} << QString() << 1 << "Europe/Vienna";
    // Refused before the command runs; a view that offered it reads the zone again.
    QTest::newRow("empty last row of the list")
        << "" << QByteArray() << QByteArray() << none << refused << 1 << "Europe/Vienna";
    QTest::newRow("read as an option") << "--adjust-system-clock" << QByteArray() << QByteArray() << none
                                       << refused + "--adjust-system-clock" << 1 << "Europe/Vienna";
    QTest::newRow("not in the list") << "Europe/Vienna Africa/Abidjan" << QByteArray() << QByteArray() << none
                                     << refused + "Europe/Vienna Africa/Abidjan" << 1 << "Europe/Vienna";
    QTest::newRow("command fails") << "Africa/Abidjan" << QByteArray("TIMEDATECTL_STANDIN_FAIL")
                                   << QByteArray("1")
                                   << Calls {{"status"}, {"set-timezone", "Africa/Abidjan"}}
                                   << "WARN: Setting time zone Africa/Abidjan failed : exit code 1" << 1
                                   << "Europe/Vienna";
    QTest::newRow("command hangs")
        << "Africa/Abidjan" << QByteArray("TIMEDATECTL_STANDIN_HANG") << QByteArray("1")
        << Calls {{"status"}, {"set-timezone", "Africa/Abidjan"}}
        << "WARN: Setting time zone Africa/Abidjan failed : no answer within 1000 msec" << 1
        << "Europe/Vienna";
}

void tst_Clock::setTimezone()
{
    QFETCH(QString, zone);
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(Calls, expectedCalls);
    QFETCH(QString, warning);
    QFETCH(int, notified);
    QFETCH(QString, zoneAfter);

    MqttClient client;
    Clock clock(client, c_device);
    QSignalSpy changed(&clock, &Clock::timezoneChanged);
    if (!variable.isEmpty())
        qputenv(variable.constData(), value);
    QFile::remove(m_callsFile);

    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    clock.setTimezone(zone);
    QCOMPARE(calls(), expectedCalls);
    QCOMPARE(changed.count(), notified);

    // The stand-in reports the zone it was set to, as the system would.
    if (!variable.isEmpty())
        qunsetenv(variable.constData());
    qunsetenv("TIMEDATECTL_STANDIN_STATUS");
    QCOMPARE(clock.timezone(), zoneAfter);
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
