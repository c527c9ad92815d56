#include "Common/Config.h"
#include "EventFile.h"
#include "EventManager.h"
#include "Model/Event.h"
#include "Model/EventLogin.h"
#include "Model/EventLogout.h"
#include "Model/User.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/inotify.h>
#include <unistd.h>

namespace {
struct Entry
{
    QString category;
    QString name;
    QDateTime timestamp;
};

// Writes the file as another run of the program would have left it.
void writeFile(const QString &path, const QVector<Entry> &entries)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.clear();
    settings.beginWriteArray(QStringLiteral("events"), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("category"), entries[i].category);
        settings.setValue(QStringLiteral("name"), entries[i].name);
        settings.setValue(QStringLiteral("desc"), QString());
        settings.setValue(QStringLiteral("timestamp"), entries[i].timestamp);
    }
    settings.endArray();
}

QStringList names(const QList<Event *> &events)
{
    QStringList result;
    for (const Event *event : events)
        result << event->name();
    return result;
}

// What the event-log page sees: the data property, newest first.
QStringList visibleNames(const EventManager &manager)
{
    QStringList result;
    const auto objects = manager.property("data").value<QList<QObject *>>();
    for (const QObject *object : objects)
        result << object->property("name").toString();
    return result;
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_EventManager : public QObject
{
    Q_OBJECT

private:
    QString newPath() { return m_dir.filePath(QStringLiteral("events-%1.ini").arg(++m_files)); }

    // The settings class keeps the files it has read and trusts its copy while
    // the size and the modification time (to the millisecond) match: a rewrite
    // of the same size within the millisecond of the fixture would read as the
    // fixture. What the file holds now is read through a copy of its own.
    QString current(const QString &path)
    {
        const QString copy = newPath();
        return QFile::copy(path, copy) ? copy : path;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Config> m_config;
    int m_files = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_config = std::make_unique<Config>(m_dir.filePath(QStringLiteral("gui.conf")), QVariantMap {});
    }

    void defaultFileBesideExecutable()
    {
        QCOMPARE(EventManager::defaultFilePath(), QCoreApplication::applicationDirPath() + "/events.ini");
    }

    void loadsLastThousand()
    {
        const QString path = newPath();
        const QDateTime base = QDateTime::currentDateTime().addDays(-1);
        QVector<Entry> entries;
        for (int i = 0; i < 1500; ++i)
            entries.append({QStringLiteral("Board"), QStringLiteral("e%1").arg(i), base.addSecs(i)});
        writeFile(path, entries);

        QTest::ignoreMessage(QtInfoMsg, "[EventManager] Loading saved events : from=500 to=1500");
        EventManager manager(*m_config, path);

        QCOMPARE(manager.events().size(), 1000);
        QCOMPARE(manager.events().first()->name(), QStringLiteral("e500"));
        QCOMPARE(manager.events().last()->name(), QStringLiteral("e1499"));
        const QStringList visible = visibleNames(manager);
        QCOMPARE(visible.size(), 1000);
        QCOMPARE(visible.first(), QStringLiteral("e1499"));
        QCOMPARE(visible.last(), QStringLiteral("e500"));
    }

    // At most 1001 events; the oldest goes first, and only on the next turn
    // of the event loop so a delegate showing it stays valid meanwhile.
    void capAndDeferredDeletion()
    {
        const QString path = newPath();
        const QDateTime base = QDateTime::currentDateTime().addSecs(-5000);
        QVector<Entry> entries;
        for (int i = 0; i < 1000; ++i)
            entries.append({QStringLiteral("Board"), QStringLiteral("e%1").arg(i), base.addSecs(i)});
        writeFile(path, entries);
        EventManager manager(*m_config, path);
        QCOMPARE(manager.events().size(), 1000);

        const QDateTime now = QDateTime::currentDateTime();
        manager.push(new Event(QStringLiteral("General"), QStringLiteral("n1"), {}, now));
        QCOMPARE(manager.events().size(), 1001);

        QPointer<Event> oldest = manager.events().first();
        QSignalSpy changed(&manager, &EventManager::dataChanged);
        manager.push(new Event(QStringLiteral("General"), QStringLiteral("n2"), {}, now));
        QCOMPARE(manager.events().size(), 1001);
        QCOMPARE(manager.events().first()->name(), QStringLiteral("e1"));
        QCOMPARE(manager.events().last()->name(), QStringLiteral("n2"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!visibleNames(manager).contains(QStringLiteral("e0")));
        QVERIFY(oldest);
        QCOMPARE(oldest->name(), QStringLiteral("e0"));
        processDeferredDeletes();
        QVERIFY(!oldest);

        // The file grows by appends; a restart reads its last 1000 entries.
        QCOMPARE(names(EventManager(*m_config, path).events()).mid(0, 2), (QStringList {"e2", "e3"}));

        QPointer<Event> any = manager.events().last();
        manager.clear();
        QVERIFY(manager.events().isEmpty());
        QVERIFY(visibleNames(manager).isEmpty());
        QVERIFY(any);
        processDeferredDeletes();
        QVERIFY(!any);
        QCOMPARE(QSettings(current(path), QSettings::IniFormat).beginReadArray(QStringLiteral("events")), 0);
    }

    void retentionAtStart()
    {
        const QString path = newPath();
        const QDateTime limit = QDateTime::currentDateTime().addDays(-30);
        writeFile(path,
                  {{QStringLiteral("Board"), QStringLiteral("old"), limit.addSecs(-60)},
                   {QStringLiteral("Board"), QStringLiteral("young"), limit.addSecs(60)}});

        EventManager manager(*m_config, path);
        QCOMPARE(names(manager.events()), QStringList {"young"});
        QCOMPARE(visibleNames(manager), QStringList {"young"});
        EventManager restarted(*m_config, path);
        QCOMPARE(names(restarted.events()), QStringList {"young"});
    }

    void retentionBoundaryToTheMillisecond()
    {
        EventManager manager(*m_config, newPath());
        const QDateTime before = QDateTime::currentDateTime().addDays(-30);
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("earlier"), {}, before.addMSecs(-1)));
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("exact"), {}, before));
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("later"), {}, before.addMSecs(1)));

        QTest::ignoreMessage(QtInfoMsg,
                             qPrintable(QStringLiteral("[EventManager] Deleted 2 event(s) older than ")
                                        + before.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        manager.clear(before);
        QCOMPARE(names(manager.events()), QStringList {"later"});
    }

    // A start with nothing to age out must not rewrite the file.
    void startWithoutOldEntriesLeavesFile()
    {
        const QString path = newPath();
        writeFile(path, {{QStringLiteral("Board"), QStringLiteral("young"), QDateTime::currentDateTime()}});
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("foreign/key"), 1);

        QTest::ignoreMessage(QtInfoMsg,
                             QRegularExpression(QStringLiteral("^\\[EventManager\\] Deleted 0 event")));
        EventManager manager(*m_config, path);
        QCOMPARE(manager.events().size(), 1);
        QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("foreign/key")).toInt(), 1);
    }

    void periods_data()
    {
        QTest::addColumn<QString>("period");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QDateTime>>("stamps");
        QTest::addColumn<QStringList>("expected");

        const QDateTime now = QDateTime::currentDateTime();
        const QDate today = now.date();
        const auto at = [](QDate date, int h, int m, int s, int ms) {
            return QDateTime(date, QTime(h, m, s, ms));
        };
        const QDate yesterday = today.addDays(-1);

        QTest::newRow("Today") << "Today" << QStringList {"start", "end", "end+500ms", "yesterday end"}
                               << QList<QDateTime> {at(today, 0, 0, 0, 0), at(today, 23, 59, 59, 0),
                                                    at(today, 23, 59, 59, 500), at(yesterday, 23, 59, 59, 0)}
                               << QStringList {"end", "start"};
        QTest::newRow("Yesterday") << "Yesterday"
                                   << QStringList {"start", "end", "end+500ms", "today start", "before"}
                                   << QList<QDateTime> {at(yesterday, 0, 0, 0, 0),
                                                        at(yesterday, 23, 59, 59, 0),
                                                        at(yesterday, 23, 59, 59, 500), at(today, 0, 0, 0, 0),
                                                        at(yesterday, 0, 0, 0, 0).addMSecs(-1)}
                                   << QStringList {"end", "start"};
        QTest::newRow("Last hour") << "Last hour" << QStringList {"inside", "outside", "future"}
                                   << QList<QDateTime> {now.addSecs(-3590), now.addSecs(-3610),
                                                        now.addSecs(60)}
                                   << QStringList {"inside"};
        QTest::newRow("Last 2 hours")
            << "Last 2 hours" << QStringList {"inside", "outside"}
            << QList<QDateTime> {now.addSecs(-7190), now.addSecs(-7210)} << QStringList {"inside"};
        QTest::newRow("Last 5 hours")
            << "Last 5 hours" << QStringList {"inside", "outside"}
            << QList<QDateTime> {now.addSecs(-17990), now.addSecs(-18010)} << QStringList {"inside"};
        QTest::newRow("Last week") << "Last week" << QStringList {"first day", "day before", "recent"}
                                   << QList<QDateTime> {at(today.addDays(-7), 0, 0, 0, 0),
                                                        at(today.addDays(-7), 0, 0, 0, 0).addMSecs(-1),
                                                        now.addSecs(-10)}
                                   << QStringList {"recent", "first day"};
        QTest::newRow("Last month") << "Last month" << QStringList {"first day", "day before"}
                                    << QList<QDateTime> {at(today.addMonths(-1), 0, 0, 0, 0),
                                                         at(today.addMonths(-1), 0, 0, 0, 0).addMSecs(-1)}
                                    << QStringList {"first day"};
        QTest::newRow("All history") << "All history" << QStringList {"old", "new", "future"}
                                     << QList<QDateTime> {now.addDays(-20), now, now.addDays(2)}
                                     << QStringList {"future", "new", "old"};
        QTest::newRow("unknown name")
            << "today" << QStringList {"old", "new"} << QList<QDateTime> {now.addDays(-20), now}
            << QStringList {"new", "old"};
    }

    void periods()
    {
        QFETCH(QString, period);
        QFETCH(QStringList, names);
        QFETCH(QList<QDateTime>, stamps);
        QFETCH(QStringList, expected);

        EventManager manager(*m_config, newPath());
        for (int i = 0; i < names.size(); ++i)
            manager.push(new Event(QStringLiteral("Board"), names[i], {}, stamps[i]));
        // A previous bound must not linger into the next period.
        manager.applyFilterPeriod(QStringLiteral("Last hour"));
        QSignalSpy changed(&manager, &EventManager::dataChanged);

        manager.applyFilterPeriod(period);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(visibleNames(manager), expected);
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("capitals") << "LOGIN" << QStringList {"Maintenance login"};
        QTest::newRow("mixed case, middle")
            << "tENANCE LOG" << QStringList {"Maintenance logout", "Maintenance login"};
        QTest::newRow("no match") << "shutdown" << QStringList {};
        QTest::newRow("empty") << ""
                               << QStringList {"Ignition on", "Maintenance logout", "Maintenance login"};
    }

    void nameFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);

        EventManager manager(*m_config, newPath());
        const QDateTime now = QDateTime::currentDateTime();
        manager.push(
            new Event(QStringLiteral("General"), QStringLiteral("Maintenance login"), {}, now.addSecs(-3)));
        manager.push(
            new Event(QStringLiteral("General"), QStringLiteral("Maintenance logout"), {}, now.addSecs(-2)));
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), {}, now.addSecs(-1)));
        manager.applyFilter(QStringLiteral("nothing matches this"));

        manager.applyFilter(filter);
        QCOMPARE(visibleNames(manager), expected);

        // The filters combine; a severity selects nothing.
        manager.applyFilter(7);
        QCOMPARE(visibleNames(manager), expected);
        manager.applyFilterPeriod(QStringLiteral("Yesterday"));
        QCOMPARE(visibleNames(manager), QStringList {});
    }

    void restartKeepsEntries()
    {
        const QString path = newPath();
        const QDateTime stamp = QDateTime::currentDateTime().addSecs(-120).addMSecs(7);
        {
            EventManager manager(*m_config, path);
            manager.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), {}, stamp));
            manager.push(new EventLogin(User {7, QStringLiteral("Ada"), QStringLiteral("Byron"), {}}));
            manager.push(new EventLogout);
        }

        QSettings file(current(path), QSettings::IniFormat);
        QCOMPARE(file.beginReadArray(QStringLiteral("events")), 3);
        file.setArrayIndex(0);
        QCOMPARE(file.value(QStringLiteral("category")).toString(), QStringLiteral("Board"));
        file.endArray();

        EventManager restarted(*m_config, path);
        const QList<Event *> &events = restarted.events();
        QCOMPARE(events.size(), 3);
        QCOMPARE(events[0]->category(), QStringLiteral("Board"));
        QCOMPARE(events[0]->timestamp(), stamp);
        QCOMPARE(events[1]->category(), QStringLiteral("General"));
        QCOMPARE(events[1]->name(), QStringLiteral("Maintenance login"));
        QVERIFY2(events[1]->description().startsWith(
                     QStringLiteral("User ID : 7\nFirst name : Ada\nLast name : Byron\nDate : ")),
                 qPrintable(events[1]->description()));
        QCOMPARE(events[2]->category(), QStringLiteral("General"));
        QCOMPARE(events[2]->name(), QStringLiteral("Maintenance logout"));
        QVERIFY(events[2]->description().startsWith(QStringLiteral("Date : ")));
        QVERIFY(qAbs(events[2]->timestamp().secsTo(QDateTime::currentDateTime())) < 60);
    }

    // The package links the file beside the executable into a state folder,
    // and the service may write nothing beside the executable. Writing
    // through the link lost every event (a lock file beside the link could
    // not be made), and a rewrite renamed over the link would replace it.
    void linkedFileWrittenInTheLinkedFolder()
    {
        QTemporaryDir program;
        QTemporaryDir state;
        const QString link = program.filePath(QStringLiteral("events.ini"));
        const QString target = state.filePath(QStringLiteral("events.ini"));
        QVERIFY(QFile::link(target, link));

        // The tests run as root, for whom no folder is read-only: watch the
        // program's folder for anything created in it instead.
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(program.path()).constData(),
                                  IN_CREATE | IN_MOVED_TO | IN_DELETE)
                >= 0);

        {
            EventManager manager(*m_config, link);
            manager.push(new Event(QStringLiteral("General"), QStringLiteral("Application started"), {},
                                   QDateTime::currentDateTime()));
        }
        char buffer[4096];
        const ssize_t changes = read(watch, buffer, sizeof buffer);
        close(watch);
        QCOMPARE(changes, ssize_t(-1));

        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QSettings(current(target), QSettings::IniFormat).beginReadArray(QStringLiteral("events")),
                 1);
        EventManager restarted(*m_config, link);
        QCOMPARE(names(restarted.events()), QStringList {QStringLiteral("Application started")});
    }

    // Appended entries must read back exactly as the settings class wrote them.
    void entryEncodingMatchesSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Ignition on";
        QTest::newRow("empty") << "";
        QTest::newRow("lines") << "User ID : 0\nFirst name : A\nDate : Thu Dec 10 04:30:57 2026";
        QTest::newRow("separators") << "a;b,c=d";
        QTest::newRow("outer blanks") << " padded ";
        QTest::newRow("quotes and backslashes") << "say \"hi\" \\ back";
        QTest::newRow("at sign") << "@Variant(x)";
        QTest::newRow("control then hex digit") << QString::fromUtf8("\x01"
                                                                     "1a\tF\r");
        QTest::newRow("greek and euro") << QString::fromUtf8("Έναρξη €1,20 Ω");
        QTest::newRow("nul") << QString(QChar::Null) + QStringLiteral("0");
        QTest::newRow("brackets") << "[events]\nsize=9";
    }

    void entryEncodingMatchesSettings()
    {
        QFETCH(QString, text);
        const QDateTime stamps[]
            = {QDateTime::currentDateTime(), QDateTime(QDate(2026, 3, 29), QTime(3, 0, 59, 999)),
               QDateTime(QDate(1999, 12, 31), QTime(23, 59)), QDateTime()};
        for (const QDateTime &stamp : stamps) {
            const EventFile::Record record {text, text + QStringLiteral("!"), text, stamp};
            const QString path = newPath();
            writeFile(path, {});
            {
                QSettings settings(path, QSettings::IniFormat);
                settings.beginWriteArray(QStringLiteral("events"), 1);
                settings.setArrayIndex(0);
                settings.setValue(QStringLiteral("category"), record.category);
                settings.setValue(QStringLiteral("name"), record.name);
                settings.setValue(QStringLiteral("desc"), record.description);
                settings.setValue(QStringLiteral("timestamp"), record.timestamp);
                settings.endArray();
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), EventFile::encodeFile({record}));
        }
    }

    // A push appends; a line cut short (a crash in the middle of a write)
    // costs that entry alone, and the next push lands whole.
    void appendsSurviveATornWrite()
    {
        const QString path = newPath();
        const QDateTime now = QDateTime::currentDateTime();
        {
            EventManager manager(*m_config, path);
            manager.push(new Event(QStringLiteral("Board"), QStringLiteral("a"), {}, now.addSecs(-3)));
            manager.push(new Event(QStringLiteral("Board"), QStringLiteral("b"), {}, now.addSecs(-2)));
        }
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\n[events]\n3\\category=Board\n3\\na");
        }
        EventManager restarted(*m_config, path);
        QCOMPARE(names(restarted.events()), (QStringList {"a", "b"}));
        restarted.push(
            new Event(QStringLiteral("General"), QStringLiteral("c"), QStringLiteral("x\ny"), now));
        EventManager again(*m_config, path);
        QCOMPARE(names(again.events()), (QStringList {"a", "b", "c"}));
        QCOMPARE(again.events().last()->description(), QStringLiteral("x\ny"));
        QCOMPARE(again.events().last()->timestamp(), now);
    }

    // Appends alone would grow the file without end: past twice the cap it is
    // rewritten in the background, and no entry pushed meanwhile goes missing.
    void growthIsBounded()
    {
        const QString path = newPath();
        const QDateTime base = QDateTime::currentDateTime().addSecs(-5000);
        EventManager manager(*m_config, path);
        for (int i = 0; i < 2500; ++i)
            manager.push(
                new Event(QStringLiteral("Board"), QStringLiteral("e%1").arg(i), {}, base.addSecs(i)));
        manager.waitForFile();
        processDeferredDeletes();

        const int declared
            = QSettings(current(path), QSettings::IniFormat).beginReadArray(QStringLiteral("events"));
        QVERIFY2(declared >= 1001 && declared < 2000, qPrintable(QString::number(declared)));
        EventManager restarted(*m_config, path);
        QCOMPARE(restarted.events().size(), 1000);
        QCOMPARE(restarted.events().first()->name(), QStringLiteral("e1500"));
        QCOMPARE(restarted.events().last()->name(), QStringLiteral("e2499"));
    }

    // Aged entries are dropped by a background rewrite at start.
    void retentionRewriteReachesTheFile()
    {
        const QString path = newPath();
        const QDateTime limit = QDateTime::currentDateTime().addDays(-30);
        writeFile(path,
                  {{QStringLiteral("Board"), QStringLiteral("old"), limit.addSecs(-60)},
                   {QStringLiteral("Board"), QStringLiteral("young"), limit.addSecs(60)}});
        {
            EventManager manager(*m_config, path);
            manager.push(
                new Event(QStringLiteral("Board"), QStringLiteral("new"), {}, QDateTime::currentDateTime()));
        }
        QSettings file(current(path), QSettings::IniFormat);
        QCOMPARE(file.beginReadArray(QStringLiteral("events")), 2);
        file.setArrayIndex(0);
        QCOMPARE(file.value(QStringLiteral("name")).toString(), QStringLiteral("young"));
        file.setArrayIndex(1);
        QCOMPARE(file.value(QStringLiteral("name")).toString(), QStringLiteral("new"));
    }

    void unusableFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("directory");

        static const char binary[] = "\x00\xff\xfe[\x01\x02]\n\x00=\x00\n\xc3\x28";
        QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1) << false;
        QTest::newRow("text") << QByteArray("[events\nsize=abc\n=\n\\\\\n1\\timestamp=@DateTime(zz)\n")
                              << false;
        QTest::newRow("size without entries") << QByteArray("[events]\nsize=2147483647\n") << false;
        QTest::newRow("negative size") << QByteArray("[events]\nsize=-40\n") << false;
        // Stored lists that declare some two billion entries: decoded as the
        // settings class decodes a stored time, they ask for all of that
        // memory before reading one.
        QTest::newRow("size a huge stored list")
            << QByteArray("[events]\nsize=@DateTime(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)\n") << false;
        QTest::newRow("entry a huge stored list")
            << QByteArray("[events]\nsize=1\n1\\name=@Variant(\\0\\0\\0\\v\\0\\x7f\\xff\\xff\\xf0)\n"
                          "1\\timestamp=@DateTime(\\0\\0\\0\\v\\0\\x7f\\xff\\xff\\xf0)\n")
            << false;
        QTest::newRow("directory in its place") << QByteArray() << true;
    }

    void unusableFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, directory);

        const QString path = newPath();
        if (directory) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }

        EventManager manager(*m_config, path);
        QVERIFY(manager.events().isEmpty());
        QVERIFY(visibleNames(manager).isEmpty());

        // The log goes on working, and once the file can be written it holds the new entry.
        manager.push(new Event(QStringLiteral("General"), QStringLiteral("Application started"), {},
                               QDateTime::currentDateTime()));
        QCOMPARE(visibleNames(manager), QStringList {"Application started"});
        EventManager restarted(*m_config, path);
        QCOMPARE(names(restarted.events()),
                 directory ? QStringList {} : QStringList {QStringLiteral("Application started")});
    }
};

QTEST_GUILESS_MAIN(tst_EventManager)
#include "tst_EventManager.moc"
