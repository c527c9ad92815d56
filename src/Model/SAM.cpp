#include "SAM.h"

namespace {

template<typename T, typename Signal> void assign(SAM *sam, T &field, const T &value, Signal signal)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(sam->*signal)();
}

} // namespace

SAM::SAM(QObject *parent) : QObject(parent) { }

SAM::SAM(const QJsonObject &obj, QObject *parent) : QObject(parent)
{
    fromJson(obj);
}

void SAM::fromJson(const QJsonObject &obj)
{
    assign(this, m_slot, obj.value(QLatin1String("slot")).toInt(), &SAM::slotChanged);
    assign(this, m_enabled, obj.value(QLatin1String("enabled")).toBool(), &SAM::enabledChanged);
    assign(this, m_unlocked, obj.value(QLatin1String("unlocked")).toBool(), &SAM::unlockedChanged);
    assign(this, m_atr, obj.value(QLatin1String("atr")).toString(), &SAM::atrChanged);
    assign(this, m_batch, obj.value(QLatin1String("batch")).toString(), &SAM::batchChanged);
    assign(this, m_mode, obj.value(QLatin1String("mode")).toString(), &SAM::modeChanged);
    assign(this, m_name, obj.value(QLatin1String("name")).toString(), &SAM::nameChanged);

    // Compared by day number: two invalid dates are the same "no date".
    const QDate production
        = QDate::fromString(obj.value(QLatin1String("production")).toString(), QStringLiteral("yyyy-MM-dd"));
    if (production.toJulianDay() != m_production.toJulianDay()) {
        m_production = production;
        Q_EMIT productionChanged();
    }

    assign(this, m_uid, obj.value(QLatin1String("uid")).toString(), &SAM::uidChanged);
    assign(this, m_vendor, obj.value(QLatin1String("vendor")).toString(), &SAM::vendorChanged);
    assign(this, m_version, obj.value(QLatin1String("version")).toString(), &SAM::versionChanged);
}
