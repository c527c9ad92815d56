#include "Config.h"

#include "IniReader.h"
#include "Logger.h"
#include "StaleFiles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonValue>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <climits>
#include <cmath>

namespace {
const QString c_separator = QStringLiteral("------------------------------------------------------------");
const QString c_mask = QStringLiteral("****");
const QString c_logPrefix = QStringLiteral("[Config] ");

// What a value of a key may be. Numbers are whole and within [min, max]; a
// text (any value, as text) is at most maxLength characters long.
struct Limit
{
    int maxLength = 1024;
    bool number = false;
    qint64 min = 0;
    qint64 max = 0;
};

Limit text(int maxLength)
{
    return Limit {maxLength, false, 0, 0};
}

Limit number(qint64 min, qint64 max)
{
    return Limit {32, true, min, max};
}

// Timers hold an int of milliseconds: the delays stay within what they can
// count, so no reader has to guard an overflow of its own.
const QHash<QString, Limit> &limits()
{
    static const QHash<QString, Limit> table {
        {QStringLiteral("log/level"), number(INT_MIN, INT_MAX)},
        {QStringLiteral("log/syslog"), text(16)},
        {QStringLiteral("log/stderr"), text(16)},
        {QStringLiteral("log/color"), text(16)},
        {QStringLiteral("mqtt/host"), text(255)},
        {QStringLiteral("mqtt/port"), number(1, 65535)},
        {QStringLiteral("mqtt/username"), text(256)},
        {QStringLiteral("mqtt/password"), text(256)},
        {QStringLiteral("mqtt/base"), text(256)},
        {QStringLiteral("gui/settingsPin"), text(32)},
        {QStringLiteral("gui/showCursor"), text(16)},
        {QStringLiteral("gui/deviceId"), text(4096)},
        {QStringLiteral("gui/locale"), text(64)},
        {QStringLiteral("gui/displayOffMin"), number(0, INT_MAX / 60000)},
        {QStringLiteral("gui/shutdownDelaySec"), number(0, INT_MAX / 1000)},
        {QStringLiteral("gui/showErrorDesc"), text(16)},
        {QStringLiteral("gui/screenSaverBg"), text(64)},
        {QStringLiteral("gui/screenSaverImg"), text(2048)},
        {QStringLiteral("gui/animSwitchSec"), number(0, INT_MAX)},
        {QStringLiteral("topics/barcode"), text(256)},
        {QStringLiteral("topics/blm"), text(256)},
        {QStringLiteral("topics/board"), text(256)},
        {QStringLiteral("topics/inspector"), text(256)},
        {QStringLiteral("topics/network"), text(256)},
        {QStringLiteral("topics/device"), text(256)},
    };
    return table;
}

// A whole number, as the readers will see it. A fraction is refused whatever
// its source: saved, it would come back from the file as a text no reader
// takes for a number.
bool wholeNumber(const QVariant &value, qint64 *result)
{
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) >= 9.0e18 || d != std::floor(d))
            return false;
        *result = qint64(d);
        return true;
    }
    case QMetaType::Bool:
        *result = value.toBool() ? 1 : 0;
        return true;
    default: {
        bool ok = false;
        *result = value.toString().toLongLong(&ok);
        return ok;
    }
    }
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
    if (!accepts(key, value)) {
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
        if (manager::Logger::isSecret(key) && !value.isEmpty()) {
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
        if (m_settings.value(it.key()) == it.value() || !accepts(it.key(), it.value())) {
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

    // Parsed from the bytes just read, in place: the toolkit's reader would
    // answer from a cache it renews only when size or time stamp change, and
    // no copy of the file (secrets included) is made anywhere else.
    const IniReader::Result result = IniReader::read(content);
    if (result.malformed) {
        qWarning().noquote().nospace()
            << "[Config] WARN: Skipped malformed lines of config file : " << m_filename;
    }
    return result.values;
}

QVariantMap Config::takeIn(const QVariantMap &values)
{
    QVariantMap changes;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const auto current = m_settings.constFind(it.key());
        if (current != m_settings.constEnd() && *current == it.value()) {
            continue;
        }
        if (!accepts(it.key(), it.value())) {
            continue;
        }
        m_settings.insert(it.key(), it.value());
        changes.insert(it.key(), it.value());
    }
    return changes;
}

bool Config::accepts(const QString &key, const QVariant &value) const
{
    const Limit limit = limits().value(key);
    const QString text = value.toString();
    QString reason;
    if (text.size() > limit.maxLength) {
        reason = QStringLiteral("%1 characters, more than %2").arg(text.size()).arg(limit.maxLength);
    } else if (limit.number) {
        qint64 number = 0;
        if (!wholeNumber(value, &number)) {
            reason = QStringLiteral("not a whole number : ") + manager::Logger::payload(text);
        } else if (number < limit.min || number > limit.max) {
            reason = QStringLiteral("%1 is out of range %2..%3").arg(number).arg(limit.min).arg(limit.max);
        }
    }
    if (reason.isEmpty()) {
        return true;
    }
    QString kept = get(key).toString();
    if (manager::Logger::isSecret(key) && !kept.isEmpty()) {
        kept = c_mask;
    }
    qWarning().noquote().nospace() << "[Config] WARN: Refusing " << manager::Logger::payload(key) << " : "
                                   << reason << " (keeping " << manager::Logger::payload(kept) << ")";
    return false;
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
    if (!writeFile()) {
        qWarning().noquote().nospace() << "[Config] WARN: Cannot write config file : " << m_filename;
    }
    watchFile();
}

// The settings class, given the file itself, first decodes every value the
// file holds to merge them, and a damaged stored value can make it ask for all
// the memory there is. It is given a new, empty file beside the real one
// instead, with what the file holds as the file's own reader reads it (keys
// of other programs kept) and our values over that; the result replaces the
// file in one rename that keeps its permissions.
bool Config::writeFile() const
{
    QVariantMap values = readFile();
    for (auto it = m_settings.constBegin(); it != m_settings.constEnd(); ++it) {
        values.insert(it.key(), it.value());
    }
    QTemporaryFile scratch(m_filename + QStringLiteral(".XXXXXX"));
    if (!scratch.open()) {
        return false;
    }
    scratch.close();
    {
        QSettings settings(scratch.fileName(), QSettings::NativeFormat);
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            settings.setValue(it.key(), it.value());
        }
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            return false;
        }
    }
    // Read back by name: the scratch file's own handle still shows the empty
    // file that the settings class renamed its result over.
    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray content = written.readAll();
    QSaveFile file(m_filename);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
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
