#include "EventManager.h"

#include "Common/Config.h"
#include "Common/IniReader.h"
#include "Common/StaleFiles.h"
#include "EventFile.h"
#include "Model/Event.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {
const QString c_array = QStringLiteral("events");
const QString c_category = QStringLiteral("category");
const QString c_name = QStringLiteral("name");
const QString c_desc = QStringLiteral("desc");
const QString c_timestamp = QStringLiteral("timestamp");
const QString c_logPrefix = QStringLiteral("[EventManager] ");

// Appends, rewrites (a temporary renamed over the path) and leftovers of an
// interrupted rewrite all live beside the path they are given, and a rename
// would replace a link with a plain file: follow the link here. The installed
// program links its events.ini into a state folder, and its own folder is
// not writable by the service.
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 8 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

QVector<EventFile::Record> records(const QList<Event *> &events)
{
    QVector<EventFile::Record> result;
    result.reserve(events.size());
    for (const Event *event : events)
        result.append({event->category(), event->name(), event->description(), event->timestamp()});
    return result;
}
} // namespace

EventManager::EventManager(Config &config, QObject *parent) : EventManager(config, defaultFilePath(), parent)
{
}

EventManager::EventManager(Config &config, QString filePath, QObject *parent)
    : QObject(parent), m_config(config), m_filePath(followLinks(filePath))
{
    const int fileEntries = load();
    m_file = std::make_unique<EventFile>(m_filePath, records(m_data), fileEntries, c_loadWindow);
    clear(QDateTime::currentDateTime().addDays(-c_retentionDays));
}

// Events still scheduled for deletion go with their parent, this manager.
// The file finishes a rewrite under way before it goes.
EventManager::~EventManager() = default;

void EventManager::waitForFile()
{
    m_file->waitForIdle();
}

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
    const bool dropFirst = m_data.size() > c_loadWindow;
    if (dropFirst)
        discard(m_data.takeFirst());
    // Parented to the manager so that QML, which sees the events through
    // the data property, never takes them for its own garbage.
    event->setParent(this);
    m_data.append(event);
    // One small append, not a rewrite of the whole file on this thread.
    m_file->append({event->category(), event->name(), event->description(), event->timestamp()}, dropFirst);
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
    // Done before returning: the technician who cleared the log may switch
    // the device off next.
    m_file->waitForIdle();
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

int EventManager::load()
{
    StaleFiles::removeTemporaries(m_filePath, c_logPrefix);
    // Read with the settings file's own reader, not the settings class: that
    // one decodes whatever kind of value the file declares, and a damaged
    // file could have it ask for gigabytes and end the program at every start.
    QByteArray content;
    QFile file(m_filePath);
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    else if (file.exists())
        qWarning().noquote().nospace()
            << "[EventManager] WARN: Cannot read saved events : " << file.errorString();
    const IniReader::Result ini = IniReader::read(content);
    if (ini.malformed)
        qWarning().noquote().nospace() << "[EventManager] WARN: Skipping unreadable lines in saved events";
    const int size = ini.values.value(c_array + QStringLiteral("/size")).toInt();
    const int first = size >= c_loadWindow ? size - c_loadWindow : 0;
    qInfo().noquote().nospace()
        << "[EventManager] " << QStringLiteral("Loading saved events : from=%1 to=%2").arg(first).arg(size);
    for (int i = first; i < size; ++i) {
        const QString entry = QStringLiteral("%1/%2/").arg(c_array).arg(i + 1);
        m_data.append(new Event(ini.values.value(entry + c_category).toString(),
                                ini.values.value(entry + c_name).toString(),
                                ini.values.value(entry + c_desc).toString(),
                                ini.values.value(entry + c_timestamp).toDateTime(), this));
    }
    return size;
}

// The whole file, rewritten in the background and replaced in one rename.
void EventManager::save()
{
    m_file->replace(records(m_data));
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
