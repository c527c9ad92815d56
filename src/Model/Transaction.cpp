#include "Transaction.h"

#include "Common/MessageFrame.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <climits>

namespace {

struct DenyReason
{
    int first;
    int last;
    const char *text;
};

// Kept untranslated here and translated at lookup time, so a language change
// shows at the next result. The context must stay "Transaction" for the
// translation catalogue.
const DenyReason c_denyReasons[] = {
    {100, 100, QT_TRANSLATE_NOOP("Transaction", "The ticket is invalid")},
    {101, 101, QT_TRANSLATE_NOOP("Transaction", "The ticket has expired")},
    {102, 102, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this route")},
    {103, 103, QT_TRANSLATE_NOOP("Transaction", "The ticket has already been validated")},
    {104, 104, QT_TRANSLATE_NOOP("Transaction", "The ticket is not yet active")},
    {105, 105, QT_TRANSLATE_NOOP("Transaction", "Please try again")},
    {106, 106, QT_TRANSLATE_NOOP("Transaction", "The ticket does not belong to this operator")},
    {107, 107, QT_TRANSLATE_NOOP("Transaction", "The ticket has an invalid passenger profile")},
    {108, 108, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this axis")},
    {109, 109, QT_TRANSLATE_NOOP("Transaction", "The ticket is not allowed in this zone")},
    {110, 110, QT_TRANSLATE_NOOP("Transaction", "The ticket has invalid timestamp")},
    {200, 200, QT_TRANSLATE_NOOP("Transaction", "The card is invalid")},
    {201, 201, QT_TRANSLATE_NOOP("Transaction", "The card has expired")},
    {202, 202, QT_TRANSLATE_NOOP("Transaction", "The card is not allowed in this route")},
    {203, 203, QT_TRANSLATE_NOOP("Transaction", "The card has already been validated")},
    {204, 204, QT_TRANSLATE_NOOP("Transaction", "The card does not have enough trips")},
    {205, 205, QT_TRANSLATE_NOOP("Transaction", "The card does not have sufficient balance")},
    {206, 206, QT_TRANSLATE_NOOP("Transaction", "This card can no longer be used")},
    {207, 207, QT_TRANSLATE_NOOP("Transaction", "The card has already been validated")},
    {208, 208, QT_TRANSLATE_NOOP("Transaction", "The card is not active")},
    {209, 209, QT_TRANSLATE_NOOP("Transaction", "The card does not belong to this operator")},
    {210, 210, QT_TRANSLATE_NOOP("Transaction", "Insufficient balance")},
    {211, 211, QT_TRANSLATE_NOOP("Transaction", "Temporarily not available")},
    {250, 255, QT_TRANSLATE_NOOP("Transaction", "The card is blocked")},
    {300, 300, QT_TRANSLATE_NOOP("Transaction", "The product is blocked")},
    {301, 301, QT_TRANSLATE_NOOP("Transaction", "The product is not yet active")},
    {500, 500, QT_TRANSLATE_NOOP("Transaction", "Internal Error")},
};

const char *const c_unknownReason = QT_TRANSLATE_NOOP("Transaction", "Unknown Error");

QString translated(const char *text)
{
    return QCoreApplication::translate("Transaction", text);
}

} // namespace

Transaction::Transaction(QObject *parent) : QObject(parent) { }

Transaction::Transaction(const QJsonObject &data, QObject *parent) : QObject(parent), m_data(data) { }

bool Transaction::valid() const
{
    return m_data.value(QLatin1String("result")).toBool();
}

Transaction::Type Transaction::type() const
{
    return static_cast<Type>(m_data.value(QLatin1String("type")).toInt());
}

int Transaction::denyReasonId() const
{
    return m_data.value(QLatin1String("denyReason")).toObject().value(QLatin1String("id")).toInt();
}

QString Transaction::denyReason() const
{
    const int id = denyReasonId();
    for (const DenyReason &reason : c_denyReasons) {
        if (id >= reason.first && id <= reason.last)
            return translated(reason.text);
    }
    return translated(c_unknownReason);
}

QString Transaction::ticketId() const
{
    return m_data.value(QLatin1String("ticketId")).toString();
}

QString Transaction::fareProduct() const
{
    return m_data.value(QLatin1String("fareProductName")).toString();
}

QString Transaction::passengerType() const
{
    return m_data.value(QLatin1String("passengerTypeName")).toString();
}

QVariantMap Transaction::details() const
{
    QVariantMap details = defaultDetails();
    const QJsonObject barcode = m_data.value(QLatin1String("barcode")).toObject();
    const QJsonObject card = m_data.value(QLatin1String("card")).toObject();

    // "remaining" is money for the purse products and whole minutes or trips
    // for the others; the screens format it by product, so the type matters.
    switch (type()) {
    case Barcode:
        details[QStringLiteral("fromStopGroupName")]
            = barcode.value(QLatin1String("fromStopGroupName")).toString();
        details[QStringLiteral("toStopGroupName")]
            = barcode.value(QLatin1String("toStopGroupName")).toString();
        details[QStringLiteral("transferRemainingMin")]
            = manager::MessageFrame::toInt(barcode.value(QLatin1String("transferRemainingMin")));
        break;
    case CardEPurse:
    case CardCappingEPurse: {
        // 64 bits: a top-up or a debt near the int limits must not wrap.
        const qint64 before = manager::MessageFrame::toInt64(card.value(QLatin1String("balanceBefore")));
        const qint64 after = manager::MessageFrame::toInt64(card.value(QLatin1String("balanceAfter")));
        details[QStringLiteral("deducted")] = double(before - after) / 100.0;
        details[QStringLiteral("remaining")] = double(after) / 100.0;
        break;
    }
    case CardPeriodPass: {
        const QJsonObject pp = card.value(QLatin1String("periodPass")).toObject();
        const QJsonValue remainingMinutes = pp.value(QLatin1String("remainingMinutes"));
        // A present 0 means the pass runs out now; only an absent or null
        // member falls back to the whole days.
        const qint64 exact = (remainingMinutes.isUndefined() || remainingMinutes.isNull())
            ? qint64(manager::MessageFrame::toInt(pp.value(QLatin1String("remainingDays")))) * 1440
            : manager::MessageFrame::toInt64(remainingMinutes);
        // Whole minutes as the screens take them; beyond the int range (some
        // four thousand years) the pass simply runs on.
        const int minutes = int(qBound<qint64>(INT_MIN, exact, INT_MAX));
        details[QStringLiteral("remaining")] = minutes;
        details[QStringLiteral("activationTimestamp")]
            = convertTimestamp(pp.value(QLatin1String("activationTimestamp")).toString());
        details[QStringLiteral("expires")] = QDateTime::currentDateTime().addSecs(qint64(minutes) * 60);
        break;
    }
    case CardStoredJourneys:
    case CardCappingStoredJourneys:
    case CardTransfer: {
        const QJsonObject sj = card.value(QLatin1String("storedJourneys")).toObject();
        details[QStringLiteral("activationTimestamp")]
            = convertTimestamp(sj.value(QLatin1String("activationTimestamp")).toString());
        details[QStringLiteral("remaining")] = manager::MessageFrame::toInt(sj.value(QLatin1String("after")));
        details[QStringLiteral("transferRemainingMin")]
            = manager::MessageFrame::toInt(sj.value(QLatin1String("transferRemainingMin")));
        break;
    }
    case CardTransferEPurse:
        details[QStringLiteral("deducted")] = 0;
        details[QStringLiteral("remaining")]
            = double(manager::MessageFrame::toInt64(card.value(QLatin1String("balanceAfter")))) / 100.0;
        details[QStringLiteral("transferRemainingMin")] = manager::MessageFrame::toInt(
            card.value(QLatin1String("ePurse")).toObject().value(QLatin1String("transferRemainingMin")));
        break;
    default:
        break;
    }
    return details;
}

QVariantMap Transaction::toMap() const
{
    return {
        {QStringLiteral("valid"), valid()},
        {QStringLiteral("type"), int(type())},
        {QStringLiteral("denyReason"), denyReason()},
        {QStringLiteral("denyReasonId"), denyReasonId()},
        {QStringLiteral("fareProduct"), fareProduct()},
        // The screens read this key without the "r".
        {QStringLiteral("passengeType"), passengerType()},
        {QStringLiteral("details"), details()},
    };
}

QVariantMap Transaction::defaultDetails()
{
    return {
        {QStringLiteral("fromStopGroupName"), QString()},
        {QStringLiteral("toStopGroupName"), QString()},
        {QStringLiteral("deducted"), 0.0},
        {QStringLiteral("remaining"), 0.0},
        {QStringLiteral("activationTimestamp"), QDateTime()},
        {QStringLiteral("expires"), QDateTime()},
        {QStringLiteral("transferRemainingMin"), 0},
    };
}

QDateTime Transaction::convertTimestamp(const QString &text)
{
    // Date and time are parsed apart and joined as UTC: parsing the whole text
    // as a local time would lose the instants that fall into the local
    // daylight-saving gap.
    if (text.size() != 20 || text.at(10) != QLatin1Char('T') || text.at(19) != QLatin1Char('Z'))
        return {};
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC).toLocalTime();
}
