#include "Model/SAM.h"
#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorConfig.h"
#include "Model/ValidatorRfid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// Watches the notify signal of every property of a model.
class Notifications
{
public:
    explicit Notifications(QObject *target)
    {
        const QMetaObject *meta = target->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            m_spies.push_back(std::make_unique<QSignalSpy>(target, property.notifySignal()));
            m_names.append(QString::fromLatin1(property.notifySignal().name()));
        }
    }

    // Names of the signals emitted since the last clear(), sorted.
    QStringList fired() const
    {
        QStringList names;
        for (size_t i = 0; i < m_spies.size(); ++i) {
            if (!m_spies[i]->isEmpty())
                names.append(m_names.at(int(i)));
        }
        names.sort();
        return names;
    }
    void clear()
    {
        for (auto &spy : m_spies)
            spy->clear();
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
    QStringList m_names;
};

const char c_info[] = R"({"firmware": "2.1.0", "model": "CR-20", "manufacturer": "Acme", "uid": "04A1"})";
const char c_status[] = R"({"active": true, "error": "", "state": 2, "slots": [true, false],
    "sams": [{"slot": 1, "enabled": true, "unlocked": true, "atr": "3B8F", "batch": "B7", "mode": "AV2",
              "name": "SAM-A", "production": "2019-07-15", "uid": "77", "vendor": "Acme", "version": "3"},
             {"slot": 2}]})";

} // namespace

class tst_ValidatorModels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rfidInfoAndStatusApartOrTogether();
    void rfidState_data();
    void rfidState();
    void rfidRepeatedStatus();
    void samReplacedButKeptUntilEventLoop();
    void samFromJson();
    void samProduction_data();
    void samProduction();
    void barcodeKeepsMissingMembers();
    void configWrites();
};

void tst_ValidatorModels::rfidInfoAndStatusApartOrTogether()
{
    ValidatorRfid rfid;
    Notifications notes(&rfid);

    rfid.fromJson(json(c_info));
    QCOMPARE(notes.fired(),
             (QStringList {"deviceUidChanged", "firmwareChanged", "manufacturerChanged", "modelChanged"}));
    QCOMPARE(rfid.firmware(), QStringLiteral("2.1.0"));
    QCOMPARE(rfid.model(), QStringLiteral("CR-20"));
    QCOMPARE(rfid.manufacturer(), QStringLiteral("Acme"));
    QCOMPARE(rfid.deviceUid(), QStringLiteral("04A1"));
    QCOMPARE(rfid.state(), QString());

    notes.clear();
    rfid.fromJson(json(c_status));
    QCOMPARE(notes.fired(),
             (QStringList {"activeChanged", "enabledChanged", "numberOfSlotsChanged", "samChanged",
                           "stateChanged"}));
    QCOMPARE(rfid.firmware(), QStringLiteral("2.1.0"));
    QCOMPARE(rfid.active(), true);
    QCOMPARE(rfid.state(), QStringLiteral("Searching"));
    QCOMPARE(rfid.numberOfSlots(), 2);
    QVERIFY(rfid.sam());
    QCOMPARE(rfid.sam()->slot(), 1);
    // As the validator page reads it, through the property system.
    QCOMPARE(rfid.property("sam").value<QObject *>(), rfid.sam());

    // One object carrying both groups; the error text is status, not info.
    notes.clear();
    rfid.fromJson(json(R"({"firmware": "2.2.0", "model": "CR-20", "manufacturer": "Acme", "uid": "04A1",
                           "state": 5, "error": "antenna", "slots": []})"));
    QCOMPARE(notes.fired(),
             (QStringList {"activeChanged", "enabledChanged", "errorChanged", "firmwareChanged",
                           "numberOfSlotsChanged", "samChanged", "stateChanged"}));
    QCOMPARE(rfid.firmware(), QStringLiteral("2.2.0"));
    QCOMPARE(rfid.error(), QStringLiteral("antenna"));
    QCOMPARE(rfid.state(), QStringLiteral("Error"));
    QCOMPARE(rfid.numberOfSlots(), 0);
    QCOMPARE(rfid.sam(), nullptr);

    // Without "state" the status members are not read at all.
    notes.clear();
    rfid.fromJson(json(R"({"error": "", "active": true, "sams": [{"slot": 3}]})"));
    QCOMPARE(notes.fired(), QStringList());
    QCOMPARE(rfid.error(), QStringLiteral("antenna"));
}

