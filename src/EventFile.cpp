#include "EventFile.h"

#include <QDataStream>
#include <QFile>
#include <QVariant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

// A file declaring more entries than this was not written by this class (or
// was cut short before its last rewrite): it is rewritten before anything is
// appended, so no index runs past what the reader can count.
constexpr int c_implausibleFactor = 4;

// The settings class's INI escaping of a value, without a text codec: control
// characters and everything from 0x7f up as hex escapes, a hex digit after
// such an escape escaped too, quotes around values holding a separator or an
// outer blank.
void appendEscaped(QByteArray &out, const QString &text)
{
    const int start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar c : text) {
        const ushort ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit
            && ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'))) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1f || ch >= 0x7f) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += char(ch);
            }
        }
    }
    if (needsQuotes || (out.size() > start && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

void appendKey(QByteArray &out, qint64 index, const char *key)
{
    out += QByteArray::number(index);
    out += '\\';
    out += key;
    out += '=';
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

EventFile::EventFile(QString path, QVector<Record> records, int fileEntries, int keepEntries)
    : m_path(std::move(path))
    , m_keepEntries(keepEntries)
    , m_records(std::move(records))
    , m_fileEntries(std::max(0, fileEntries))
{
    if (m_fileEntries > qint64(c_implausibleFactor) * m_keepEntries) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wanted = true;
        rewrite(lock);
    } else if (m_fileEntries >= 2 * qint64(m_keepEntries)) {
        requestRewrite();
    }
}

EventFile::~EventFile()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

QByteArray EventFile::encodeValue(const QString &value)
{
    QString text = value;
    if (text.contains(QChar::Null))
        text = QStringLiteral("@String(") + text + QLatin1Char(')');
    else if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    QByteArray out;
    appendEscaped(out, text);
    return out;
}

QByteArray EventFile::encodeValue(const QDateTime &value)
{
    QByteArray bytes;
    {
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << QVariant(value);
    }
    QByteArray out;
    appendEscaped(out,
                  QStringLiteral("@DateTime(") + QString::fromLatin1(bytes.constData(), bytes.size())
                      + QLatin1Char(')'));
    return out;
}

QByteArray EventFile::encodeEntry(qint64 index, const Record &record)
{
    QByteArray out;
    out.reserve(160 + record.description.size());
    appendKey(out, index, "category");
    out += encodeValue(record.category) + '\n';
    appendKey(out, index, "desc");
    out += encodeValue(record.description) + '\n';
    appendKey(out, index, "name");
    out += encodeValue(record.name) + '\n';
    appendKey(out, index, "timestamp");
    out += encodeValue(record.timestamp) + '\n';
    return out;
}

QByteArray EventFile::encodeFile(const QVector<Record> &records)
{
    QByteArray out("[events]\n");
    for (int i = 0; i < records.size(); ++i)
        out += encodeEntry(i + 1, records.at(i));
    out += "size=" + QByteArray::number(records.size()) + '\n';
    return out;
}

void EventFile::append(const Record &record, bool dropFirst)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (dropFirst && !m_records.isEmpty())
        m_records.removeFirst();
    m_records.append(record);
    if (m_rewriting)
        m_appendedMeanwhile.append(record);

    // A section header of its own: the entry lands in the array whatever the
    // file ended with, even a line cut short by an earlier crash.
    const qint64 index = m_fileEntries + 1;
    QByteArray block("\n[events]\n");
    block += encodeEntry(index, record);
    block += "size=" + QByteArray::number(index) + '\n';
    const int fd
        = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (writeAll(fd, block))
            m_fileEntries = index;
        ::close(fd);
    }
    if (m_fileEntries >= 2 * qint64(m_keepEntries) && !m_rewriting && !m_wanted) {
        lock.unlock();
        requestRewrite();
    }
}

void EventFile::replace(const QVector<Record> &records)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records = records;
        // A rewrite under way started from the old content; the next one
        // carries the new content alone.
        m_appendedMeanwhile.clear();
    }
    requestRewrite();
}

void EventFile::waitForIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_wanted && !m_rewriting; });
}

void EventFile::requestRewrite()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_wanted = true;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void EventFile::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_wanted || m_stop; });
        // A pending rewrite is still done on the way out: a cleared log must
        // not come back at the next start.
        if (m_wanted)
            rewrite(lock);
        else if (m_stop)
            return;
    }
}

// Called with the lock held and m_wanted set; returns with the lock held.
void EventFile::rewrite(std::unique_lock<std::mutex> &lock)
{
    m_wanted = false;
    m_rewriting = true;
    m_appendedMeanwhile.clear();
    const QVector<Record> snapshot = m_records;
    lock.unlock();

    // The long part, encoding and syncing, runs without the lock, so appends
    // go on meanwhile; they are copied into the new file just before it
    // replaces the old one, which is all the lock covers.
    const QByteArray target = QFile::encodeName(m_path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    bool ok = fd >= 0;
    if (ok) {
        struct stat old;
        ::fchmod(fd, ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644);
        ok = writeAll(fd, encodeFile(snapshot)) && ::fdatasync(fd) == 0;
    }

    lock.lock();
    if (ok && !m_appendedMeanwhile.isEmpty()) {
        QByteArray tail("\n[events]\n");
        for (int i = 0; i < m_appendedMeanwhile.size(); ++i)
            tail += encodeEntry(snapshot.size() + i + 1, m_appendedMeanwhile.at(i));
        tail += "size=" + QByteArray::number(snapshot.size() + m_appendedMeanwhile.size()) + '\n';
        ok = writeAll(fd, tail);
    }
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.constData(), target.constData()) == 0)
        m_fileEntries = snapshot.size() + m_appendedMeanwhile.size();
    else if (fd >= 0)
        ::unlink(temp.constData());
    m_appendedMeanwhile.clear();
    m_rewriting = false;
    if (!m_wanted)
        m_idle.notify_all();
}
