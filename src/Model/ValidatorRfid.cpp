#include "ValidatorRfid.h"

#include "SAM.h"

#include <QJsonArray>

ValidatorRfid::ValidatorRfid(QObject *parent) : QObject(parent) { }

bool ValidatorRfid::enabled() const
{
    return m_state == QLatin1String("Searching") || m_state == QLatin1String("CardFound");
}

SAM *ValidatorRfid::sam() const
{
    return m_sams.isEmpty() ? nullptr : m_sams.first();
}

void ValidatorRfid::fromJson(const QJsonObject &obj)
{
    if (obj.contains(QLatin1String("firmware")))
        parseInfo(obj);
    if (obj.contains(QLatin1String("state")))
        parseStatus(obj);
}

QString ValidatorRfid::mapState(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("Init");
    case 1:
        return QStringLiteral("Idle");
    case 2:
        return QStringLiteral("Searching");
    case 3:
        return QStringLiteral("CardFound");
    case 4:
        return QStringLiteral("Updating");
    case 5:
        return QStringLiteral("Error");
    default:
        return QStringLiteral("Unknown");
    }
}

void ValidatorRfid::parseInfo(const QJsonObject &obj)
{
    setFirmware(obj.value(QLatin1String("firmware")).toString());
    setModel(obj.value(QLatin1String("model")).toString());
    setManufacturer(obj.value(QLatin1String("manufacturer")).toString());
    setDeviceUid(obj.value(QLatin1String("uid")).toString());
}

void ValidatorRfid::parseStatus(const QJsonObject &obj)
{
    setActive(obj.value(QLatin1String("active")).toBool());
    setError(obj.value(QLatin1String("error")).toString());
    setState(mapState(obj.value(QLatin1String("state")).toInt()));

    const int slotsBefore = m_slots.size();
    m_slots.clear();
    const QJsonArray slotArray = obj.value(QLatin1String("slots")).toArray();
    for (const QJsonValue &slot : slotArray)
        m_slots.append(slot.toBool());
    // Without this a page opened before the first status would show no slots.
    if (m_slots.size() != slotsBefore)
        Q_EMIT numberOfSlotsChanged();

    // Screens may still be bound to the old objects while this runs; they
    // must survive until control returns to the event loop.
    for (SAM *old : qAsConst(m_sams))
        old->deleteLater();
    m_sams.clear();
    const QJsonArray samArray = obj.value(QLatin1String("sams")).toArray();
    for (const QJsonValue &sam : samArray)
        m_sams.append(new SAM(sam.toObject(), this));
    Q_EMIT samChanged();
}

void ValidatorRfid::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged();
}

void ValidatorRfid::setFirmware(const QString &firmware)
{
    if (m_firmware == firmware)
        return;
    m_firmware = firmware;
    Q_EMIT firmwareChanged();
}

void ValidatorRfid::setManufacturer(const QString &manufacturer)
{
    if (m_manufacturer == manufacturer)
        return;
    m_manufacturer = manufacturer;
    Q_EMIT manufacturerChanged();
}

void ValidatorRfid::setModel(const QString &model)
{
    if (m_model == model)
        return;
    m_model = model;
    Q_EMIT modelChanged();
}

void ValidatorRfid::setDeviceUid(const QString &deviceUid)
{
    if (m_deviceUid == deviceUid)
        return;
    m_deviceUid = deviceUid;
    Q_EMIT deviceUidChanged();
}

void ValidatorRfid::setError(const QString &error)
{
    if (m_error == error)
        return;
    m_error = error;
    Q_EMIT errorChanged();
}

void ValidatorRfid::setState(const QString &state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
    Q_EMIT enabledChanged();
}
