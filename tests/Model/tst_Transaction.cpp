#include "Model/Transaction.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTranslator>

#include <climits>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// Marks every text of the "Transaction" context, so a test sees both that a
// text is looked up in that context and when the lookup happens.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "Transaction") != 0)
            return {};
        return QStringLiteral("<") + QString::fromUtf8(sourceText) + QStringLiteral(">");
    }
    bool isEmpty() const override { return false; }
};

const QDateTime c_invalid;

} // namespace

class tst_Transaction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void emptyTransaction();
    void accessors();
    void denyReason_data();
    void denyReason();
    void denyReasonTranslatedAtCallTime();
    void details_data();
    void details();
    void periodPassExpiresFromNow();
    void convertTimestamp_data();
    void convertTimestamp();
    void toMap();
};

void tst_Transaction::initTestCase()
{
    // A zone away from UTC, with a daylight-saving gap, so conversions to
    // local time are visible.
    qputenv("TZ", "Europe/Athens");
}

void tst_Transaction::emptyTransaction()
{
    const Transaction t;
    QCOMPARE(t.valid(), false);
    QCOMPARE(t.type(), Transaction::Barcode);
    QCOMPARE(t.denyReasonId(), 0);
    QCOMPARE(t.denyReason(), QStringLiteral("Unknown Error"));
    QCOMPARE(t.details(), Transaction::defaultDetails());
}

void tst_Transaction::accessors()
{
    const Transaction t(json(R"({"result": true, "type": 8, "ticketId": "T-17", "fareProductName": "Monthly",
                                 "passengerTypeName": "Student", "denyReason": {"id": 105}})"));
    QCOMPARE(t.valid(), true);
    QCOMPARE(t.type(), Transaction::CardPeriodPass);
    QCOMPARE(t.ticketId(), QStringLiteral("T-17"));
    QCOMPARE(t.fareProduct(), QStringLiteral("Monthly"));
    QCOMPARE(t.passengerType(), QStringLiteral("Student"));
    QCOMPARE(t.denyReasonId(), 105);

    // Mistyped members read as empty values instead of being converted.
    const Transaction wrong(json(R"({"result": "true", "type": "8", "ticketId": 17, "denyReason": 105})"));
    QCOMPARE(wrong.valid(), false);
    QCOMPARE(int(wrong.type()), 0);
    QCOMPARE(wrong.ticketId(), QString());
    QCOMPARE(wrong.denyReasonId(), 0);

    // Numbers outside the product list pass through.
    QCOMPARE(int(Transaction(json(R"({"type": 42})")).type()), 42);
}

void tst_Transaction::denyReason_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");

    QTest::newRow("first ticket reason") << 100 << "The ticket is invalid";
    QTest::newRow("last ticket reason") << 110 << "The ticket has invalid timestamp";
    QTest::newRow("after ticket reasons") << 111 << "Unknown Error";
    QTest::newRow("before card reasons") << 199 << "Unknown Error";
    QTest::newRow("203") << 203 << "The card has already been validated";
    QTest::newRow("207 same text as 203") << 207 << "The card has already been validated";
    QTest::newRow("211") << 211 << "Temporarily not available";
    QTest::newRow("212") << 212 << "Unknown Error";
    QTest::newRow("249") << 249 << "Unknown Error";
    QTest::newRow("250 blocked range start") << 250 << "The card is blocked";
    QTest::newRow("252") << 252 << "The card is blocked";
    QTest::newRow("255 blocked range end") << 255 << "The card is blocked";
    QTest::newRow("256") << 256 << "Unknown Error";
    QTest::newRow("300") << 300 << "The product is blocked";
    QTest::newRow("301") << 301 << "The product is not yet active";
    QTest::newRow("500") << 500 << "Internal Error";
    QTest::newRow("0") << 0 << "Unknown Error";
    QTest::newRow("negative") << -100 << "Unknown Error";
}

