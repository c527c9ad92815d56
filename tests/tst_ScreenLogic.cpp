#include "ControllerHarness.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString c_rfidEnable = QStringLiteral("vorn/rfid/enable");
const QString c_rfidDisable = QStringLiteral("vorn/rfid/disable");
const QString c_barcodeEnable = QStringLiteral("vorn/barcode/enable");
const QString c_barcodeDisable = QStringLiteral("vorn/barcode/disable");
const QString c_audioPlay = QStringLiteral("vorn/inspector/audio/play");
const QString c_powerSet = QStringLiteral("vorn/board/power/set");

QByteArray result(bool valid, int denyReason)
{
    const QJsonObject transaction {
        {QStringLiteral("result"), valid},
        {QStringLiteral("type"), 2},
        {QStringLiteral("fareProductName"), QStringLiteral("Single")},
        {QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), denyReason}}}};
    return QJsonDocument(QJsonObject {{QStringLiteral("transaction"), transaction}}).toJson();
}

QByteArray ignitionEvent(int on)
{
    return QJsonDocument(QJsonObject {{QStringLiteral("name"), QStringLiteral("IgnitionChanged")},
                                      {QStringLiteral("data"), on}})
        .toJson();
}

QStringList eventNames(GUIManager &manager)
{
    QObject *log = manager.engine()
                       .rootContext()
                       ->contextProperty(QStringLiteral("eventLogManager"))
                       .value<QObject *>();
    QStringList names;
    for (QObject *event : log->property("data").value<QList<QObject *>>())
        names << event->property("name").toString();
    return names;
}
} // namespace

class TestScreenLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Tallyport"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
        qputenv("PATH", QByteArray(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:") + qgetenv("PATH"));
        QVERIFY(m_broker.start());
    }

    void idleChoice_data()
    {
        QTest::addColumn<bool>("withDeviceId");
        QTest::addColumn<QString>("before"); // "", "Login", "ignitionOff", "session"
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("readersOn");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("published"); // reader requests expected, "" for none

        QTest::newRow("no device id") << false << ""
                                      << "online" << false << "InitPage"
                                      << ""
                                      << "";
        QTest::newRow("init") << true << ""
                              << "init" << true << "Busy"
                              << "Please Wait"
                              << "";
        QTest::newRow("online") << true << ""
                                << "online" << false << "ScanScreens"
                                << ""
                                << "vorn/rfid/enable vorn/barcode/enable";
        QTest::newRow("degraded") << true << ""
                                  << "degraded" << false << "ScanScreens"
                                  << ""
                                  << "vorn/rfid/enable vorn/barcode/enable";
        QTest::newRow("out-of-service") << true << ""
                                        << "out-of-service" << true << "OutOfService"
                                        << ""
                                        << "vorn/rfid/disable vorn/barcode/disable";
        QTest::newRow("offline") << true << ""
                                 << "offline" << true << "OutOfOrder"
                                 << "#0002"
                                 << "vorn/rfid/disable vorn/barcode/disable";
        // A session leaves the screen and the readers alone.
        QTest::newRow("session active") << true << "session"
                                        << "out-of-service" << true << "Settings"
                                        << ""
                                        << "";
        // Refused out-of-order requests still refuse cards and barcodes.
        QTest::newRow("refused: login shown") << true << "Login"
                                              << "offline" << true << "Login"
                                              << ""
                                              << "vorn/rfid/disable vorn/barcode/disable";
        QTest::newRow("refused: ignition off") << true << "ignitionOff"
                                               << "offline" << true << "ScreenSaver"
                                               << ""
                                               << "vorn/rfid/disable vorn/barcode/disable";
    }

    void idleChoice()
    {
        QFETCH(bool, withDeviceId);
        QFETCH(QString, before);
        QFETCH(QString, status);
        QFETCH(bool, readersOn);
        QFETCH(QString, screen);
        QFETCH(QString, message);
        QFETCH(QString, published);

        ControllerHarness h(m_broker, {}, withDeviceId);
        QVERIFY(h.waitConnected());
        GUIManager &m = h.manager();
        // The readers' state comes with a status message that selects a screen
        // of its own; the situation under test is set up after it.
        if (status == QLatin1String("offline") || !before.isEmpty()) {
            h.setValidator(QStringLiteral("online"), readersOn);
            QCOMPARE(m.screen(), QStringLiteral("ScanScreens"));
        }
        if (before == QLatin1String("Login")) {
            m.setMaintenanceScreen();
        } else if (before == QLatin1String("ignitionOff")) {
            h.send(QStringLiteral("vorn/board/event"), ignitionEvent(0));
        } else if (before == QLatin1String("session")) {
            m.settingsLoginRequest(QStringLiteral("4826"));
            m.setMaintenanceScreen();
        }
        h.peer().clear();
        if (status == QLatin1String("offline"))
            h.send(QStringLiteral("vorn/blm/status"), QByteArray("{\"service\": false}"));
        else
            h.setValidator(status, readersOn);

        QCOMPARE(m.screen(), screen);
        if (!message.isEmpty())
            QCOMPARE(m.message(), message);
        const QStringList readerTopics {c_rfidEnable, c_rfidDisable, c_barcodeEnable, c_barcodeDisable};
        QStringList seen;
        for (const auto &msg : h.peer().messages()) {
            if (readerTopics.contains(msg.topic))
                seen << msg.topic;
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), published);
    }

    void serialNumberPageSurvivesBrokerLoss()
    {
        ControllerHarness h(m_broker, {}, false);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        QCOMPARE(h.manager().screen(), QStringLiteral("InitPage"));

        m_broker.stop();
        QTRY_VERIFY(h.log().contains(QStringLiteral("WARN: Disconnected from MQTT broker")));
        QCOMPARE(h.manager().screen(), QStringLiteral("InitPage"));
        QVERIFY(m_broker.start());
        QVERIFY(h.waitConnected());
    }

    void reasonTextOnOutOfOrder()
    {
        ControllerHarness h(m_broker, {{QStringLiteral("gui/showErrorDesc"), true}});
        QVERIFY(h.waitConnected());
        h.send(QStringLiteral("vorn/blm/status"), QByteArray("{\"service\": false}"));
        QCOMPARE(h.manager().screen(), QStringLiteral("OutOfOrder"));
        QCOMPARE(h.manager().message(), QStringLiteral("#0002\nBLM service down"));
        h.config().set(QStringLiteral("gui/showErrorDesc"), false);
        QCOMPARE(h.manager().message(), QStringLiteral("#0002"));
    }

    void setScreenForms()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QSignalSpy changed(&m, &GUIManager::screenChanged);
        m.setScreen(QStringLiteral("Valid"), 60000);
        m.setScreen(QStringLiteral("Valid"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!h.log().contains(QStringLiteral("Setting screen : Valid\n")));
        QCOMPARE(h.log().count(QStringLiteral("[GUIManager] Setting screen : Valid")), 1);
        m.setScreen(QStringLiteral("Valid"), 60000);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(h.log().count(QStringLiteral("[GUIManager] Setting screen : Valid (timeout=60000 msec)")),
                 2);
    }

    void maintenanceButton()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        GUIManager &m = h.manager();
        m.setMaintenanceScreen();
        QCOMPARE(m.screen(), QStringLiteral("Login"));
        m.setMaintenanceScreen();
        QCOMPARE(m.screen(), QStringLiteral("ScanScreens"));
    }

    void validationResults_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("screen");

        const QString valid = QStringLiteral("/opt/vorn/tallyport/Valid.wav");
        const QString invalid = QStringLiteral("/opt/vorn/tallyport/Invalid.wav");
        const QString card = QStringLiteral("vorn/blm/rfid/scanned");
        QTest::newRow("valid") << card << result(true, 0) << valid << "Valid";
        QTest::newRow("103 ticket already validated")
            << QStringLiteral("vorn/blm/barcode/scanned") << result(false, 103) << invalid << "AlreadyValid";
        QTest::newRow("207 card already validated")
            << card << result(false, 207) << invalid << "AlreadyValid";
        QTest::newRow("203 reads alike but is invalid") << card << result(false, 203) << invalid << "Invalid";
        QTest::newRow("other reason") << card << result(false, 205) << invalid << "Invalid";
        QTest::newRow("retry") << QStringLiteral("vorn/blm/rfid/retry") << QByteArray("{}") << invalid
                               << "Retry";
    }

    void validationResults()
    {
        QFETCH(QString, topic);
        QFETCH(QByteArray, payload);
        QFETCH(QString, sound);
        QFETCH(QString, screen);

        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        h.peer().clear();
        h.log().clear();

        h.send(topic, payload);
        QCOMPARE(h.manager().screen(), screen);
        QCOMPARE(h.peer().count(c_audioPlay), 1);
        const QJsonObject play = QJsonDocument::fromJson(h.peer().payloads(c_audioPlay).first()).object();
        QCOMPARE(play.value(QStringLiteral("filepath")).toString(), sound);
        // The sound is asked for before the screen changes.
        const int soundAt = h.log().indexOf(QStringLiteral("[Inspector] Playing audio file"));
        const int screenAt = h.log().indexOf(QStringLiteral("[GUIManager] Setting screen : ") + screen);
        QVERIFY(soundAt >= 0);
        QVERIFY(soundAt < screenAt);
        if (topic.endsWith(QLatin1String("scanned")))
            QCOMPARE(h.transaction().value(QStringLiteral("fareProduct")).toString(),
                     QStringLiteral("Single"));
    }

    // A result that follows another restarts the three seconds and is shown
    // even under the same name; the idle screen comes back when they pass.
    void resultsInARowRestartThePeriod()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        GUIManager &m = h.manager();
        QSignalSpy changed(&m, &GUIManager::screenChanged);
        QElapsedTimer clock;
        clock.start();
        qint64 validAt = -1;
        qint64 idleAt = -1;
        connect(&m, &GUIManager::screenChanged, this, [&]() {
            if (m.screen() == QLatin1String("Valid"))
                validAt = clock.elapsed();
            else if (m.screen() == QLatin1String("ScanScreens"))
                idleAt = clock.elapsed();
        });

        h.send(QStringLiteral("vorn/blm/rfid/scanned"), result(true, 0));
        const qint64 firstAt = validAt;
        QTest::qWait(1000);
        h.send(QStringLiteral("vorn/blm/rfid/scanned"), result(true, 0));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(m.screen(), QStringLiteral("Valid"));
        QVERIFY(validAt - firstAt >= 1000);

        QTRY_VERIFY_WITH_TIMEOUT(idleAt >= 0, 10000);
        // Three seconds from the first result would be two from the second.
        QVERIFY2(idleAt - validAt >= 2500, "the second result did not restart the period");
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Screen timeout : Valid")));
    }

    void resultDuringSessionOnlyUpdatesTransaction()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        GUIManager &m = h.manager();
        m.settingsLoginRequest(QStringLiteral("4826"));
        m.setMaintenanceScreen();
        QCOMPARE(m.screen(), QStringLiteral("Settings"));
        h.peer().clear();

        h.send(QStringLiteral("vorn/blm/rfid/scanned"), result(true, 0));
        h.send(QStringLiteral("vorn/blm/rfid/retry"), QByteArray("{}"));
        QCOMPARE(m.screen(), QStringLiteral("Settings"));
        QCOMPARE(h.transaction().value(QStringLiteral("valid")).toBool(), true);
        QCOMPARE(h.peer().count(c_audioPlay), 0);
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Validator ticket validated : 2")));
    }

    void displayOff_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::newRow("disabled") << 0;
        QTest::newRow("one unit") << 1;
    }

    void displayOff()
    {
        QFETCH(int, minutes);
        ControllerHarness h(m_broker, {{QStringLiteral("gui/displayOffMin"), minutes}});
        QVERIFY(h.waitConnected());
        h.send(QStringLiteral("vorn/board/power"), QByteArray("{\"display\": true}"));
        h.setValidator(QStringLiteral("out-of-service"));
        QCOMPARE(h.manager().screen(), QStringLiteral("OutOfService"));

        if (minutes == 0) {
            // Long past the shortened unit: nothing switched off or on.
            QTest::qWait(600);
            h.send(QStringLiteral("vorn/board/power"), QByteArray("{\"display\": false}"));
            h.setValidator(QStringLiteral("online"));
            QCOMPARE(h.manager().screen(), QStringLiteral("ScanScreens"));
            QCOMPARE(h.peer().count(c_powerSet), 0);
            QVERIFY(!h.log().contains(QStringLiteral("Display OFF timer")));
            return;
        }

        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Staring Display OFF timer : 1 min(s)")));
        QVERIFY(h.peer().waitFor(c_powerSet, 5000));
        QCOMPARE(QJsonDocument::fromJson(h.peer().payloads(c_powerSet).first()).object(),
                 QJsonObject({{QStringLiteral("display"), false}}));
        QVERIFY(
            h.log().contains(QStringLiteral("[GUIManager] WARN: Turning off Display due to inactivity.")));

        // The service confirms; leaving the screen powers the display again.
        h.send(QStringLiteral("vorn/board/power"), QByteArray("{\"display\": false}"));
        h.peer().clear();
        h.setValidator(QStringLiteral("online"));
        QVERIFY(h.peer().waitFor(c_powerSet, 5000));
        QCOMPARE(QJsonDocument::fromJson(h.peer().payloads(c_powerSet).first()).object(),
                 QJsonObject({{QStringLiteral("display"), true}}));
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Turning on Display.")));
    }

    void leavingOutOfOrderStopsTheTimer()
    {
        ControllerHarness h(m_broker, {{QStringLiteral("gui/displayOffMin"), 3}});
        QVERIFY(h.waitConnected());
        h.send(QStringLiteral("vorn/board/power"), QByteArray("{\"display\": true}"));
        h.send(QStringLiteral("vorn/blm/status"), QByteArray("{\"service\": false}"));
        QCOMPARE(h.manager().screen(), QStringLiteral("OutOfOrder"));
        h.setValidator(QStringLiteral("online"));
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Stopping Display OFF timer.")));
        QTest::qWait(800); // past the shortened three minutes
        h.sync();
        QCOMPARE(h.peer().count(c_powerSet), 0);
    }

    void ignitionOffAndOn()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        h.setValidator(QStringLiteral("online"));
        GUIManager &m = h.manager();
        m.settingsLoginRequest(QStringLiteral("4826"));
        m.setMaintenanceScreen();

        h.send(QStringLiteral("vorn/board/event"), ignitionEvent(0));
        QCOMPARE(m.screen(), QStringLiteral("ScreenSaver"));
        QVERIFY(h.log().contains(QStringLiteral("[Inspector] Scheduling System shutdown in : 60 sec(s)")));
        QStringList names = eventNames(m);
        QVERIFY(names.contains(QStringLiteral("Ignition off")));
        QVERIFY(names.contains(QStringLiteral("Maintenance logout")));
        // The end of the session is published.
        const QJsonObject status
            = QJsonDocument::fromJson(h.peer().payloads(QStringLiteral("vorn/ui/status")).last()).object();
        QCOMPARE(status.value(QStringLiteral("technician")).toBool(), false);

        h.send(QStringLiteral("vorn/board/event"), ignitionEvent(1));
        QCOMPARE(m.screen(), QStringLiteral("ScanScreens"));
        QVERIFY(h.log().contains(QStringLiteral("[Inspector] Aborting System shutdown")));
        QVERIFY(eventNames(m).contains(QStringLiteral("Ignition on")));
    }

    void ignitionOffShutsDownAfterTheDelay()
    {
        ControllerHarness h(m_broker, {{QStringLiteral("gui/shutdownDelaySec"), 0}});
        QVERIFY(h.waitConnected());
        h.send(QStringLiteral("vorn/board/event"), ignitionEvent(0));
        QVERIFY(h.peer().waitFor(QStringLiteral("vorn/inspector/power/shutdown/request/1"), 5000));
        QCOMPARE(h.manager().screen(), QStringLiteral("Busy"));
        QCOMPARE(h.manager().message(), QStringLiteral("Shutting down"));
    }

    void boardShutdownDelay()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        const QString request = QStringLiteral("vorn/board/config/set");
        h.send(QStringLiteral("vorn/board/config"), QByteArray("{\"device\": {\"delayShutdownFor\": 120}}"));
        QCOMPARE(h.peer().count(request), 0);

        h.send(QStringLiteral("vorn/board/config"), QByteArray("{\"device\": {\"delayShutdownFor\": 60}}"));
        QVERIFY(h.peer().waitFor(request));
        QCOMPARE(QJsonDocument::fromJson(h.peer().payloads(request).first()).object(),
                 QJsonObject(
                     {{QStringLiteral("device"), QJsonObject {{QStringLiteral("delayShutdownFor"), 120}}}}));
        QVERIFY(h.log().contains(
            QStringLiteral("[GUIManager] WARN: Updating board shutdown delay to : 120 sec(s) (prev=60)")));

        // A new delay setting follows at once.
        QSignalSpy notified(&h.manager(), &GUIManager::shutdownDelaySecChanged);
        h.peer().clear();
        h.manager().setShutdownDelaySec(30);
        QCOMPARE(notified.count(), 1);
        QVERIFY(h.peer().waitFor(request));
        QCOMPARE(QJsonDocument::fromJson(h.peer().payloads(request).first()).object(),
                 QJsonObject(
                     {{QStringLiteral("device"), QJsonObject {{QStringLiteral("delayShutdownFor"), 90}}}}));
    }

    void powerActions()
    {
        ControllerHarness h(m_broker);
        QVERIFY(h.waitConnected());
        GUIManager &m = h.manager();
        m.rebootRequest();
        QCOMPARE(m.screen(), QStringLiteral("Busy"));
        QCOMPARE(m.message(), QStringLiteral("Rebooting"));
        QVERIFY(h.peer().waitFor(QStringLiteral("vorn/inspector/power/reboot/request/1"), 5000));
    }

    // Runs last: leaving the loop this way marks the thread's loops to quit.
    void exitRequestLeavesTheLoop()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, [&loop]() { loop.exit(1); });
        guard.start(10000);
        m.exitRequest();
        QCOMPARE(m.screen(), QStringLiteral("Busy"));
        QCOMPARE(m.message(), QStringLiteral("Exiting"));
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(loop.exec(), 0);
        QVERIFY(elapsed.elapsed() >= 1500); // two seconds, give or take the coarse timer
    }

private:
    BrokerFixture m_broker;
};

QTEST_MAIN(TestScreenLogic)
#include "tst_ScreenLogic.moc"
