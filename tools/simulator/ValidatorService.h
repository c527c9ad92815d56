#pragma once

#include "SimulatedService.h"

// The ticketing service: readers, SAM, on-board unit link, route, and the
// result of every validation.
class ValidatorService : public SimulatedService
{
    Q_OBJECT

public:
    enum class Mode
    {
        Online,
        Degraded, // on-board unit and barcode reader lost
        OutOfService, // no route
        Offline, // service down
        Init,
        NoNtp,
        RfidUpdating
    };

    ValidatorService(manager::MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    void announce() override;
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }

    // Reader events and results, as the readers and the back end report them.
    void cardValidated(const QJsonObject &transaction);
    void barcodeValidated(const QJsonObject &transaction);
    void retry();
    void maintenanceBarcode(const QJsonObject &data);

    bool rfidEnabled() const { return m_rfidState == 2 || m_rfidState == 3; }
    bool barcodeEnabled() const { return m_barcodeEnabled; }

private:
    void publishStatus();
    void publishConfig();
    QJsonObject readers() const;

    Mode m_mode = Mode::Online;
    int m_rfidState = 1; // Idle until the UI enables the reader
    bool m_barcodeEnabled = false;
    QJsonObject m_config;
};
