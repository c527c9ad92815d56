// The whole device on one machine: a real broker, the device-service simulator
// and the UI process, observed through the UI's log and the broker.
#include "BrokerFixture.h"
#include "TestPeer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void scriptedValidCardShowsValidAndReturnsToIdle();
    void simulatedServicesAnswerAsTheUiExpects();

private:
    bool waitForLog(const QString &text, int timeoutMs, int from = 0);
    QString uiLog() const { return QString::fromUtf8(m_uiLog); }

    BrokerFixture m_broker;
    QTemporaryDir m_dir;
    QProcess m_sim;
    QProcess m_ui;
    QByteArray m_uiLog;
};

void tst_EndToEnd::initTestCase()
{
    QVERIFY(m_broker.start());
    QVERIFY(m_dir.isValid());

    const QString serial = m_dir.filePath(QStringLiteral("serialnumber"));
    QFile serialFile(serial);
    QVERIFY(serialFile.open(QIODevice::WriteOnly));
    serialFile.write("K20260417\n");
    serialFile.close();

    QFile conf(m_dir.filePath(QStringLiteral("gui.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[gui]\ndeviceId=%1\n\n[mqtt]\nhost=127.0.0.1\nport=%2\n")
                   .arg(serial)
                   .arg(m_broker.port())
                   .toUtf8());
    conf.close();
}

void tst_EndToEnd::cleanupTestCase()
{
    for (QProcess *p : {&m_ui, &m_sim}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

bool tst_EndToEnd::waitForLog(const QString &text, int timeoutMs, int from)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (uiLog().indexOf(text, from) >= 0)
            return true;
        if (m_ui.state() == QProcess::NotRunning)
            return false;
        m_ui.waitForReadyRead(100);
        m_uiLog += m_ui.readAllStandardError();
    }
    return false;
}

void tst_EndToEnd::scriptedValidCardShowsValidAndReturnsToIdle()
{
    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.subscribe(QStringLiteral("vorn/inspector/audio/play")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QML2_IMPORT_PATH"),
               QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    env.insert(QStringLiteral("PATH"),
               QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:")
                   + env.value(QStringLiteral("PATH")));

    m_ui.setProcessEnvironment(env);
    m_ui.setWorkingDirectory(m_dir.path());
    m_ui.start(QStringLiteral(TALLYPORT_EXECUTABLE),
               {QStringLiteral("-e"), QStringLiteral("-f"), m_dir.filePath(QStringLiteral("gui.conf"))});
    QVERIFY2(m_ui.waitForStarted(10000), qPrintable(m_ui.errorString()));

    // The script's first passenger taps a valid e-purse card once the reader invites it.
    m_sim.setProcessChannelMode(QProcess::ForwardedChannels);
    m_sim.start(QStringLiteral(TALLYPORT_BINARY_DIR "/tools/simulator/tallyport-sim"),
                {QStringLiteral("--port"), QString::number(m_broker.port()), QStringLiteral("--pace"),
                 QStringLiteral("7000"), QStringLiteral("--passengers-only")});
    QVERIFY2(m_sim.waitForStarted(10000), qPrintable(m_sim.errorString()));

    QVERIFY2(waitForLog(QStringLiteral("Setting screen : ScanScreens"), 30000), qPrintable(uiLog()));
    const int idle = uiLog().indexOf(QStringLiteral("Setting screen : ScanScreens"));

    QVERIFY2(waitForLog(QStringLiteral("Setting screen : Valid"), 20000, idle), qPrintable(uiLog()));
    QVERIFY(peer.waitFor(QStringLiteral("vorn/inspector/audio/play"), 5000));
    QVERIFY2(peer.payloads(QStringLiteral("vorn/inspector/audio/play"))
                 .first()
                 .contains("/opt/vorn/tallyport/Valid.wav"),
             peer.payloads(QStringLiteral("vorn/inspector/audio/play")).first().constData());

    // The result stays 3 s; the next scripted passenger only comes 7 s later.
    const int valid = uiLog().indexOf(QStringLiteral("Setting screen : Valid"), idle);
    QVERIFY2(waitForLog(QStringLiteral("Setting screen : ScanScreens"), 6000, valid), qPrintable(uiLog()));
}

// Runs on the processes the scripted passenger test started.
void tst_EndToEnd::simulatedServicesAnswerAsTheUiExpects()
{
    QVERIFY(m_sim.state() == QProcess::Running && m_ui.state() == QProcess::Running);
    const auto member = [](const QByteArray &payload, const char *key) {
        return QJsonDocument::fromJson(payload).object().value(QLatin1String(key)).toString();
    };
    const QString status = QStringLiteral("vorn/network/status");
    const QString ethernet = QStringLiteral("vorn/network/ethernet/state");
    TestPeer peer;
    QVERIFY(peer.connectTo(m_broker.port()));
    QVERIFY(peer.subscribe(status));
    QVERIFY(peer.subscribe(ethernet));

    // The words the settings pages colour green and Diagnostics passes.
    QVERIFY(peer.waitFor(status, 5000));
    QCOMPARE(member(peer.payloads(status).first(), "stateStr"), QStringLiteral("Connected"));
    QCOMPARE(member(peer.payloads(status).first(), "connectivityStr"), QStringLiteral("Full"));
    QVERIFY(peer.publish(ethernet + QStringLiteral("/get"), "{}"));
    QVERIFY(peer.waitFor(ethernet, 5000));
    QCOMPARE(member(peer.payloads(ethernet).first(), "stateStr"), QStringLiteral("Connected"));

    // The UI never asked, yet its validator configuration page has an on-board unit to show.
    const QString obu = QStringLiteral("[Validator] OBU URL         : ");
    QVERIFY2(waitForLog(obu + QStringLiteral("mqtt://validator@192.0.2.10:1883"), 5000), qPrintable(uiLog()));
    const int before = uiLog().size();
    QVERIFY(peer.publish(QStringLiteral("vorn/blm/config/set"),
                         "{\"blm\": {\"obu_host\": \"192.0.2.20\", \"obu_port\": 8883, \"obu_username\": "
                         "\"depot\", \"obu_password\": \"pw\"}, \"validator\": {\"passbackTime\": 30, "
                         "\"qr_passback\": true}}"));
    QVERIFY2(waitForLog(obu + QStringLiteral("mqtt://depot@192.0.2.20:8883"), 5000, before),
             qPrintable(uiLog()));
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_EndToEnd.moc"