void tst_Transaction::denyReason()
{
    QFETCH(int, id);
    QFETCH(QString, text);
    QJsonObject data {{QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), id}}}};
    const Transaction t(data);
    QCOMPARE(t.denyReasonId(), id);
    QCOMPARE(t.denyReason(), text);
    QCOMPARE(t.toMap().value(QStringLiteral("denyReason")).toString(), text);
}

void tst_Transaction::denyReasonTranslatedAtCallTime()
{
    const Transaction blocked(json(R"({"denyReason": {"id": 253}})"));
    const Transaction unknown(json(R"({"denyReason": {"id": 999}})"));

    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QCOMPARE(blocked.denyReason(), QStringLiteral("<The card is blocked>"));
    QCOMPARE(unknown.denyReason(), QStringLiteral("<Unknown Error>"));
    QCOMPARE(blocked.toMap().value(QStringLiteral("denyReason")).toString(),
             QStringLiteral("<The card is blocked>"));

    // The same object answers in the language of the moment.
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(blocked.denyReason(), QStringLiteral("The card is blocked"));
}

void tst_Transaction::details_data()
{
    QTest::addColumn<QByteArray>("transaction");
    QTest::addColumn<QVariantMap>("overrides"); // expected keys that differ from the defaults

    const QDateTime activated(QDate(2024, 3, 1), QTime(6, 30), Qt::UTC);
    const QByteArray card = R"("card": {"balanceBefore": 1000, "balanceAfter": 880,
        "periodPass": {"remainingMinutes": 90, "remainingDays": 2, "activationTimestamp": "2024-03-01T06:30:00Z"},
        "storedJourneys": {"activationTimestamp": "2024-03-01T06:30:00Z", "after": 7, "transferRemainingMin": 45},
        "ePurse": {"transferRemainingMin": 25}})";
    auto withType = [&](int type) {
        return "{\"type\": " + QByteArray::number(type) + ", " + card + "}";
    };

    QTest::newRow("barcode") << QByteArray(R"({"type": 0, "barcode": {"fromStopGroupName": "Port",
        "toStopGroupName": "Airport", "transferRemainingMin": 30}})")
                             << QVariantMap {{"fromStopGroupName", QStringLiteral("Port")},
                                             {"toStopGroupName", QStringLiteral("Airport")},
                                             {"transferRemainingMin", 30}};
    QTest::newRow("barcode without its object")
        << QByteArray(R"({"type": 0})")
        << QVariantMap {{"fromStopGroupName", QStringLiteral("")}, {"toStopGroupName", QStringLiteral("")}};

    // Hundredths of the currency unit become currency units.
    const QVariantMap purse {{"deducted", 1.2}, {"remaining", 8.8}};
    QTest::newRow("e-purse") << withType(2) << purse;
    QTest::newRow("capping e-purse") << withType(15) << purse;
    QTest::newRow("e-purse top-up") << QByteArray(
        R"({"type": 2, "card": {"balanceBefore": 500, "balanceAfter": 2505}})")
                                    << QVariantMap {{"deducted", -20.05}, {"remaining", 25.05}};

    // Near the int limits the arithmetic must not wrap.
    QTest::newRow("e-purse near the int limits")
        << QByteArray(R"({"type": 2, "card": {"balanceBefore": 2147483647, "balanceAfter": -2147483648}})")
        << QVariantMap {{"deducted", 42949672.95}, {"remaining", -21474836.48}};
    QTest::newRow("fractional hundredths")
        << QByteArray(R"({"type": 15, "card": {"balanceBefore": 1000.4, "balanceAfter": 879.6}})")
        << QVariantMap {{"deducted", 1.2}, {"remaining", 8.8}};

    QTest::newRow("period pass minutes")
        << withType(8) << QVariantMap {{"remaining", 90}, {"activationTimestamp", activated.toLocalTime()}};
    QTest::newRow("period pass minutes null") << QByteArray(
        R"({"type": 8, "card": {"periodPass": {"remainingMinutes": null, "remainingDays": 2}}})")
                                              << QVariantMap {{"remaining", 2880}};
    QTest::newRow("period pass minutes absent")
        << QByteArray(R"({"type": 8, "card": {"periodPass": {"remainingDays": 2}}})")
        << QVariantMap {{"remaining", 2880}};
    QTest::newRow("period pass minutes present 0")
        << QByteArray(R"({"type": 8, "card": {"periodPass": {"remainingMinutes": 0, "remainingDays": 2}}})")
        << QVariantMap {{"remaining", 0}};
    QTest::newRow("period pass of more days than int minutes hold")
        << QByteArray(R"({"type": 8, "card": {"periodPass": {"remainingDays": 1500000}}})")
        << QVariantMap {{"remaining", INT_MAX}};
    QTest::newRow("period pass fractional minutes")
        << QByteArray(R"({"type": 8, "card": {"periodPass": {"remainingMinutes": 89.6}}})")
        << QVariantMap {{"remaining", 90}};
    QTest::newRow("period pass bad timestamp")
        << QByteArray(R"({"type": 8, "card": {"periodPass": {"remainingMinutes": 5,
            "activationTimestamp": "2024-03-01 06:30:00"}}})")
        << QVariantMap {{"remaining", 5}};

    const QVariantMap journeys {
        {"activationTimestamp", activated.toLocalTime()}, {"remaining", 7}, {"transferRemainingMin", 45}};
    QTest::newRow("stored journeys") << withType(5) << journeys;
    QTest::newRow("capping stored journeys") << withType(16) << journeys;
    QTest::newRow("transfer") << withType(12) << journeys;

    QTest::newRow("transfer e-purse")
        << withType(14) << QVariantMap {{"deducted", 0}, {"remaining", 8.8}, {"transferRemainingMin", 25}};

    QTest::newRow("EMV") << withType(10) << QVariantMap {};
    QTest::newRow("passenger type update") << withType(13) << QVariantMap {};
    QTest::newRow("unknown type") << withType(42) << QVariantMap {};
}

