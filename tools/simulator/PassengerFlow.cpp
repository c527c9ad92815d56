#include "PassengerFlow.h"

#include "BoardService.h"
#include "ValidatorService.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTextStream>

namespace {
QString stamp(qint64 secondsAgo)
{
    return QDateTime::currentDateTimeUtc()
        .addSecs(-secondsAgo)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QString ticketId()
{
    return QStringLiteral("T%1").arg(QRandomGenerator::global()->bounded(10000000, 99999999));
}
} // namespace

PassengerFlow::PassengerFlow(ValidatorService &validator, BoardService &board, QObject *parent)
    : QObject(parent), m_validator(validator), m_board(board)
{
    connect(&m_timer, &QTimer::timeout, this, &PassengerFlow::next);
}

QStringList PassengerFlow::productNames()
{
    return {QStringLiteral("epurse"),   QStringLiteral("period"),          QStringLiteral("trips"),
            QStringLiteral("barcode"),  QStringLiteral("capping-epurse"),  QStringLiteral("capping-trips"),
            QStringLiteral("transfer"), QStringLiteral("transfer-epurse"), QStringLiteral("emv"),
            QStringLiteral("profile")};
}

QJsonObject PassengerFlow::transaction(const QString &product, bool valid, int denyId)
{
    QJsonObject t {{QStringLiteral("result"), valid},
                   {QStringLiteral("ticketId"), ticketId()},
                   {QStringLiteral("passengerTypeName"), QStringLiteral("Adult")}};
    if (!valid)
        t.insert(QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), denyId}});

    const auto purse = [](int before, int after) {
        return QJsonObject {{QStringLiteral("balanceBefore"), before},
                            {QStringLiteral("balanceAfter"), after}};
    };
    const auto trips = [](int after, int transferMin) {
        return QJsonObject {{QStringLiteral("activationTimestamp"), stamp(3600 * 26)},
                            {QStringLiteral("after"), after},
                            {QStringLiteral("transferRemainingMin"), transferMin}};
    };

    int type = 0;
    QString fare;
    QJsonObject card;
    if (product == QLatin1String("epurse")) {
        type = 2;
        fare = QStringLiteral("Single fare 90'");
        card = valid ? purse(1250, 1130) : purse(80, 80);
    } else if (product == QLatin1String("period")) {
        type = 8;
        fare = QStringLiteral("30-day pass");
        card.insert(QStringLiteral("periodPass"),
                    QJsonObject {{QStringLiteral("remainingMinutes"), QJsonValue::Null},
                                 {QStringLiteral("remainingDays"), 12},
                                 {QStringLiteral("activationTimestamp"), stamp(3600 * 24 * 18)}});
    } else if (product == QLatin1String("trips")) {
        type = 5;
        fare = QStringLiteral("10 trips");
        card.insert(QStringLiteral("storedJourneys"), trips(7, 90));
    } else if (product == QLatin1String("capping-epurse")) {
        type = 15;
        fare = QStringLiteral("Daily cap");
        card = purse(2000, 1880);
    } else if (product == QLatin1String("capping-trips")) {
        type = 16;
        fare = QStringLiteral("Weekly cap trips");
        card.insert(QStringLiteral("storedJourneys"), trips(3, 60));
    } else if (product == QLatin1String("transfer")) {
        type = 12;
        fare = QStringLiteral("Transfer");
        card.insert(QStringLiteral("storedJourneys"), trips(6, 42));
    } else if (product == QLatin1String("transfer-epurse")) {
        type = 14;
        fare = QStringLiteral("Transfer (e-purse)");
        card = purse(960, 960);
        card.insert(QStringLiteral("ePurse"), QJsonObject {{QStringLiteral("transferRemainingMin"), 35}});
    } else if (product == QLatin1String("emv")) {
        type = 10;
        fare = QStringLiteral("Contactless bank card");
    } else if (product == QLatin1String("profile")) {
        type = 13;
        fare = QStringLiteral("Student profile");
        t.insert(QStringLiteral("passengerTypeName"), QStringLiteral("Student"));
    } else { // barcode
        type = 0;
        fare = QStringLiteral("Airport express");
        t.insert(QStringLiteral("barcode"),
                 QJsonObject {{QStringLiteral("fromStopGroupName"), QStringLiteral("Syntagma")},
                              {QStringLiteral("toStopGroupName"), QStringLiteral("Airport")},
                              {QStringLiteral("transferRemainingMin"), 75}});
    }
    t.insert(QStringLiteral("type"), type);
    t.insert(QStringLiteral("fareProductName"), fare);
    if (!card.isEmpty())
        t.insert(QStringLiteral("card"), card);
    return t;
}

