#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class Config;
class EventFile;
class Event;

// The device's short event history, kept in "events.ini" beside the
// executable, and the filtered newest-first view the event-log page shows.
class EventManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant data READ data NOTIFY dataChanged)

public:
    static constexpr int c_loadWindow = 1000;
    static constexpr int c_retentionDays = 30;

    explicit EventManager(Config &config, QObject *parent = nullptr);
    // filePath replaces the file beside the executable (tests, tools).
    EventManager(Config &config, QString filePath, QObject *parent = nullptr);
    ~EventManager() override;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    QVariant data() const;
    // Every held event, oldest first.
    const QList<Event *> &events() const { return m_data; }
    // Returns once the file holds everything done so far (a rewrite runs in
    // the background); for tests and tools that read the file directly.
    void waitForFile();

Q_SIGNALS:
    void dataChanged();

public Q_SLOTS:
    void push(Event *event);
    void clear(const QDateTime &before);
    void clear();
    void applyFilter(const QString &name);
    void applyFilter(int severity);
    void applyFilter(const QDateTime &from, const QDateTime &to = QDateTime::currentDateTime());
    void applyFilterPeriod(const QString &period);

private:
    int load();
    void save();
    void update();
    void discard(Event *event);

    Config &m_config;
    QString m_filePath;
    QList<Event *> m_data;
    QList<QObject *> m_visible;
    int m_filterSeverity = 0;
    QString m_filterName;
    QDateTime m_filterFrom;
    QDateTime m_filterTo;
    std::unique_ptr<EventFile> m_file;
};