void tst_ValidatorModels::rfidState_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("0") << QJsonValue(0) << "Init" << false;
    QTest::newRow("1") << QJsonValue(1) << "Idle" << false;
    QTest::newRow("2") << QJsonValue(2) << "Searching" << true;
    QTest::newRow("3") << QJsonValue(3) << "CardFound" << true;
    QTest::newRow("4") << QJsonValue(4) << "Updating" << false;
    QTest::newRow("5") << QJsonValue(5) << "Error" << false;
    QTest::newRow("6") << QJsonValue(6) << "Unknown" << false;
    QTest::newRow("9") << QJsonValue(9) << "Unknown" << false;
    QTest::newRow("-1") << QJsonValue(-1) << "Unknown" << false;
    QTest::newRow("text reads as 0") << QJsonValue(QStringLiteral("2")) << "Init" << false;
}

void tst_ValidatorModels::rfidState()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, state);
    QFETCH(bool, enabled);

    ValidatorRfid rfid;
    QStringList order;
    connect(&rfid, &ValidatorRfid::stateChanged, [&] { order << QStringLiteral("state"); });
    connect(&rfid, &ValidatorRfid::enabledChanged, [&] { order << QStringLiteral("enabled"); });

    rfid.fromJson(QJsonObject {{QStringLiteral("state"), value}});
    QCOMPARE(rfid.state(), state);
    QCOMPARE(rfid.enabled(), enabled);
    // enabled follows state, so it is notified with it, after it.
    QCOMPARE(order, (QStringList {"state", "enabled"}));
    QCOMPARE(ValidatorRfid::mapState(value.toInt()), state);
}

void tst_ValidatorModels::rfidRepeatedStatus()
{
    ValidatorRfid rfid;
    rfid.fromJson(json(c_info));
    rfid.fromJson(json(c_status));

    Notifications notes(&rfid);
    rfid.fromJson(json(c_info));
    rfid.fromJson(json(c_status));
    // The SAMs are new objects every time, so only their signal repeats.
    QCOMPARE(notes.fired(), QStringList {"samChanged"});
}

void tst_ValidatorModels::samReplacedButKeptUntilEventLoop()
{
    ValidatorRfid rfid;
    rfid.fromJson(json(c_status));
    QPointer<SAM> held = rfid.sam(); // as a binding on a settings page would
    QVERIFY(held);
    QCOMPARE(held->parent(), &rfid);
    QCOMPARE(rfid.findChildren<SAM *>().size(), 2);

    QSignalSpy samChanged(&rfid, &ValidatorRfid::samChanged);
    rfid.fromJson(json(c_status));
    QCOMPARE(samChanged.count(), 1);
    QVERIFY(rfid.sam() != held.data());
    QCOMPARE(rfid.sam()->name(), QStringLiteral("SAM-A"));

    // Still readable in the same turn of the event loop.
    QVERIFY(held);
    QCOMPARE(held->name(), QStringLiteral("SAM-A"));

    QTRY_VERIFY(held.isNull());
    QCOMPARE(rfid.findChildren<SAM *>().size(), 2);

    // An empty list leaves no SAM, and is still announced.
    rfid.fromJson(json(R"({"state": 1, "sams": []})"));
    QCOMPARE(samChanged.count(), 2);
    QCOMPARE(rfid.sam(), nullptr);
    QTRY_COMPARE(rfid.findChildren<SAM *>().size(), 0);
}

