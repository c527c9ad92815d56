#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

// The barcode and QR reader as the validator service reports it.
class ValidatorBarcode : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(QString firmware READ firmware NOTIFY firmwareChanged)
    Q_PROPERTY(QString manufacturer READ manufacturer NOTIFY manufacturerChanged)
    Q_PROPERTY(QString model READ model NOTIFY modelChanged)

public:
    explicit ValidatorBarcode(QObject *parent = nullptr);

    bool active() const { return m_active; }
    bool enabled() const { return m_enabled; }
    QString firmware() const { return m_firmware; }
    QString manufacturer() const { return m_manufacturer; }
    QString model() const { return m_model; }

    void setActive(bool active);
    void setEnabled(bool enabled);
    void setFirmware(const QString &firmware);
    void setManufacturer(const QString &manufacturer);
    void setModel(const QString &model);

    // Info and status messages each carry only some members; the missing
    // ones keep their last value.
    void fromJson(const QJsonObject &obj);

Q_SIGNALS:
    void activeChanged();
    void enabledChanged();
    void firmwareChanged();
    void manufacturerChanged();
    void modelChanged();

private:
    bool m_active = false;
    bool m_enabled = false;
    QString m_firmware;
    QString m_manufacturer;
    QString m_model;
};
