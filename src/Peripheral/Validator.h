#pragma once

#include "Common/MessageFrame.h"
#include "Model/Transaction.h"
#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorConfig.h"
#include "Model/ValidatorRfid.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QUrl>

namespace manager {

class MqttClient;

// Proxy of the validator (ticketing) service: its availability, its readers
// and configuration, and the validation results it publishes.
class Validator : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString reason READ reason NOTIFY reasonChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)
    Q_PROPERTY(QString route READ route NOTIFY routeChanged)
    Q_PROPERTY(QString vehicle READ vehicle NOTIFY vehicleChanged)
    Q_PROPERTY(ValidatorConfig *config READ config NOTIFY configChanged)
    Q_PROPERTY(ValidatorBarcode *barcode READ barcode NOTIFY barcodeChanged)
    Q_PROPERTY(ValidatorRfid *rfid READ rfid NOTIFY rfidChanged)

public:
    Validator(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QString status() const { return m_status; }
    QString reason() const { return m_reason; }
    // Changes together with reason, under reasonChanged().
    QString reasonCode() const { return m_reasonCode; }
    QString version() const { return m_version; }
    QString route() const { return m_route; }
    QString vehicle() const { return m_vehicle; }
    ValidatorConfig *config() { return &m_config; }
    ValidatorBarcode *barcode() { return &m_barcode; }
    ValidatorRfid *rfid() { return &m_rfid; }

    static QString mapCardType(int type);

public Q_SLOTS:
    void enableBarcode();
    void disableBarcode();
    void enableRfid();
    void disableRfid();
    void saveConfig();
    void refreshConfig();

Q_SIGNALS:
    void statusChanged();
    void reasonChanged();
    void versionChanged();
    void routeChanged();
    void vehicleChanged();
    void configChanged();
    void barcodeChanged();
    void rfidChanged();

    void cardDetected(const QString &uid, const QString &type);
    void cardRemoved();
    void cardRetry();
    // The transaction lives only during the emission: take what is needed.
    void ticketValidated(const Transaction &transaction);
    // A barcode reader result, emitted just before its ticketValidated; the
    // diagnostics page tells the two readers apart by it.
    void barcodeScanned();
    void maintenanceBarcodeScanned(const QJsonObject &data);

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);
    void onMqttDisconnected();

private:
    void onInfoReceived(const QJsonObject &data, const QString &topic);
    void onStatusReceived(const QJsonObject &data, const QString &topic);
    void onConfigReceived(const QJsonObject &data, const QString &topic);
    void onCardFound(const QJsonObject &data, const QString &topic);
    void onCardScannedReceived(const QJsonObject &data, const QString &topic);
    void onBarcodeScannedReceived(const QJsonObject &data, const QString &topic);

    void setStatus(const QString &status);
    void setReason(const QString &reason, const QString &code);
    void setVersion(const QString &version);
    void setRoute(const QString &route);
    void setVehicle(const QString &vehicle);
    static QUrl parseUrl(const QJsonObject &blm);

    MqttClient &m_mqtt;
    QString m_base;
    QString m_status;
    QString m_reason;
    QString m_reasonCode;
    QString m_version;
    QString m_route;
    QString m_vehicle;
    ValidatorConfig m_config;
    ValidatorBarcode m_barcode;
    ValidatorRfid m_rfid;
    MessageFrame m_frame;
};

} // namespace manager