void tst_ValidatorModels::samFromJson()
{
    const QJsonObject full = json(c_status).value(QStringLiteral("sams")).toArray().at(0).toObject();
    SAM sam(full);
    QCOMPARE(sam.slot(), 1);
    QCOMPARE(sam.enabled(), true);
    QCOMPARE(sam.unlocked(), true);
    QCOMPARE(sam.atr(), QStringLiteral("3B8F"));
    QCOMPARE(sam.batch(), QStringLiteral("B7"));
    QCOMPARE(sam.mode(), QStringLiteral("AV2"));
    QCOMPARE(sam.name(), QStringLiteral("SAM-A"));
    QCOMPARE(sam.production(), QDate(2019, 7, 15));
    QCOMPARE(sam.uid(), QStringLiteral("77"));
    QCOMPARE(sam.vendor(), QStringLiteral("Acme"));
    QCOMPARE(sam.version(), QStringLiteral("3"));

    Notifications notes(&sam);
    sam.fromJson(full);
    QCOMPARE(notes.fired(), QStringList());

    // Every member is read: missing ones go back to empty, each notified.
    sam.fromJson(json(R"({"slot": 1, "name": "SAM-A"})"));
    QCOMPARE(notes.fired(),
             (QStringList {"atrChanged", "batchChanged", "enabledChanged", "modeChanged", "productionChanged",
                           "uidChanged", "unlockedChanged", "vendorChanged", "versionChanged"}));
    QCOMPARE(sam.unlocked(), false);
    QCOMPARE(sam.vendor(), QString());
    QVERIFY(!sam.production().isValid());
}

void tst_ValidatorModels::samProduction_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("ISO date") << "2019-07-15" << QDate(2019, 7, 15);
    QTest::newRow("day first") << "15/07/2019" << QDate();
    QTest::newRow("with time") << "2019-07-15T00:00:00" << QDate();
    QTest::newRow("no such day") << "2019-02-30" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void tst_ValidatorModels::samProduction()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);

    SAM sam;
    QSignalSpy changed(&sam, &SAM::productionChanged);
    sam.fromJson(QJsonObject {{QStringLiteral("production"), text}});
    QCOMPARE(sam.production(), date);
    // An unreadable date is the same "no date" as the initial one.
    QCOMPARE(changed.count(), date.isValid() ? 1 : 0);

    sam.fromJson(QJsonObject {{QStringLiteral("production"), text}});
    QCOMPARE(changed.count(), date.isValid() ? 1 : 0);
}

void tst_ValidatorModels::barcodeKeepsMissingMembers()
{
    ValidatorBarcode barcode;
    barcode.fromJson(json(R"({"active": true, "enabled": true, "firmware": "1.4", "manufacturer": "Acme",
                              "model": "QR-5"})"));
    QCOMPARE(barcode.active(), true);
    QCOMPARE(barcode.enabled(), true);
    QCOMPARE(barcode.firmware(), QStringLiteral("1.4"));
    QCOMPARE(barcode.manufacturer(), QStringLiteral("Acme"));
    QCOMPARE(barcode.model(), QStringLiteral("QR-5"));

    Notifications notes(&barcode);
    // A status carries only the switches; the info fields stay.
    barcode.fromJson(json(R"({"active": true})"));
    QCOMPARE(notes.fired(), QStringList());
    QCOMPARE(barcode.enabled(), true);
    QCOMPARE(barcode.firmware(), QStringLiteral("1.4"));

    // Present with another type: read leniently, not skipped.
    barcode.fromJson(json(R"({"enabled": "false", "model": null})"));
    QCOMPARE(notes.fired(), (QStringList {"enabledChanged", "modelChanged"}));
    QCOMPARE(barcode.enabled(), false);
    QCOMPARE(barcode.model(), QString());
    QCOMPARE(barcode.active(), true);
}

void tst_ValidatorModels::configWrites()
{
    ValidatorConfig config;
    Notifications notes(&config);
    QVERIFY(config.setProperty("passbackSecs", 0));
    QVERIFY(config.setProperty("passbackQrEnabled", false));
    QVERIFY(config.setProperty("obuUrl", QUrl()));
    QCOMPARE(notes.fired(), QStringList());

    QVERIFY(config.setProperty("passbackSecs", 30));
    QVERIFY(config.setProperty("passbackQrEnabled", true));
    QVERIFY(config.setProperty("obuUrl", QUrl(QStringLiteral("mqtt://obu:1883"))));
    QCOMPARE(notes.fired(),
             (QStringList {"obuUrlChanged", "passbackQrEnabledChanged", "passbackSecsChanged"}));
    QCOMPARE(config.passbackSecs(), 30);
    QCOMPARE(config.passbackQrEnabled(), true);
    QCOMPARE(config.obuUrl().port(), 1883);
}

QTEST_GUILESS_MAIN(tst_ValidatorModels)
#include "tst_ValidatorModels.moc"