void PassengerFlow::present(const QString &product, bool valid, int denyId)
{
    const QJsonObject t = transaction(product, valid, denyId);
    if (isBarcode(product))
        m_validator.barcodeValidated(t);
    else
        m_validator.cardValidated(t);
}

void PassengerFlow::buildScript(bool scenarios)
{
    m_steps.clear();
    const auto ok = [this](const QString &product) {
        m_steps.append({QStringLiteral("valid %1").arg(product), [this, product] {
                            present(product);
                        }});
    };
    const auto deny = [this](const QString &product, int id) {
        m_steps.append({QStringLiteral("deny %1 (%2)").arg(id).arg(product), [this, product, id] {
                            present(product, false, id);
                        }});
    };

    ok(QStringLiteral("epurse"));
    ok(QStringLiteral("barcode"));
    ok(QStringLiteral("period"));
    ok(QStringLiteral("trips"));
    deny(QStringLiteral("barcode"), 103); // already validated ticket
    m_steps.append({QStringLiteral("retry"), [this] {
                        m_validator.retry();
                    }});
    deny(QStringLiteral("period"), 207); // already validated card
    deny(QStringLiteral("trips"), 203); // same words as 207, but refused
    deny(QStringLiteral("epurse"), 205);
    deny(QStringLiteral("barcode"), 101);
    ok(QStringLiteral("capping-epurse"));
    ok(QStringLiteral("capping-trips"));
    deny(QStringLiteral("epurse"), 252);
    ok(QStringLiteral("transfer"));
    ok(QStringLiteral("transfer-epurse"));
    deny(QStringLiteral("trips"), 999); // an id the UI does not know
    ok(QStringLiteral("emv"));
    ok(QStringLiteral("profile"));

    if (!scenarios)
        return;
    using Mode = ValidatorService::Mode;
    const auto mode = [this](const QString &text, Mode m) {
        m_steps.append({text, [this, m] { m_validator.setMode(m); }, false});
    };
    mode(QStringLiteral("validator degraded"), Mode::Degraded);
    ok(QStringLiteral("epurse"));
    mode(QStringLiteral("validator online"), Mode::Online);
    mode(QStringLiteral("validator out of service"), Mode::OutOfService);
    mode(QStringLiteral("validator online"), Mode::Online);
    m_steps.append({QStringLiteral("ignition off"), [this] { m_board.setIgnition(false); }, false});
    m_steps.append({QStringLiteral("ignition on"), [this] { m_board.setIgnition(true); }, false});
    mode(QStringLiteral("validator offline"), Mode::Offline);
    mode(QStringLiteral("validator online"), Mode::Online);
}

void PassengerFlow::start(int paceMs, bool scenarios)
{
    buildScript(scenarios);
    m_index = 0;
    m_timer.start(paceMs);
}

void PassengerFlow::stop()
{
    m_timer.stop();
}

void PassengerFlow::next()
{
    if (m_steps.isEmpty())
        return;
    const Step &step = m_steps.at(m_index);
    const bool isBarcodeStep = step.text.contains(QLatin1String("barcode"));
    const bool readerReady = isBarcodeStep ? m_validator.barcodeEnabled() : m_validator.rfidEnabled();
    if (step.needsReader && !readerReady)
        return; // nobody taps while the screen does not invite it; try again on the next tick
    QTextStream(stdout) << "[flow] " << step.text << Qt::endl;
    step.action();
    m_index = (m_index + 1) % m_steps.size();
}
