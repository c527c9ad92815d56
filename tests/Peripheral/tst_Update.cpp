#include "BrokerFixture.h"
#include "ProxyProbe.h"
#include "TestPeer.h"

#include "Common/MqttClient.h"
#include "Peripheral/Update.h"

#include <QSignalSpy>
#include <QtTest>

using manager::MqttClient;
using manager::Update;

namespace {

const QString c_base = QStringLiteral("vorn/device");

void deliver(MqttClient &client, const QString &suffix, const QByteArray &payload)
{
    emit client.received(payload, (c_base + suffix).toUtf8());
}

const QByteArray c_withPending = R"({"update": {"software": {"current": "1.0", "pending": "1.1"}}})";
const QByteArray c_withoutPending = R"({"update": {"software": {"current": "1.0", "pending": ""}}})";

} // namespace

class tst_Update : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transitions_data();
    void transitions();
    void repeatedVersionsEmitOnce();
    void checkTimerExpiry_data();
    void checkTimerExpiry();
    void progressStopsTheCheck();
    void connectionLoss();
    void badPayloads_data();
    void badPayloads();
    void requestsThroughBroker();
};

void tst_Update::transitions_data()
{
    QTest::addColumn<QStringList>("suffixes");
    QTest::addColumn<QByteArrayList>("payloads");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("pending");
    QTest::addColumn<QString>("progressMessage");
    QTest::addColumn<int>("progressPercent");

    QTest::newRow("device status, pending")
        << QStringList {"/status"} << QByteArrayList {c_withPending} << "Ready to install"
        << "1.0"
        << "1.1"
        << "Idle" << 0;
    QTest::newRow("device status, nothing pending")
        << QStringList {"/status"} << QByteArrayList {c_withoutPending} << "No pending updates"
        << "1.0"
        << ""
        << "Idle" << 0;
    QTest::newRow("device status without update member")
        << QStringList {"/status"} << QByteArrayList {R"({"clock": {}})"} << "No pending updates"
        << ""
        << ""
        << "Idle" << 0;
    QTest::newRow("version string keeps pending")
        << QStringList {"/update/software/status", "/status"}
        << QByteArrayList {R"({"current": "1.0", "pending": "1.1"})", R"({"update": {"software": "1.0.1"}})"}
        << "Ready to install"
        << "1.0.1"
        << "1.1"
        << "Idle" << 0;
    QTest::newRow("update status leaves the status text")
        << QStringList {"/update/software/status"}
        << QByteArrayList {R"({"current": "1.0", "pending": "1.1"})"} << "Disconnected"
        << "1.0"
        << "1.1"
        << "" << 0;
    QTest::newRow("progress with slash")
        << QStringList {"/update/software/progress"}
        << QByteArrayList {R"({"message": "12/40 MB", "progress": 30, "version": "1.1"})"} << "Downloading"
        << ""
        << "1.1"
        << "12/40 MB" << 30;
    QTest::newRow("progress without slash")
        << QStringList {"/update/software/progress"}
        << QByteArrayList {R"({"message": "Verifying", "progress": 80.9, "version": "1.1"})"} << "Installing"
        << ""
        << "1.1"
        << "Verifying" << 81; // rounded, like every number of the services
    QTest::newRow("misspelt progress topic")
        << QStringList {"/update/software/progess"}
        << QByteArrayList {R"({"message": "3/9 MB", "progress": 33, "version": "1.1"})"} << "Downloading"
        << ""
        << "1.1"
        << "3/9 MB" << 33;
    QTest::newRow("empty progress payload")
        << QStringList {"/status", "/update/software/progress", "/update/software/progress"}
        << QByteArrayList {c_withPending, R"({"message": "1/2 MB", "progress": 50, "version": "1.1"})", ""}
        << "Installing"
        << "1.0"
        << ""
        << "" << 0;
    QTest::newRow("progress as text")
        << QStringList {"/update/software/progress"}
        << QByteArrayList {R"({"message": "Copying", "progress": "50"})"} << "Installing"
        << ""
        << ""
        << "Copying" << 0;
    QTest::newRow("device status after progress")
        << QStringList {"/update/software/progress", "/status"}
        << QByteArrayList {R"({"message": "Copying", "progress": 90, "version": "1.1"})", c_withoutPending}
        << "No pending updates"
        << "1.0"
        << ""
        << "Idle" << 0;
}

void tst_Update::transitions()
{
    QFETCH(QStringList, suffixes);
    QFETCH(QByteArrayList, payloads);

    MqttClient client;
    Update update(client, c_base);
    QCOMPARE(update.status(), QStringLiteral("Disconnected"));
    for (int i = 0; i < suffixes.size(); ++i)
        deliver(client, suffixes.at(i), payloads.at(i));

    QTEST(update.status(), "status");
    QTEST(update.current(), "current");
    QTEST(update.pending(), "pending");
    QTEST(update.progressMessage(), "progressMessage");
    QTEST(update.progressPercent(), "progressPercent");
}

void tst_Update::repeatedVersionsEmitOnce()
{
    MqttClient client;
    Update update(client, c_base);
    AllSignals all(&update);
    deliver(client, QStringLiteral("/update/software/status"), R"({"current": "1.0", "pending": "1.1"})");
    deliver(client, QStringLiteral("/update/software/status"), R"({"current": "1.0", "pending": "1.1"})");
    QCOMPARE(all.fired(), (QStringList {"currentChanged", "pendingChanged"}));
}

void tst_Update::checkTimerExpiry_data()
{
    QTest::addColumn<QByteArray>("known");
    QTest::addColumn<QString>("status");

    QTest::newRow("nothing pending") << c_withoutPending << "No pending updates";
    QTest::newRow("pending known") << c_withPending << "Ready to install";
}