void tst_Transaction::details()
{
    QFETCH(QByteArray, transaction);
    QFETCH(QVariantMap, overrides);

    QVariantMap expected = Transaction::defaultDetails();
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        expected.insert(it.key(), it.value());

    const QVariantMap actual = Transaction(json(transaction.constData())).details();
    QCOMPARE(actual.keys(), expected.keys());
    for (const QString &key : expected.keys()) {
        if (key == QLatin1String("expires") && actual.value(key).toDateTime().isValid())
            continue; // depends on the clock, see periodPassExpiresFromNow
        // Money is floating point, minutes and trips are whole numbers: the
        // screens format by type, and QVariant would compare 0 and 0.0 equal.
        QCOMPARE(QMetaType::typeName(actual.value(key).userType()),
                 QMetaType::typeName(expected.value(key).userType()));
        QCOMPARE(actual.value(key), expected.value(key));
    }
    const bool periodPass = json(transaction.constData()).value(QLatin1String("type")).toInt() == 8;
    QCOMPARE(actual.value(QStringLiteral("expires")).toDateTime().isValid(), periodPass);
}

void tst_Transaction::periodPassExpiresFromNow()
{
    // However many days, the expiry lies ahead.
    const Transaction far(json(R"({"type": 8, "card": {"periodPass": {"remainingDays": 1500000}}})"));
    QVERIFY(far.details().value(QStringLiteral("expires")).toDateTime()
            > QDateTime::currentDateTime().addYears(4000));

    // Expiry counts from the moment of the call, whatever the activation.
    const Transaction t(json(R"({"type": 8, "card": {"periodPass": {"remainingMinutes": 90,
                                 "activationTimestamp": "2020-01-01T00:00:00Z"}}})"));
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime expires = t.details().value(QStringLiteral("expires")).toDateTime();
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(expires >= before.addSecs(90 * 60));
    QVERIFY(expires <= after.addSecs(90 * 60));
}

