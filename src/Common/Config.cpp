#include "Config.h"

#include "StaleFiles.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonValue>
#include <QSettings>
#include <QTemporaryFile>

namespace {
const QString c_separator = QStringLiteral("------------------------------------------------------------");
const QString c_mask = QStringLiteral("****");
const QString c_logPrefix = QStringLiteral("[Config] ");

// Secrets never reach the log; an empty one is shown as empty so a missing
// password stays visible.
bool isSecret(const QString &key)
{
    return key == QLatin1String("mqtt/password") || key == QLatin1String("gui/settingsPin");
}

QVariantMap readSettings(QSettings &settings)
{
    QVariantMap values;
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys) {
        const QVariant value = settings.value(key);
        // An unquoted comma makes QSettings split the value into a list, which
        // every reader would then see as empty text; the file holds texts.
        if (value.userType() == QMetaType::QStringList) {
            values.insert(key, value.toStringList().join(QLatin1Char(',')));
        } else {
            values.insert(key, value);
        }
    }
    return values;
}
} // namespace

Config::Config(const QString &filename, const QVariantMap &defaults, QObject *parent)
    : QObject(parent), m_filename(filename), m_settings(defaults), m_defaults(defaults)
{
    // Leftovers of a save cut short by a power loss: one process owns the
    // file, so at start nothing else can be writing it.
    StaleFiles::removeTemporaries(m_filename, c_logPrefix);
    if (!QFileInfo::exists(m_filename)) {
        qWarning().noquote().nospace() << "[Config] Creating default config file : " << m_filename;
        save();
    }
    load();
    connect(&m_watch, &QFileSystemWatcher::fileChanged, this, &Config::onFileChanged);
    connect(&m_watch, &QFileSystemWatcher::directoryChanged, this, &Config::onDirectoryChanged);
    watchFile();
}

Config::~Config() = default;

QVariant Config::get(const QString &key) const
{
    const auto override = m_overrides.constFind(key);
    if (override != m_overrides.constEnd()) {
        return *override;
    }
    const auto fallback = m_defaults.constFind(key);
    if (fallback != m_defaults.constEnd()) {
        return m_settings.value(key, *fallback);
    }
    return m_settings.value(key);
}

void Config::set(const QString &key, const QVariant &value)
{
    const auto current = m_settings.constFind(key);
    if (current != m_settings.constEnd() && *current == value) {
        return;
    }
    // A value chosen while running beats the one given on the command line.
    m_overrides.remove(key);
    m_settings.insert(key, value);
    emit configChanged(QVariantMap {{key, value}});
    save();
}

void Config::addDefaults(const QVariantMap &map)
{
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        m_defaults.insert(it.key(), it.value());
    }
}

void Config::addOverrides(const QVariantMap &map)
{
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        m_overrides.insert(it.key(), it.value());
    }
}

void Config::print() const
{
    const QStringList names = keys();
    int width = 0;
    for (const QString &key : names) {
        width = qMax(width, key.size());
    }

    qInfo().noquote().nospace() << "[Config] " << c_separator;
    qInfo().noquote().nospace() << "[Config]  SETTINGS (" << m_filename << ")";
    qInfo().noquote().nospace() << "[Config] " << c_separator;
    for (const QString &key : names) {
        QString value = get(key).toString();
        if (isSecret(key) && !value.isEmpty()) {
            value = c_mask;
        }
        qInfo().noquote().nospace()
            << QStringLiteral("[Config]  %1 : %2").arg(key.leftJustified(width), value);
    }
    qInfo().noquote().nospace() << "[Config] " << c_separator;
}

