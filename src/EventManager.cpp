#include "EventManager.h"

#include "Common/Config.h"
#include "Common/StaleFiles.h"
#include "Model/Event.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <utility>

namespace {
const QString c_array = QStringLiteral("events");
const QString c_category = QStringLiteral("category");
const QString c_name = QStringLiteral("name");
const QString c_desc = QStringLiteral("desc");
const QString c_timestamp = QStringLiteral("timestamp");
<<<<<<< HEAD
const QString c_logPrefix = QStringLiteral("[EventManager] ");
=======

// The settings class keeps its lock file (and writes) beside the path it is
// given, so a link to a file elsewhere must be followed here: the installed
// program links its events.ini into a state folder, and its own folder is
// not writable by the service.
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 8 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}
>>>>>>> i16
} // namespace

EventManager::EventManager(Config &config, QObject *parent) : EventManager(config, defaultFilePath(), parent)
{
}

EventManager::EventManager(Config &config, QString filePath, QObject *parent)
    : QObject(parent), m_config(config), m_filePath(followLinks(filePath))
{
    load();
    clear(QDateTime::currentDateTime().addDays(-c_retentionDays));
}

// Events still scheduled for deletion go with their parent, this manager.
EventManager::~EventManager() = default;

QString EventManager::defaultFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/events.ini");
}

QVariant EventManager::data() const
{
    return QVariant::fromValue(m_visible);
}

void EventManager::push(Event *event)
{
    if (!event) {
        qWarning().noquote().nospace() << "[EventManager] WARN: Ignoring an empty event";
        return;
    }
    if (m_data.size() > c_loadWindow)
        discard(m_data.takeFirst());
    // Parented to the manager so that QML, which sees the events through
    // the data property, never takes them for its own garbage.
    event->setParent(this);
    m_data.append(event);
    save();
    update();
}

void EventManager::clear(const QDateTime &before)
{
    int count = 0;
    for (auto it = m_data.begin(); it != m_data.end();) {
        if ((*it)->timestamp() > before) {
            ++it;
            continue;
        }
        discard(*it);
        it = m_data.erase(it);
        ++count;
    }
    qInfo().noquote().nospace() << "[EventManager] "
                                << QStringLiteral("Deleted %1 event(s) older than %2")
                                       .arg(count)
                                       .arg(before.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    if (count > 0)
        save();
    update();
}

void EventManager::clear()
{
    for (Event *event : qAsConst(m_data))
        discard(event);
    m_data.clear();
    save();
    update();
}

void EventManager::applyFilter(const QString &name)
{
    qInfo().noquote().nospace() << "[EventManager] Filtering : name=" << name;
    m_filterName = name;
    update();
}

void EventManager::applyFilter(int severity)
{
    qInfo().noquote().nospace() << "[EventManager] Filtering : severity=" << severity;
    m_filterSeverity = severity;
    update();
}

void EventManager::applyFilter(const QDateTime &from, const QDateTime &to)
{
    qInfo().noquote().nospace() << "[EventManager] Filtering : from=" << from.toString(Qt::TextDate)
                                << " to=" << to.toString(Qt::TextDate);
    m_filterFrom = from;
    m_filterTo = to;
    update();
}

void EventManager::applyFilterPeriod(const QString &period)
{
    qInfo().noquote().nospace() << "[EventManager] Filtering (period) : " << period;

    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    const QTime endOfDay(23, 59, 59);
    QDateTime from;
    QDateTime to;

    if (period == QLatin1String("Last hour")) {
        from = now.addSecs(-3600);
        to = now;
    } else if (period == QLatin1String("Last 2 hours")) {
        from = now.addSecs(-7200);
        to = now;
    } else if (period == QLatin1String("Last 5 hours")) {
        from = now.addSecs(-18000);
        to = now;
    } else if (period == QLatin1String("Today")) {
        from = QDateTime(today, QTime(0, 0));
        to = QDateTime(today, endOfDay);
    } else if (period == QLatin1String("Yesterday")) {
        from = QDateTime(today.addDays(-1), QTime(0, 0));
        to = QDateTime(today.addDays(-1), endOfDay);
    } else if (period == QLatin1String("Last week")) {
        from = QDateTime(today.addDays(-7), QTime(0, 0));
        to = now;
    } else if (period == QLatin1String("Last month")) {
        from = QDateTime(today.addMonths(-1), QTime(0, 0));
        to = now;
    }
    applyFilter(from, to);
}

void EventManager::load()
{
    StaleFiles::removeTemporaries(m_filePath, c_logPrefix);
    QSettings settings(m_filePath, QSettings::IniFormat);
    const int size = settings.beginReadArray(c_array);
    const int first = size >= c_loadWindow ? size - c_loadWindow : 0;
    qInfo().noquote().nospace()
        << "[EventManager] " << QStringLiteral("Loading saved events : from=%1 to=%2").arg(first).arg(size);
    for (int i = first; i < size; ++i) {
        settings.setArrayIndex(i);
        m_data.append(new Event(settings.value(c_category).toString(), settings.value(c_name).toString(),
                                settings.value(c_desc).toString(), settings.value(c_timestamp).toDateTime(),
                                this));
    }
    settings.endArray();
}

void EventManager::save()
{
    StaleFiles::clearLock(m_filePath, c_logPrefix);
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.clear();
    settings.beginWriteArray(c_array, m_data.size());
    for (int i = 0; i < m_data.size(); ++i) {
        const Event *event = m_data.at(i);
        settings.setArrayIndex(i);
        settings.setValue(c_category, event->category());
        settings.setValue(c_name, event->name());
        settings.setValue(c_desc, event->description());
        settings.setValue(c_timestamp, event->timestamp());
    }
    settings.endArray();
}

void EventManager::update()
{
    m_visible.clear();
    for (Event *event : qAsConst(m_data)) {
        const QDateTime stamp = event->timestamp();
        if (m_filterFrom.isValid() && stamp < m_filterFrom)
            continue;
        if (m_filterTo.isValid() && m_filterTo < stamp)
            continue;
        if (!m_filterName.isEmpty() && !event->name().contains(m_filterName, Qt::CaseInsensitive))
            continue;
        m_visible.append(event);
    }
    std::stable_sort(m_visible.begin(), m_visible.end(), [](const QObject *a, const QObject *b) {
        return static_cast<const Event *>(a)->timestamp() > static_cast<const Event *>(b)->timestamp();
    });
    emit dataChanged();
}

void EventManager::discard(Event *event)
{
    // A list delegate may still be showing the entry; it goes on the next turn.
    event->deleteLater();
}
