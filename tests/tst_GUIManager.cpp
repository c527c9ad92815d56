#include "ControllerHarness.h"

#include <QFileInfo>
#include <QLocale>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QTest>

class TestGUIManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Tallyport"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
        QVERIFY(m_broker.start());
    }

    void screensSeeContextAndTypes()
    {
        ControllerHarness h(m_broker);
        QQmlComponent component(&h.manager().engine());
        component.setData(R"(
            import QtQml 2.15
            import com.vorn.ticketing.transaction 1.0
            import com.vorn.network.connection 1.0
            import com.vorn.network.ipv4 1.0
            QtObject {
                property Transaction emptyTransaction: Transaction {}
                property Connection connection: Connection {}
                property IPv4 ipv4: IPv4 { address: "10.0.0.1" }
                property string screen: manager.screen
                property string dynTr: manager.dynTr
                property bool hasProxies: board !== null && inspector !== null && network !== null
                                          && validatorManager !== null && eventLogManager !== null
                                          && manager.update !== null && manager.clock !== null
                property bool valid: transaction.valid
                property string passengeType: transaction.passengeType
                property bool hasDetails: transaction.details !== undefined
            })",
                          QUrl());
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        QCOMPARE(object->property("screen").toString(), QStringLiteral("Busy"));
        QCOMPARE(object->property("dynTr").toString(), QString());
        QVERIFY(object->property("hasProxies").toBool());
        QCOMPARE(object->property("valid").toBool(), false);
        QVERIFY(object->property("hasDetails").toBool());
        QVERIFY(object->property("emptyTransaction").value<QObject *>());
        QVERIFY(object->property("connection").value<QObject *>());
        QCOMPARE(object->property("ipv4").value<QObject *>()->property("address").toString(),
                 QStringLiteral("10.0.0.1"));
        QCOMPARE(h.manager().message(), QStringLiteral("Connecting"));
    }

    void loadShowsMainWindowAndRecordsStart()
    {
        ControllerHarness h(m_broker);
        h.manager().load();
        QCOMPARE(h.manager().engine().rootObjects().size(), 1);
        QObject *log = h.manager()
                           .engine()
                           .rootContext()
                           ->contextProperty(QStringLiteral("eventLogManager"))
                           .value<QObject *>();
        const auto events = log->property("data").value<QList<QObject *>>();
        QVERIFY(!events.isEmpty());
        QObject *newest = events.first();
        QCOMPARE(newest->property("category").toString(), QStringLiteral("General"));
        QCOMPARE(newest->property("name").toString(), QStringLiteral("Application started"));
    }

    void languageSwitches()
    {
        const bool haveCatalogue = QFile::exists(QStringLiteral(":/qml/translations/Tallyport_el_GR.qm"));
        ControllerHarness h(m_broker, {{QStringLiteral("gui/locale"), QStringLiteral("el_GR")}});
        GUIManager &m = h.manager();
        QSignalSpy changed(&m, &GUIManager::languageChanged);

        m.setLanguage(QStringLiteral("en_IE"));
        if (!haveCatalogue) {
            // Without a catalogue the language stays as it was.
            QVERIFY(h.log().contains(QStringLiteral("[GUIManager] ERROR: Failed to load translation file")));
            QCOMPARE(changed.count(), 0);
            QCOMPARE(m.language(), QString());
            return;
        }
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m.language(), QStringLiteral("en_IE"));
        QCOMPARE(QLocale().name(), QStringLiteral("en_IE"));
        QCOMPARE(h.config().get(QStringLiteral("gui/locale")).toString(), QStringLiteral("en_IE"));

        h.log().clear();
        m.setLanguage(QStringLiteral("en_IE"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!h.log().contains(QStringLiteral("Language changed")));

        m.setLanguage(QStringLiteral("el_GR"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(QLocale().name(), QStringLiteral("el_GR"));
        QCOMPARE(h.config().get(QStringLiteral("gui/locale")).toString(), QStringLiteral("el_GR"));
        QVERIFY(QCoreApplication::translate("GUIManager", "Initializing") != QStringLiteral("Initializing"));

        // The file holds the choice for the next start.
        Config reread(QStringLiteral("gui.conf"), tallyport::defaultSettings());
        QCOMPARE(reread.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("el_GR"));
        m.setLanguage(QStringLiteral("en_IE"));
    }

    // Writers store through the configuration; only the change handler notifies,
    // so a change from a screen, the file or the broker looks the same.
    void configBackedPropertyWrittenFromQml()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QSignalSpy notified(&m, &GUIManager::displayOffMinChanged);
        QQmlExpression write(h.manager().engine().rootContext(), nullptr,
                             QStringLiteral("manager.displayOffMin = 7"));

        h.config().blockSignals(true);
        write.evaluate();
        h.config().blockSignals(false);
        QCOMPARE(h.config().get(QStringLiteral("gui/displayOffMin")).toInt(), 7);
        QCOMPARE(m.displayOffMin(), 7);
        QCOMPARE(notified.count(), 0);

        QQmlExpression again(h.manager().engine().rootContext(), nullptr,
                             QStringLiteral("manager.displayOffMin = 9"));
        again.evaluate();
        QCOMPARE(notified.count(), 1);
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Display OFF interval changed : 9 min(s)")));

        // The same value again: no write, no notification.
        QQmlExpression same(h.manager().engine().rootContext(), nullptr,
                            QStringLiteral("manager.displayOffMin = 9"));
        same.evaluate();
        QCOMPARE(notified.count(), 1);

        h.config().set(QStringLiteral("gui/screenSaverBg"), QStringLiteral("no-such-colour"));
        QVERIFY(!m.screenSaverBg().isValid());
    }

    void deviceIdFromFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("expected");

        QTest::newRow("leading empty lines and blanks")
            << QByteArray("\n\n   \n  K12345678 \t\nC00000001\n") << true << QStringLiteral("K12345678");
        QTest::newRow("no line end") << QByteArray("C87654321") << true << QStringLiteral("C87654321");
        QTest::newRow("only empty lines") << QByteArray("\n \n\t\n") << true << QString();
        QTest::newRow("missing file") << QByteArray() << false << QString();
    }

    void deviceIdFromFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sn"));
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        ControllerHarness h(m_broker, {{QStringLiteral("gui/deviceId"), path}}, false);
        QCOMPARE(h.manager().deviceId(), expected);
        QSignalSpy changed(&h.manager(), &GUIManager::deviceIdChanged);

        // A change of the key loads again from the new path; an empty file
        // leaves the id as it was and emits nothing.
        QFile other(dir.filePath(QStringLiteral("other")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("\n\n");
        other.close();
        h.config().set(QStringLiteral("gui/deviceId"), other.fileName());
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Device id changed. Re-loading")));
        QCOMPARE(h.manager().deviceId(), expected);
        QCOMPARE(changed.count(), 0);
    }

    void deviceIdSaveReplacesFile()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QCOMPARE(m.deviceId(), QStringLiteral("K12345678"));
        QSignalSpy changed(&m, &GUIManager::deviceIdChanged);
        QSignalSpy errors(&m, &GUIManager::errorOccured);

        // A shorter id leaves nothing of the longer one behind, and no line end.
        m.saveDeviceIdRequest(QStringLiteral("C1"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(errors.count(), 0);
        QFile file(h.deviceIdPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("C1"));
        file.close();
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Save Device Id request : C1")));
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] Saving device id to : ") + h.deviceIdPath()));
        // No temporary file is left beside it.
        QCOMPARE(QDir(QFileInfo(h.deviceIdPath()).path()).entryList({QStringLiteral("serialnumber*")}),
                 QStringList {QStringLiteral("serialnumber")});

        // The same id again: nothing written, nothing signalled.
        m.setDeviceId(QStringLiteral("C1"));
        QCOMPARE(changed.count(), 1);
    }

    void diagnosticsReadTheCurrentDeviceId()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QQmlExpression expression(m.engine().rootContext(), nullptr, QStringLiteral("manager.diagnostics"));
        QCOMPARE(expression.evaluate().value<QObject *>(), m.diagnostics());

        // A number learnt after start-up is the one in the report.
        m.setDeviceId(QStringLiteral("C77"));
        QSignalSpy finished(m.diagnostics(), &Diagnostics::saveReportFinished);
        m.diagnostics()->saveReport();
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        QFile report(finished.at(0).at(1).toString().section(QLatin1Char('\n'), 1));
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(report.readAll().split('\n').value(3).endsWith(" C77"));
    }

    void deviceIdSaveToUnwritablePath()
    {
        ControllerHarness h(m_broker, {}, true);
        GUIManager &m = h.manager();
        const QString path = h.path(QStringLiteral("no-such-dir/serialnumber"));
        h.config().set(QStringLiteral("gui/deviceId"), path);
        QCOMPARE(m.deviceId(), QStringLiteral("K12345678"));
        QSignalSpy errors(&m, &GUIManager::errorOccured);

        m.saveDeviceIdRequest(QStringLiteral("K87654321"));
        QCOMPARE(errors.count(), 1);
        QVERIFY(!errors.first().first().toString().isEmpty());
        QCOMPARE(m.deviceId(), QStringLiteral("K87654321"));
        QVERIFY(h.log().contains(QStringLiteral("[GUIManager] ERROR: Could not save device S/N to file : ")
                                 + path + QStringLiteral(" (")));
        QVERIFY(!QFile::exists(path));
    }

    void sessionSlotsForwarded()
    {
        ControllerHarness h(m_broker);
        GUIManager &m = h.manager();
        QSignalSpy granted(&m, &GUIManager::settingsAccessGranted);
        QSignalSpy denied(&m, &GUIManager::settingsAccessDenied);
        m.settingsLoginRequest(QStringLiteral(" 4826"));
        QCOMPARE(denied.count(), 1);
        m.settingsLoginRequest(QStringLiteral("4826"));
        QCOMPARE(granted.count(), 1);
        m.setMaintenanceScreen();
        QCOMPARE(m.screen(), QStringLiteral("Settings"));
        m.settingsLogoutRequest();
        // Logout runs the idle choice; no validator status has come yet.
        QCOMPARE(m.screen(), QStringLiteral("OutOfOrder"));
    }

private:
    BrokerFixture m_broker;
};

QTEST_MAIN(TestGUIManager)
#include "tst_GUIManager.moc"
