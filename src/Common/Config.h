#pragma once

#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// Every setting of the process: built-in defaults, the configuration file
// (native INI form) and command-line overrides. Reads give the effective
// value; writes go to the file at once; edits of the file by other programs
// are followed and reported.
class Config : public QObject
{
    Q_OBJECT

public:
    Config(const QString &filename, const QVariantMap &defaults, QObject *parent = nullptr);
    ~Config() override;

    QString filename() const { return m_filename; }
    QVariantMap defaults() const { return m_defaults; }
    QStringList keys() const { return m_settings.keys(); }

    QVariant get(const QString &key) const;
    void set(const QString &key, const QVariant &value);

    void addDefaults(const QVariantMap &map);
    void addOverrides(const QVariantMap &map);

    void print() const;

    QJsonObject toJson() const;
    Config &fromJson(const QJsonObject &json);

Q_SIGNALS:
    void configChanged(QVariantMap changes);
    void configFileChanged();

private Q_SLOTS:
    void onFileChanged(const QString &path);
    void onDirectoryChanged(const QString &path);

private:
    QVariantMap readFile() const;
    bool writeFile() const;
    QVariantMap takeIn(const QVariantMap &values);
    // False, with a warning, for a value out of the key's range or too long.
    bool accepts(const QString &key, const QVariant &value) const;
    void load();
    void save();
    void watchFile();

    QString m_filename;
    QVariantMap m_settings;
    QVariantMap m_defaults;
    QVariantMap m_overrides;
    QFileSystemWatcher m_watch;
};
