#include "Common/Config.h"
#include "Common/StaleFiles.h"
#include "Defaults.h"
#include "EventManager.h"
#include "Model/Event.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// A process id that surely names no running process: a child that has exited
// and been reaped.
qint64 deadPid()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// What a process killed in the middle of a save leaves as its lock.
QByteArray leftLock(const QString &kind)
{
    if (kind == QLatin1String("empty"))
        return {};
    if (kind == QLatin1String("cut after the pid"))
        return QByteArray::number(deadPid());
    return QByteArray::number(deadPid()) + "\ntallyport\n" + QHostInfo::localHostName().toUtf8() + "\n";
}

// Without the clean-up the toolkit's writer waits 30 s for such a lock to turn
// stale; a save must take a moment, whatever the machine's load.
constexpr qint64 c_stallMillis = 15000;
} // namespace

class tst_StaleFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leftLocksDoNotStallSaves_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << QStringLiteral("empty");
        QTest::newRow("cut after the pid") << QStringLiteral("cut after the pid");
        QTest::newRow("dead owner") << QStringLiteral("dead owner");
    }

    void leftLocksDoNotStallSaves()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString configPath = dir.filePath(QStringLiteral("gui.conf"));
        const QString eventsPath = dir.filePath(QStringLiteral("events.ini"));

        // The first save of the configuration file comes with its creation at start.
        writeFile(configPath + QStringLiteral(".lock"), leftLock(kind));
        QElapsedTimer timer;
        timer.start();
        Config config(configPath, tallyport::defaultSettings());
        config.set(QStringLiteral("gui/locale"), QStringLiteral("en_US"));
        QVERIFY2(timer.elapsed() < c_stallMillis, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!QFile::exists(configPath + QStringLiteral(".lock")));
        QCOMPARE(QSettings(configPath, QSettings::IniFormat).value(QStringLiteral("gui/locale")).toString(),
                 QStringLiteral("en_US"));

        writeFile(eventsPath + QStringLiteral(".lock"), leftLock(kind));
        timer.restart();
        EventManager events(config, eventsPath);
        events.push(new Event(QStringLiteral("Info"), QStringLiteral("Application started"), {},
                              QDateTime::currentDateTime()));
        QVERIFY2(timer.elapsed() < c_stallMillis, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(
            QSettings(eventsPath, QSettings::IniFormat).value(QStringLiteral("events/1/name")).toString(),
            QStringLiteral("Application started"));
    }

    // A save in progress in another process keeps its lock.
    void liveLockIsKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gui.conf"));
        QLockFile held(path + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        StaleFiles::clearLock(path, QStringLiteral("[Test] "));
        QVERIFY(QFile::exists(path + QStringLiteral(".lock")));
        QVERIFY(held.isLocked());
    }

    // Only the temporaries of the file itself go ("<file>.XXXXXX", and what a
    // save into one of them leaves); anything else beside it stays.
    void temporariesRemovedAtStart()
    {
        QTemporaryDir dir;
        const QString configPath = dir.filePath(QStringLiteral("gui.conf"));
        const QString eventsPath = dir.filePath(QStringLiteral("events.ini"));
        const QStringList left
            = {QStringLiteral("gui.conf.aB3xY9"), QStringLiteral("gui.conf.Q0p2Lm"),
               QStringLiteral("gui.conf.Q0p2Lm.x7Tq0B"), QStringLiteral("gui.conf.Q0p2Lm.lock"),
               QStringLiteral("events.ini.Zz81kA")};
        const QStringList kept = {QStringLiteral("gui.conf.swp"),    QStringLiteral("gui.conf.aB3xY9x"),
                                  QStringLiteral("gui.conf.aB3-Y9"), QStringLiteral("other.conf.aB3xY9"),
                                  QStringLiteral("gui.confaB3xY9"),  QStringLiteral("gui.conf.aB3xY9.swp")};
        for (const QString &name : left + kept)
            writeFile(dir.filePath(name), "[gui]\nlocale=en_US\n");

        Config config(configPath, tallyport::defaultSettings());
        EventManager events(config, eventsPath);

        for (const QString &name : left)
            QVERIFY2(!QFile::exists(dir.filePath(name)), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFile::exists(dir.filePath(name)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(tst_StaleFiles)
#include "tst_StaleFiles.moc"
