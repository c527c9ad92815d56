#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVariantMap>

// One validation result as the validator service reports it. The service's
// object is kept untouched and every question is answered from it on demand,
// so a result never disagrees with what the service sent.
class Transaction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool valid READ valid CONSTANT)
    Q_PROPERTY(Type type READ type CONSTANT)
    Q_PROPERTY(int denyReasonId READ denyReasonId CONSTANT)
    Q_PROPERTY(QString denyReason READ denyReason CONSTANT)
    Q_PROPERTY(QString ticketId READ ticketId CONSTANT)
    Q_PROPERTY(QString fareProduct READ fareProduct CONSTANT)
    Q_PROPERTY(QString passengerType READ passengerType CONSTANT)
    Q_PROPERTY(QVariantMap details READ details CONSTANT)

public:
    // The service's product numbers; other numbers pass through unchanged.
    enum Type
    {
        Barcode = 0,
        CardEPurse = 2,
        CardStoredJourneys = 5,
        CardPeriodPass = 8,
        CardEMV = 10,
        CardTransfer = 12,
        CardPassengerTypeUpdate = 13,
        CardTransferEPurse = 14,
        CardCappingEPurse = 15,
        CardCappingStoredJourneys = 16
    };
    Q_ENUM(Type)

    explicit Transaction(QObject *parent = nullptr);
    explicit Transaction(const QJsonObject &data, QObject *parent = nullptr);

    bool valid() const;
    Type type() const;
    int denyReasonId() const;
    // Translated in the current language at every call.
    QString denyReason() const;
    QString ticketId() const;
    QString fareProduct() const;
    QString passengerType() const;
    QVariantMap details() const;

    QVariantMap toMap() const;

    static QVariantMap defaultDetails();
    // "2024-03-01T06:30:00Z" (UTC) to local time; anything else is invalid.
    static QDateTime convertTimestamp(const QString &text);

private:
    Q_DISABLE_COPY(Transaction)

    QJsonObject m_data;
};