void tst_Transaction::convertTimestamp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QDateTime>("local"); // the same instant on the wall clock of the test zone

    QTest::newRow("exact") << "2024-03-01T06:30:00Z" << QDateTime(QDate(2024, 3, 1), QTime(6, 30), Qt::UTC)
                           << QDateTime(QDate(2024, 3, 1), QTime(8, 30));
    QTest::newRow("end of year") << "2023-12-31T23:59:59Z"
                                 << QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59), Qt::UTC)
                                 << QDateTime(QDate(2024, 1, 1), QTime(1, 59, 59));
    // 03:30 does not exist as a local time here that night; as UTC it does.
    QTest::newRow("inside the local DST gap")
        << "2024-03-31T03:30:00Z" << QDateTime(QDate(2024, 3, 31), QTime(3, 30), Qt::UTC)
        << QDateTime(QDate(2024, 3, 31), QTime(6, 30));

    QTest::newRow("blank instead of T, no Z") << "2024-03-01 06:30:00" << c_invalid << c_invalid;
    QTest::newRow("no Z") << "2024-03-01T06:30:00" << c_invalid << c_invalid;
    QTest::newRow("lower-case t and z") << "2024-03-01t06:30:00z" << c_invalid << c_invalid;
    QTest::newRow("offset instead of Z") << "2024-03-01T06:30:00+00:00" << c_invalid << c_invalid;
    QTest::newRow("milliseconds") << "2024-03-01T06:30:00.000Z" << c_invalid << c_invalid;
    QTest::newRow("no seconds") << "2024-03-01T06:30Z" << c_invalid << c_invalid;
    QTest::newRow("one-digit month") << "2024-3-01T06:30:00Z" << c_invalid << c_invalid;
    QTest::newRow("trailing blank") << "2024-03-01T06:30:00Z " << c_invalid << c_invalid;
    QTest::newRow("month 13") << "2024-13-01T06:30:00Z" << c_invalid << c_invalid;
    QTest::newRow("hour 24") << "2024-03-01T24:00:00Z" << c_invalid << c_invalid;
    QTest::newRow("empty") << "" << c_invalid << c_invalid;
}

void tst_Transaction::convertTimestamp()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, utc);
    QFETCH(QDateTime, local);

    const QDateTime result = Transaction::convertTimestamp(text);
    QCOMPARE(result.isValid(), utc.isValid());
    if (!utc.isValid())
        return;
    QCOMPARE(result.timeSpec(), Qt::LocalTime);
    QCOMPARE(result, utc);
    QCOMPARE(result.date(), local.date());
    QCOMPARE(result.time(), local.time());
}

void tst_Transaction::toMap()
{
    const Transaction t(json(R"({"result": true, "type": 5, "ticketId": "T-1", "fareProductName": "Ten trips",
        "passengerTypeName": "Adult", "denyReason": {"id": 0},
        "card": {"storedJourneys": {"after": 9}}})"));
    const QVariantMap map = t.toMap();
    QCOMPARE(map.keys(),
             (QStringList {"denyReason", "denyReasonId", "details", "fareProduct", "passengeType", "type",
                           "valid"}));
    QCOMPARE(map.value(QStringLiteral("valid")), QVariant(true));
    QCOMPARE(map.value(QStringLiteral("type")).userType(), int(QMetaType::Int));
    QCOMPARE(map.value(QStringLiteral("type")).toInt(), 5);
    QCOMPARE(map.value(QStringLiteral("denyReasonId")), QVariant(0));
    QCOMPARE(map.value(QStringLiteral("fareProduct")).toString(), QStringLiteral("Ten trips"));
    QCOMPARE(map.value(QStringLiteral("passengeType")).toString(), QStringLiteral("Adult"));
    QCOMPARE(map.value(QStringLiteral("details")).toMap().value(QStringLiteral("remaining")), QVariant(9));

    const QVariantMap empty = Transaction().toMap();
    QCOMPARE(empty.keys(), map.keys());
    QCOMPARE(empty.value(QStringLiteral("details")).toMap(), Transaction::defaultDetails());
}

QTEST_GUILESS_MAIN(tst_Transaction)
#include "tst_Transaction.moc"