void tst_Update::checkTimerExpiry()
{
    QFETCH(QByteArray, known);
    QFETCH(QString, status);

    MqttClient client;
    Update update(client, c_base);
    deliver(client, QStringLiteral("/status"), known);

    QSignalSpy changed(&update, &Update::statusChanged);
    update.check();
    QCOMPARE(update.status(), QStringLiteral("Checking for updates"));
    QCOMPARE(changed.count(), 1);

    // The service stays silent: the check ends after its five seconds, logged either way.
    QTest::ignoreMessage(QtInfoMsg, "[Update] No pedning updates");
    QVERIFY(changed.wait(Update::c_checkTimeoutMs + 3000));
    QCOMPARE(update.status(), status);
}

void tst_Update::progressStopsTheCheck()
{
    MqttClient client;
    Update update(client, c_base);
    deliver(client, QStringLiteral("/status"), c_withoutPending);

    update.check();
    deliver(client, QStringLiteral("/update/software/progress"),
            R"({"message": "1/9 MB", "version": "1.1"})");
    QCOMPARE(update.status(), QStringLiteral("Downloading"));

    // Had the timer survived, its expiry would turn the status to "Ready to install".
    QSignalSpy changed(&update, &Update::statusChanged);
    QVERIFY(!changed.wait(Update::c_checkTimeoutMs + 1000));
    QCOMPARE(update.status(), QStringLiteral("Downloading"));
}

void tst_Update::connectionLoss()
{
    MqttClient client;
    Update update(client, c_base);
    deliver(client, QStringLiteral("/status"), c_withPending);
    deliver(client, QStringLiteral("/update/software/progress"),
            R"({"message": "1/9 MB", "progress": 11, "version": "1.1"})");

    emit client.disconnected();
    QCOMPARE(update.status(), QStringLiteral("Disconnected"));
    // Only the status text follows the connection.
    QCOMPARE(update.current(), QStringLiteral("1.0"));
    QCOMPARE(update.pending(), QStringLiteral("1.1"));
    QCOMPARE(update.progressPercent(), 11);
}

void tst_Update::badPayloads_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("parses");

    for (const char *suffix :
         {"/status", "/update/software/status", "/update/software/progress", "/update/software/progess"}) {
        const QByteArray name(suffix);
        QTest::newRow((name + " malformed").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"({"message": "1/2)") << false;
        QTest::newRow((name + " empty").constData()) << QString::fromLatin1(suffix) << QByteArray() << true;
        QTest::newRow((name + " array").constData())
            << QString::fromLatin1(suffix) << QByteArray(R"([{"message": "1/2"}])") << true;
    }
}

void tst_Update::badPayloads()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, payload);
    QFETCH(bool, parses);

    MqttClient client;
    Update update(client, c_base);
    deliver(client, QStringLiteral("/status"), c_withPending);
    deliver(client, QStringLiteral("/update/software/progress"),
            R"({"message": "1/9 MB", "progress": 11, "version": "1.1"})");

    QVariantMap expected = snapshot(&update);
    if (parses) {
        MqttClient twinClient;
        Update twin(twinClient, c_base);
        deliver(twinClient, QStringLiteral("/status"), c_withPending);
        deliver(twinClient, QStringLiteral("/update/software/progress"),
                R"({"message": "1/9 MB", "progress": 11, "version": "1.1"})");
        deliver(twinClient, suffix, "{}");
        expected = snapshot(&twin);
    } else {
        QTest::ignoreMessage(
            QtCriticalMsg,
            QRegularExpression(QStringLiteral("^\\[Update\\] Failed to parse JSON message: \\S")));
    }
    deliver(client, suffix, payload);
    QCOMPARE(snapshot(&update), expected);
}

void tst_Update::requestsThroughBroker()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    TestPeer peer;
    QVERIFY(peer.connectTo(broker.port()));
    QVERIFY(peer.subscribe(c_base + QStringLiteral("/#")));

    MqttClient client;
    client.setHostname(broker.host());
    client.setPort(broker.port());
    Update update(client, c_base);
    client.connect();

    QVERIFY(peer.waitFor(c_base + QStringLiteral("/status/get")));
    QCOMPARE(peer.messages().size(), 1);
    QCOMPARE(peer.payloads(c_base + "/status/get"), QList<QByteArray> {QByteArray()});

    // Nothing pending yet: install refuses and sends nothing.
    peer.clear();
    QTest::ignoreMessage(QtWarningMsg, "[Update] WARN: Cannot install. There are no pending versions");
    update.install();
    update.check();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/software/check")));
    QCOMPARE(peer.payloads(c_base + "/software/check"), QList<QByteArray> {QByteArray()});
    QCOMPARE(peer.count(c_base + QStringLiteral("/update/software/install")), 0);

    QSignalSpy status(&update, &Update::statusChanged);
    QVERIFY(peer.publish(c_base + QStringLiteral("/status"), c_withPending));
    QVERIFY(status.wait());
    QCOMPARE(update.status(), QStringLiteral("Ready to install"));

    update.install();
    QVERIFY(peer.waitFor(c_base + QStringLiteral("/update/software/install")));
    QCOMPARE(peer.payloads(c_base + "/update/software/install"), QList<QByteArray> {QByteArray()});
    QCOMPARE(update.status(), QStringLiteral("Ready to install")); // the service's progress moves it on

    // The broker going away shows at once.
    broker.stop();
    QTRY_COMPARE_WITH_TIMEOUT(update.status(), QStringLiteral("Disconnected"), 10000);
}

QTEST_GUILESS_MAIN(tst_Update)
#include "tst_Update.moc"
