#include "ValidatorBarcode.h"

ValidatorBarcode::ValidatorBarcode(QObject *parent) : QObject(parent) { }

void ValidatorBarcode::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged();
}

void ValidatorBarcode::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChanged();
}

void ValidatorBarcode::setFirmware(const QString &firmware)
{
    if (m_firmware == firmware)
        return;
    m_firmware = firmware;
    Q_EMIT firmwareChanged();
}

void ValidatorBarcode::setManufacturer(const QString &manufacturer)
{
    if (m_manufacturer == manufacturer)
        return;
    m_manufacturer = manufacturer;
    Q_EMIT manufacturerChanged();
}

void ValidatorBarcode::setModel(const QString &model)
{
    if (m_model == model)
        return;
    m_model = model;
    Q_EMIT modelChanged();
}

void ValidatorBarcode::fromJson(const QJsonObject &obj)
{
    if (obj.contains(QLatin1String("active")))
        setActive(obj.value(QLatin1String("active")).toBool());
    if (obj.contains(QLatin1String("enabled")))
        setEnabled(obj.value(QLatin1String("enabled")).toBool());
    if (obj.contains(QLatin1String("firmware")))
        setFirmware(obj.value(QLatin1String("firmware")).toString());
    if (obj.contains(QLatin1String("manufacturer")))
        setManufacturer(obj.value(QLatin1String("manufacturer")).toString());
    if (obj.contains(QLatin1String("model")))
        setModel(obj.value(QLatin1String("model")).toString());
}
