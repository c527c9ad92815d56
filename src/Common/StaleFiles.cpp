#include "StaleFiles.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

namespace {
// Time a live owner needs between creating its lock and writing into it.
constexpr qint64 c_ownerWriteMillis = 100;
} // namespace

namespace StaleFiles {

void clearLock(const QString &path, const QString &logPrefix)
{
    const QString name = path + QStringLiteral(".lock");
    if (!QFileInfo::exists(name))
        return;
    QLockFile lock(name);
    // A lock naming a process that is gone (or a pid now used by another
    // program) is taken over here and removed again on unlock.
    if (lock.tryLock(0)) {
        lock.unlock();
        return;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    for (;;) {
        if (lock.getLockInfo(&pid, &host, &application))
            return; // held by a live process: its save ends shortly
        const QFileInfo info(name);
        if (!info.exists())
            return;
        const qint64 age = qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime()));
        if (age >= c_ownerWriteMillis)
            break;
        QThread::msleep(static_cast<unsigned long>(c_ownerWriteMillis - age));
    }
    if (QFile::remove(name)) {
        qWarning().noquote().nospace() << logPrefix << "WARN: Removed stale lock file : " << name;
    }
}

int removeTemporaries(const QString &path, const QString &logPrefix)
{
    const QFileInfo file(path);
    const QDir directory = file.absoluteDir();
    const QRegularExpression pattern(QStringLiteral("^%1\\.[A-Za-z0-9]{6}(\\.[A-Za-z0-9]{6}|\\.lock)?$")
                                         .arg(QRegularExpression::escape(file.fileName())));
    int removed = 0;
    const QStringList names
        = directory.entryList({file.fileName() + QStringLiteral(".??????*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (!pattern.match(name).hasMatch())
            continue;
        if (QFile::remove(directory.filePath(name))) {
            qWarning().noquote().nospace()
                << logPrefix
                << "WARN: Removed temporary left by an interrupted save : " << directory.filePath(name);
            ++removed;
        }
    }
    return removed;
}

} // namespace StaleFiles
