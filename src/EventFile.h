#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <mutex>
#include <thread>

// The event log's file, "events.ini", in the INI form the settings class reads
// as the array "events". One event costs one small append on the calling
// thread: the new entry and the array's new size go to the end of the file,
// where the reader takes the last value of a key. A kill at any moment loses
// at most the entry being appended. Whole rewrites (dropping aged or capped
// entries, and bounding the file's growth) run on a thread of their own and
// replace the file in one rename, carrying every entry appended meanwhile.
class EventFile
{
public:
    struct Record
    {
        QString category;
        QString name;
        QString description;
        QDateTime timestamp;
    };

    // fileEntries: the array size the file declares now (what load() found).
    EventFile(QString path, QVector<Record> records, int fileEntries, int keepEntries);
    ~EventFile();
    EventFile(const EventFile &) = delete;
    EventFile &operator=(const EventFile &) = delete;

    // The log's new last entry; dropFirst when the log let its oldest go.
    void append(const Record &record, bool dropFirst);
    // The log's whole content changed (aged entries, cleared): rewritten in the background.
    void replace(const QVector<Record> &records);
    // Returns once no rewrite is pending or running.
    void waitForIdle();

    // The INI text the settings class writes for one value, for an entry, and
    // for a whole file; exposed for the tests that hold them to the reader.
    static QByteArray encodeValue(const QString &value);
    static QByteArray encodeValue(const QDateTime &value);
    static QByteArray encodeEntry(qint64 index, const Record &record);
    static QByteArray encodeFile(const QVector<Record> &records);

private:
    void run();
    void rewrite(std::unique_lock<std::mutex> &lock);
    void requestRewrite();

    const QString m_path;
    const int m_keepEntries;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    QVector<Record> m_records; // what the file should hold, oldest first
    qint64 m_fileEntries = 0; // the array size the file declares
    bool m_wanted = false; // a rewrite is asked for
    bool m_rewriting = false;
    bool m_stop = false;
    QVector<Record> m_appendedMeanwhile; // while rewriting: entries the new file must carry too
    std::thread m_thread;
};
