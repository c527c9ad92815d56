#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

// One entry of the event log. Immutable: the change signals exist for QML
// bindings and are never emitted.
class Event : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString category READ category NOTIFY categoryChanged)
    Q_PROPERTY(QString name READ name NOTIFY nameChanged)
    Q_PROPERTY(QString description READ description NOTIFY descriptionChanged)
    Q_PROPERTY(QDateTime timestamp READ timestamp NOTIFY timestampChanged)

public:
    explicit Event(QObject *parent = nullptr);
    Event(QString category, QString name, QString description, QDateTime timestamp,
          QObject *parent = nullptr);

    QString category() const { return m_category; }
    QString name() const { return m_name; }
    QString description() const { return m_descr; }
    QDateTime timestamp() const { return m_timestamp; }

Q_SIGNALS:
    void categoryChanged();
    void nameChanged();
    void descriptionChanged();
    void timestampChanged();

private:
    QString m_category;
    QString m_name;
    QString m_descr;
    QDateTime m_timestamp;
};