QJsonObject Config::toJson() const
{
    QJsonObject result;
    for (auto it = m_settings.constBegin(); it != m_settings.constEnd(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        // A key outside any section has no place in the two-level form.
        if (parts.size() < 2) {
            continue;
        }
        QJsonObject section = result.value(parts.at(0)).toObject();
        section.insert(parts.at(1), QJsonValue::fromVariant(it.value()));
        result.insert(parts.at(0), section);
    }
    return result;
}

Config &Config::fromJson(const QJsonObject &json)
{
    QVariantMap changes;
    QVariantMap flat;
    for (auto section = json.constBegin(); section != json.constEnd(); ++section) {
        if (!section.value().isObject()) {
            continue;
        }
        const QJsonObject members = section.value().toObject();
        for (auto member = members.constBegin(); member != members.constEnd(); ++member) {
            const QString key = section.key() + QLatin1Char('/') + member.key();
            // Remote configuration may change keys, never add them.
            if (!m_settings.contains(key)) {
                continue;
            }
            const QJsonValue value = member.value();
            // Every setting is a number, a boolean or a text; a null, list or
            // object would land in the file as an unreadable blob.
            if (!value.isBool() && !value.isDouble() && !value.isString()) {
                qWarning().noquote().nospace()
                    << "[Config] WARN: Ignoring value that is not a number, boolean or "
                       "text for : "
                    << key;
                continue;
            }
            flat.insert(key, value.toVariant());
        }
    }
    for (auto it = flat.constBegin(); it != flat.constEnd(); ++it) {
        if (m_settings.value(it.key()) == it.value()) {
            continue;
        }
        m_settings.insert(it.key(), it.value());
        changes.insert(it.key(), it.value());
    }
    if (!changes.isEmpty()) {
        save();
        emit configChanged(changes);
    }
    return *this;
}

void Config::onFileChanged(const QString &path)
{
    Q_UNUSED(path)
    const QVariantMap changes = takeIn(readFile());
    if (!changes.isEmpty()) {
        emit configFileChanged();
        emit configChanged(changes);
    }
    // An editor that saves by writing a new file and renaming it over the old
    // one leaves the watch on the old, deleted file.
    watchFile();
}

void Config::onDirectoryChanged(const QString &path)
{
    Q_UNUSED(path)
    if (QFileInfo::exists(m_filename)) {
        onFileChanged(m_filename);
    }
}

QVariantMap Config::readFile() const
{
    QFile file(m_filename);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote().nospace()
            << "[Config] WARN: Cannot read config file : " << m_filename << " (" << file.errorString() << ")";
        return {};
    }
    const QByteArray content = file.readAll();
    file.close();

    // QSettings skips re-reading a file whose size and modification time (in
    // milliseconds) match its cached copy, so a quick edit of the same length
    // ("level=2" to "level=3") would go unseen. A fresh copy is always parsed.
    QTemporaryFile copy(QDir::temp().filePath(QStringLiteral("tallyport-config-XXXXXX")));
    const bool copied = copy.open() && copy.write(content) == content.size() && copy.flush();
    QSettings settings(copied ? copy.fileName() : m_filename, QSettings::NativeFormat);
    const QVariantMap values = readSettings(settings);
    if (settings.status() == QSettings::FormatError) {
        qWarning().noquote().nospace()
            << "[Config] WARN: Skipped malformed lines of config file : " << m_filename;
    }
    return values;
}

QVariantMap Config::takeIn(const QVariantMap &values)
{
    QVariantMap changes;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const auto current = m_settings.constFind(it.key());
        if (current != m_settings.constEnd() && *current == it.value()) {
            continue;
        }
        m_settings.insert(it.key(), it.value());
        changes.insert(it.key(), it.value());
    }
    return changes;
}

void Config::load()
{
    const QVariantMap changes = takeIn(readFile());
    if (!changes.isEmpty()) {
        emit configChanged(changes);
    }
}

void Config::save()
{
    // Our own write must not come back as an outside edit.
    m_watch.removePath(m_filename);
    StaleFiles::clearLock(m_filename, c_logPrefix);
    {
        QSettings settings(m_filename, QSettings::NativeFormat);
        for (auto it = m_settings.constBegin(); it != m_settings.constEnd(); ++it) {
            settings.setValue(it.key(), it.value());
        }
        settings.sync();
        if (settings.status() == QSettings::AccessError) {
            qWarning().noquote().nospace() << "[Config] WARN: Cannot write config file : " << m_filename;
        }
    }
    watchFile();
}

void Config::watchFile()
{
    const QFileInfo info(m_filename);
    if (info.exists()) {
        if (!info.isDir() && !m_watch.files().contains(m_filename)) {
            m_watch.addPath(m_filename);
        }
        const QStringList directories = m_watch.directories();
        if (!directories.isEmpty()) {
            m_watch.removePaths(directories);
        }
        return;
    }
    // Some editors delete the file before writing the new one: wait in its
    // folder until it is back.
    const QString directory = QFileInfo(m_filename).absolutePath();
    if (!m_watch.directories().contains(directory) && QFileInfo(directory).isDir()) {
        qWarning().noquote().nospace()
            << "[Config] WARN: Config file missing, waiting for it : " << m_filename;
        m_watch.addPath(directory);
    }
}

#include "moc_Config.cpp"
