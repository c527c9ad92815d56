#pragma once

// Complete, so the property "sam" is readable as an object (a screen binding
// to it reads nothing behind a forward declaration).
#include "SAM.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVector>

// The contactless card reader as the validator service reports it, with the
// secure access modules in its slots.
class ValidatorRfid : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(int numberOfSlots READ numberOfSlots NOTIFY numberOfSlotsChanged)
    Q_PROPERTY(QString state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(QString firmware READ firmware NOTIFY firmwareChanged)
    Q_PROPERTY(QString manufacturer READ manufacturer NOTIFY manufacturerChanged)
    Q_PROPERTY(QString model READ model NOTIFY modelChanged)
    Q_PROPERTY(QString deviceUid READ deviceUid NOTIFY deviceUidChanged)
    Q_PROPERTY(SAM *sam READ sam NOTIFY samChanged)

public:
    explicit ValidatorRfid(QObject *parent = nullptr);

    bool active() const { return m_active; }
    // The reader is switched on while it looks for or holds a card.
    bool enabled() const;
    int numberOfSlots() const { return m_slots.size(); }
    QString state() const { return m_state; }
    QString error() const { return m_error; }
    QString firmware() const { return m_firmware; }
    QString manufacturer() const { return m_manufacturer; }
    QString model() const { return m_model; }
    QString deviceUid() const { return m_deviceUid; }
    // A new object after every status: hold it only until samChanged().
    SAM *sam() const;

    // Info members ("firmware", ...) and status members ("state", ...) are
    // applied independently; one object may carry both.
    void fromJson(const QJsonObject &obj);

    static QString mapState(int state);

Q_SIGNALS:
    void activeChanged();
    void enabledChanged();
    void numberOfSlotsChanged();
    void stateChanged();
    void errorChanged();
    void firmwareChanged();
    void manufacturerChanged();
    void modelChanged();
    void deviceUidChanged();
    void samChanged();

private:
    void parseInfo(const QJsonObject &obj);
    void parseStatus(const QJsonObject &obj);
    void setActive(bool active);
    void setFirmware(const QString &firmware);
    void setManufacturer(const QString &manufacturer);
    void setModel(const QString &model);
    void setDeviceUid(const QString &deviceUid);
    void setError(const QString &error);
    void setState(const QString &state);

    bool m_active = false;
    QString m_firmware;
    QString m_manufacturer;
    QString m_model;
    QString m_deviceUid;
    QString m_error;
    QString m_state;
    QVector<bool> m_slots;
    QVector<SAM *> m_sams;
};
