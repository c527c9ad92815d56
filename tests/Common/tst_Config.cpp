#include "Common/Config.h"
#include "Defaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The file is read back as plain text: QSettings would answer from its own
// cache and could hide what is really on disk.
QMap<QString, QString> iniValues(const QString &path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return values;
    }
    QString section;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
        } else if (line.contains(QLatin1Char('='))) {
            const int eq = line.indexOf(QLatin1Char('='));
            const QString name = line.left(eq);
            values.insert(section == QLatin1String("General") ? name : section + QLatin1Char('/') + name,
                          line.mid(eq + 1));
        }
    }
    return values;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeInPlace(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// What most editors do: write a new file beside the old one and rename it over.
void replaceByRename(const QString &path, const QByteArray &content)
{
    const QString temp = path + QStringLiteral(".swp");
    writeInPlace(temp, content);
    QCOMPARE(std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()), 0);
}

// Collects what is logged while it lives.
class MessageLog
{
public:
    MessageLog()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&MessageLog::handle);
    }
    ~MessageLog() { qInstallMessageHandler(m_previous); }

    static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }
    static bool contains(const QString &text)
    {
        return std::any_of(lines().cbegin(), lines().cend(),
                           [&](const QString &l) { return l.contains(text); });
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtDebugMsg) {
            lines() << message;
        }
    }
    QtMessageHandler m_previous = nullptr;
};

// Some editors delete the file first; the new one appears a moment later.
void deleteAndRecreate(const QString &path, const QByteArray &content)
{
    MessageLog log;
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY(
        MessageLog::contains(QStringLiteral("[Config] WARN: Config file missing, waiting for it : ") + path));
    writeInPlace(path, content);
}

QByteArray withLine(const QByteArray &content, const QByteArray &from, const QByteArray &to)
{
    QByteArray result = content;
    result.replace(from, to);
    return result;
}

// Sets the modification time of a file or folder, in whole seconds.
bool setModified(const QString &path, qint64 secsSinceEpoch)
{
    const timespec times[2] = {{time_t(secsSinceEpoch), 0}, {time_t(secsSinceEpoch), 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

using Edit = void (*)(const QString &, const QByteArray &);
} // namespace
Q_DECLARE_METATYPE(Edit)

class tst_Config : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("gui%1.conf").arg(++m_counter)); }

private Q_SLOTS:
    void missingFileIsCreatedWithEveryDefault()
    {
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QStringLiteral("[Config] Creating default config file : ") + path));
        Config config(path, tallyport::defaultSettings());

        const QVariantMap &defaults = tallyport::defaultSettings();
        QCOMPARE(defaults.size(), 25);
        QMap<QString, QString> expected;
        for (auto it = defaults.constBegin(); it != defaults.constEnd(); ++it) {
            expected.insert(it.key(), it.value().toString());
        }
        QCOMPARE(iniValues(path), expected);
        QCOMPARE(config.keys(), defaults.keys());

        // Opening the written file again finds nothing different and keeps the types.
        Config again(path, defaults);
        QCOMPARE(again.get(QStringLiteral("log/level")).userType(), int(QMetaType::Int));
        QCOMPARE(again.get(QStringLiteral("gui/showCursor")).userType(), int(QMetaType::Bool));
    }

    void defaultTypes()
    {
        const QVariantMap &d = tallyport::defaultSettings();
        for (const char *key :
             {"log/level", "mqtt/port", "gui/displayOffMin", "gui/shutdownDelaySec", "gui/animSwitchSec"}) {
            QCOMPARE(d.value(QLatin1String(key)).userType(), int(QMetaType::Int));
        }
        for (const char *key :
             {"log/syslog", "log/stderr", "log/color", "gui/showCursor", "gui/showErrorDesc"}) {
            QCOMPARE(d.value(QLatin1String(key)).userType(), int(QMetaType::Bool));
        }
        QCOMPARE(d.value(QStringLiteral("gui/settingsPin")).userType(), int(QMetaType::QString));
        QCOMPARE(d.value(QStringLiteral("log/level")).toInt(), 2);
        QCOMPARE(d.value(QStringLiteral("mqtt/port")).toInt(), 1883);
    }

    void outsideEditsAreFollowed_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("in place") << Edit(writeInPlace);
        QTest::newRow("renamed over") << Edit(replaceByRename);
        QTest::newRow("deleted and recreated") << Edit(deleteAndRecreate);
    }

    void outsideEditsAreFollowed()
    {
        QFETCH(Edit, edit);
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        const QByteArray original = readAll(path);

        QStringList order;
        connect(&config, &Config::configFileChanged, this, [&] { order << QStringLiteral("file"); });
        connect(&config, &Config::configChanged, this, [&] { order << QStringLiteral("changed"); });
        QSignalSpy changed(&config, &Config::configChanged);

        // Same length on purpose: a size-and-time cache would miss it.
        edit(path, withLine(original, "level=2", "level=3"));
        if (QTest::currentTestFailed()) {
            return;
        }
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(order, (QStringList {QStringLiteral("file"), QStringLiteral("changed")}));
        const QVariantMap first = changed.at(0).at(0).toMap();
        QCOMPARE(first, (QVariantMap {{QStringLiteral("log/level"), QStringLiteral("3")}}));
        QCOMPARE(first.value(QStringLiteral("log/level")).userType(), int(QMetaType::QString));
        QCOMPARE(config.get(QStringLiteral("log/level")).toInt(), 3);

        // The watch survives the edit: a later plain write is seen as well.
        writeInPlace(path, withLine(withLine(original, "level=2", "level=4"), "color=false", "color=true"));
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toMap(),
                 (QVariantMap {{QStringLiteral("log/color"), QStringLiteral("true")},
                               {QStringLiteral("log/level"), QStringLiteral("4")}}));
        QVERIFY(config.get(QStringLiteral("log/color")).toBool());
    }

    void reReadInPlace_data()
    {
        QTest::addColumn<bool>("temporaryFolder");
        QTest::newRow("temporary folder usable") << true;
        QTest::newRow("no temporary file possible") << false;
    }

    // The re-read takes the file where it is: no copy of it (secrets and all)
    // is made in the temporary folder, and none is needed to see an edit that
    // keeps the file's size and time stamp.
    void reReadInPlace()
    {
        QFETCH(bool, temporaryFolder);
        const QString temp = m_dir.filePath(QStringLiteral("tmp%1").arg(++m_counter));
        if (temporaryFolder) {
            QVERIFY(QDir().mkpath(temp));
            // A folder's time stamp moves whenever an entry is made or removed.
            QVERIFY(setModified(temp, 1000000000));
        } else {
            writeInPlace(temp, "a file where the folder should be");
        }
        // Put back however the test ends.
        struct Restore
        {
            QByteArray temp = qgetenv("TMPDIR");
            QString dir = QDir::currentPath();
            ~Restore()
            {
                QDir::setCurrent(dir);
                qputenv("TMPDIR", temp);
            }
        } restore;
        qputenv("TMPDIR", QFile::encodeName(temporaryFolder ? temp : temp + QStringLiteral("/sub")));
        // Without a usable TMPDIR the toolkit makes temporary files in the
        // working folder; nothing can be made in /proc, not even by root.
        if (!temporaryFolder)
            QVERIFY(QDir::setCurrent(QStringLiteral("/proc")));

        const QString path = freshPath();
        const QByteArray original = "[log]\nlevel=2\n[mqtt]\npassword=s3cret\n";
        writeInPlace(path, original);
        QVERIFY(setModified(path, 1500000000));
        Config config(path, tallyport::defaultSettings());
        QSignalSpy changed(&config, &Config::configChanged);

        // Same length and, put back at once, the same time stamp.
        writeInPlace(path, withLine(original, "level=2", "level=3"));
        QVERIFY(setModified(path, 1500000000));
        QTRY_COMPARE(config.get(QStringLiteral("log/level")).toInt(), 3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(config.get(QStringLiteral("mqtt/password")).toString(), QStringLiteral("s3cret"));

        if (temporaryFolder) {
            QCOMPARE(QFileInfo(temp).lastModified().toSecsSinceEpoch(), qint64(1000000000));
            QCOMPARE(QDir(temp).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     QStringList());
        }
    }

    void writingUnchangedValuesIsSilent()
    {
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        QSignalSpy changed(&config, &Config::configChanged);
        QSignalSpy fileChanged(&config, &Config::configFileChanged);
        const QByteArray original = readAll(path);

        writeInPlace(path, original);
        // Same values in another spelling: a comment, blank lines, a key dropped
        // (it keeps its last value).
        writeInPlace(path, "; edited by hand\n\n" + withLine(original, "level=2\n", ""));
        writeInPlace(path, withLine(original, "port=1883", "port=1884"));
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toMap(),
                 (QVariantMap {{QStringLiteral("mqtt/port"), QStringLiteral("1884")}}));
        QCOMPARE(fileChanged.count(), 1);
        QCOMPARE(config.get(QStringLiteral("log/level")).toInt(), 2);
    }

    void setWritesOnlyRealChanges()
    {
        const QString path = freshPath();
        writeInPlace(path, "; kept until the first real write\n[log]\nlevel=3\n");
        Config config(path, tallyport::defaultSettings());
        QSignalSpy changed(&config, &Config::configChanged);
        QSignalSpy fileChanged(&config, &Config::configFileChanged);

        config.set(QStringLiteral("log/level"), 3); // equals the text "3" of the file
        config.set(QStringLiteral("gui/showCursor"), QStringLiteral("true"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(readAll(path).startsWith("; kept"));

        config.set(QStringLiteral("gui/locale"), QStringLiteral("en_US"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toMap(),
                 (QVariantMap {{QStringLiteral("gui/locale"), QStringLiteral("en_US")}}));
        const QMap<QString, QString> saved = iniValues(path);
        QCOMPARE(saved.value(QStringLiteral("gui/locale")), QStringLiteral("en_US"));
        QCOMPARE(saved.value(QStringLiteral("log/level")), QStringLiteral("3"));
        QCOMPARE(saved.size(), 25);

        // A new key is added and saved too.
        config.set(QStringLiteral("extra/name"), 7);
        QCOMPARE(iniValues(path).value(QStringLiteral("extra/name")), QStringLiteral("7"));

        // The own writes were not taken for outside edits: the next signal is
        // the outside one, alone.
        writeInPlace(path, withLine(readAll(path), "displayOffMin=3", "displayOffMin=9"));
        QTRY_COMPARE(fileChanged.count(), 1);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(0).toMap(),
                 (QVariantMap {{QStringLiteral("gui/displayOffMin"), QStringLiteral("9")}}));
    }

    void overridesAgainstSetAndFromJson()
    {
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        config.addOverrides({{QStringLiteral("mqtt/host"), QStringLiteral("cli-host")},
                             {QStringLiteral("mqtt/port"), 2000},
                             {QStringLiteral("config"), path}});
        config.addOverrides({{QStringLiteral("mqtt/port"), 2001}}); // the last one given wins

        QCOMPARE(config.get(QStringLiteral("mqtt/host")).toString(), QStringLiteral("cli-host"));
        QCOMPARE(config.get(QStringLiteral("mqtt/port")).toInt(), 2001);
        QCOMPARE(config.get(QStringLiteral("config")).toString(), path);
        QVERIFY(!config.keys().contains(QStringLiteral("config")));
        QCOMPARE(iniValues(path).value(QStringLiteral("mqtt/host")), QStringLiteral("localhost"));

        // set drops the override: the new value is the one read from now on.
        config.set(QStringLiteral("mqtt/host"), QStringLiteral("ui-host"));
        QCOMPARE(config.get(QStringLiteral("mqtt/host")).toString(), QStringLiteral("ui-host"));

        // fromJson saves and reports, but the command line keeps the word.
        QSignalSpy changed(&config, &Config::configChanged);
        config.fromJson(QJsonObject {{QStringLiteral("mqtt"), QJsonObject {{QStringLiteral("port"), 1999}}}});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toMap().value(QStringLiteral("mqtt/port")).toInt(), 1999);
        QCOMPARE(iniValues(path).value(QStringLiteral("mqtt/port")), QStringLiteral("1999"));
        QCOMPARE(config.get(QStringLiteral("mqtt/port")).toInt(), 2001);

        // Keys held nowhere read as invalid.
        QVERIFY(!config.get(QStringLiteral("no/such")).isValid());
    }

    void fromJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QVariantMap>("expected");

        QTest::newRow("known, unknown and flat members")
            << QByteArray(R"({"gui": {"displayOffMin": 5, "nosuch": 1}, "flat": 7})")
            << QVariantMap {{QStringLiteral("gui/displayOffMin"), 5.0}};
        QTest::newRow("loosely equal values")
            << QByteArray(R"({"log": {"level": 2, "stderr": true}, "mqtt": {"port": "1883"}})")
            << QVariantMap {};
        QTest::newRow("several sections")
            << QByteArray(R"({"log": {"color": true}, "topics": {"blm": "x/blm"}})")
            << QVariantMap {{QStringLiteral("log/color"), true},
                            {QStringLiteral("topics/blm"), QStringLiteral("x/blm")}};
        QTest::newRow("null, list and object values")
            << QByteArray(R"({"gui": {"locale": null, "deviceId": [1], "screenSaverBg": {"a": 1}}})")
            << QVariantMap {};
    }

    void fromJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(QVariantMap, expected);
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        writeInPlace(path, "; untouched unless something changes\n" + readAll(path));

        QMap<QString, QString> savedAtSignal;
        connect(&config, &Config::configChanged, this, [&] { savedAtSignal = iniValues(path); });
        QSignalSpy changed(&config, &Config::configChanged);

        Config &self = config.fromJson(QJsonDocument::fromJson(json).object());
        QCOMPARE(&self, &config);
        if (expected.isEmpty()) {
            QCOMPARE(changed.count(), 0);
            QVERIFY(readAll(path).startsWith("; untouched"));
            QCOMPARE(config.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("el_GR"));
            QVERIFY(!config.keys().contains(QStringLiteral("gui/nosuch")));
            return;
        }
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toMap(), expected);
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
            // Saved before anyone hears of it.
            QCOMPARE(savedAtSignal.value(it.key()), it.value().toString());
            QCOMPARE(config.get(it.key()), it.value());
        }
        QCOMPARE(config.keys().size(), 25);
    }

    void fileValuesAreTexts_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");

        QTest::newRow("number") << QByteArray("1884") << QStringLiteral("1884");
        QTest::newRow("comma") << QByteArray("ab,cd") << QStringLiteral("ab,cd");
        QTest::newRow("comma and blank") << QByteArray("ab, cd") << QStringLiteral("ab, cd");
        QTest::newRow("blanks on both sides of commas")
            << QByteArray("a , b ,c") << QStringLiteral("a , b ,c");
        QTest::newRow("outer blanks dropped") << QByteArray("  ab, cd  ") << QStringLiteral("ab, cd");
        QTest::newRow("quoted comma") << QByteArray("\"x,y\"") << QStringLiteral("x,y");
        QTest::newRow("quoted blanks kept") << QByteArray("\" ab, cd \"") << QStringLiteral(" ab, cd ");
        QTest::newRow("escapes") << QByteArray("a\\tb\\x3b\\\\c") << QStringLiteral("a\tb;\\c");
        QTest::newRow("comment after the value") << QByteArray("ab, cd ; note") << QStringLiteral("ab, cd");
        QTest::newRow("UTF-8 as written")
            << QStringLiteral("Grüße, ✓").toUtf8() << QStringLiteral("Grüße, ✓");
    }

    // The file holds texts, each read exactly as written and written back so
    // that the next reading gives the same text.
    void fileValuesAreTexts()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        const QString path = freshPath();
        writeInPlace(path, "[mqtt]\npassword=" + line + "\n");
        Config config(path, tallyport::defaultSettings());
        QCOMPARE(config.get(QStringLiteral("mqtt/password")), QVariant(value));

        config.set(QStringLiteral("gui/locale"), QStringLiteral("en_US"));
        Config again(path, tallyport::defaultSettings());
        QCOMPARE(again.get(QStringLiteral("mqtt/password")), QVariant(value));
        QCOMPARE(again.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("en_US"));
    }

    void outOfRangeAndOverlongValuesAreRefused_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("via"); // "set", "json" or "file"
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");

        const QString delay = QStringLiteral("gui/shutdownDelaySec");
        const QString displayOff = QStringLiteral("gui/displayOffMin");
        // A negative delay never fires; beyond these the milliseconds of a timer overflow.
        QTest::newRow("negative delay, remote") << delay << "json" << QVariant(-60.0) << false;
        QTest::newRow("negative delay, screen") << delay << "set" << QVariant(-60) << false;
        QTest::newRow("negative delay, file") << delay << "file" << QVariant("-60") << false;
        QTest::newRow("delay a timer cannot hold") << delay << "json" << QVariant(2147484.0) << false;
        QTest::newRow("longest delay") << delay << "json" << QVariant(2147483.0) << true;
        QTest::newRow("no delay") << delay << "set" << QVariant(0) << true;
        QTest::newRow("huge delay") << delay << "json" << QVariant(1e300) << false;
        QTest::newRow("fractional delay") << delay << "json" << QVariant(30.5) << false;
        QTest::newRow("delay not a number") << delay << "file" << QVariant("soon") << false;
        QTest::newRow("negative display off") << displayOff << "set" << QVariant(-1) << false;
        QTest::newRow("display off a timer cannot hold")
            << displayOff << "json" << QVariant(35792.0) << false;
        QTest::newRow("longest display off") << displayOff << "file" << QVariant("35791") << true;
        QTest::newRow("negative animation switch")
            << QStringLiteral("gui/animSwitchSec") << "json" << QVariant(-1.0) << false;
        QTest::newRow("port 0") << QStringLiteral("mqtt/port") << "json" << QVariant(0.0) << false;
        QTest::newRow("port beyond TCP")
            << QStringLiteral("mqtt/port") << "file" << QVariant("65536") << false;
        QTest::newRow("port as text") << QStringLiteral("mqtt/port") << "file" << QVariant("abc") << false;
        QTest::newRow("log level not a number")
            << QStringLiteral("log/level") << "file" << QVariant("x") << false;

        // Texts have a sane length for their key.
        QTest::newRow("megabyte background") << QStringLiteral("gui/screenSaverBg") << "json"
                                             << QVariant(QString(1 << 20, QLatin1Char('b'))) << false;
        QTest::newRow("long colour name") << QStringLiteral("gui/screenSaverBg") << "json"
                                          << QVariant(QString(64, QLatin1Char('b'))) << true;
        QTest::newRow("long password")
            << QStringLiteral("mqtt/password") << "set" << QVariant(QString(257, QLatin1Char('p'))) << false;
        QTest::newRow("long PIN, file") << QStringLiteral("gui/settingsPin") << "file"
                                        << QVariant(QString(33, QLatin1Char('7'))) << false;
        QTest::newRow("long unknown key, file")
            << QStringLiteral("extra/note") << "file" << QVariant(QString(1025, QLatin1Char('n'))) << false;
    }

    // Refused with a warning, the previous value kept, nothing saved or
    // announced; the warning never shows a secret.
    void outOfRangeAndOverlongValuesAreRefused()
    {
        QFETCH(QString, key);
        QFETCH(QString, via);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);

        const QString path = freshPath();
        const QString section = key.section(QLatin1Char('/'), 0, 0);
        const QString name = key.section(QLatin1Char('/'), 1);
        QByteArray content = "; untouched unless something changes\n";
        if (via == QLatin1String("file"))
            content
                += "[" + section.toUtf8() + "]\n" + name.toUtf8() + "=" + value.toString().toUtf8() + "\n";
        writeInPlace(path, content);

        QStringList lines;
        QVariantList changes;
        QVariant kept;
        {
            MessageLog log;
            Config config(path, tallyport::defaultSettings());
            QSignalSpy changed(&config, &Config::configChanged);
            if (via == QLatin1String("set")) {
                config.set(key, value);
            } else if (via == QLatin1String("json")) {
                config.fromJson(
                    QJsonObject {{section, QJsonObject {{name, QJsonValue::fromVariant(value)}}}});
            }
            kept = config.get(key);
            for (const QList<QVariant> &signal : qAsConst(changed))
                changes << signal.at(0);
            lines = MessageLog::lines();
        }

        const QStringList refusals = lines.filter(QStringLiteral("[Config] WARN: Refusing ") + key + " : ");
        if (accepted) {
            QCOMPARE(refusals, QStringList());
            QCOMPARE(kept.toString(), value.toString());
            return;
        }
        QCOMPARE(refusals.size(), 1);
        QVERIFY2(refusals.first().size() < 300, qPrintable(refusals.first().left(300)));
        QCOMPARE(kept, tallyport::defaultSettings().value(key));
        QCOMPARE(changes, QVariantList());
        QVERIFY(readAll(path).startsWith("; untouched"));
        if (key == QLatin1String("mqtt/password") || key == QLatin1String("gui/settingsPin"))
            QVERIFY2(!refusals.first().contains(value.toString().left(8)), qPrintable(refusals.first()));
    }

    void toJsonIsTwoLevels()
    {
        const QString path = freshPath();
        writeInPlace(path, "loose=1\n[log]\nlevel=3\n[deep]\na/b=x\n");
        Config config(path, tallyport::defaultSettings());
        const QJsonObject json = config.toJson();

        QCOMPARE(json.keys(),
                 (QStringList {QStringLiteral("deep"), QStringLiteral("gui"), QStringLiteral("log"),
                               QStringLiteral("mqtt"), QStringLiteral("topics")}));
        const QJsonObject log = json.value(QStringLiteral("log")).toObject();
        QCOMPARE(log.value(QStringLiteral("level")), QJsonValue(QStringLiteral("3"))); // text from the file
        QCOMPARE(log.value(QStringLiteral("color")), QJsonValue(false));
        QCOMPARE(log.value(QStringLiteral("syslog")), QJsonValue(true));
        QCOMPARE(json.value(QStringLiteral("mqtt")).toObject().value(QStringLiteral("port")),
                 QJsonValue(1883));
        QCOMPARE(json.value(QStringLiteral("gui")).toObject().size(), 10);
        QCOMPARE(json.value(QStringLiteral("deep")).toObject(),
                 (QJsonObject {{QStringLiteral("a"), QStringLiteral("x")}}));

        // What is published can be sent back without changing anything.
        QSignalSpy changed(&config, &Config::configChanged);
        config.fromJson(json);
        QCOMPARE(changed.count(), 0);
    }

    void printMasksSecrets()
    {
        const QString path = freshPath();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        config.addOverrides({{QStringLiteral("mqtt/password"), QStringLiteral("s3cret")}});

        QStringList lines;
        {
            MessageLog log;
            config.print();
            config.set(QStringLiteral("gui/settingsPin"), QString());
            config.print();
            lines = MessageLog::lines();
        }

        QCOMPARE(lines.size(), 2 * 29);
        const QString separator = QStringLiteral("[Config] ") + QString(60, QLatin1Char('-'));
        QCOMPARE(lines.at(0), separator);
        QCOMPARE(lines.at(1), QStringLiteral("[Config]  SETTINGS (") + path + QLatin1Char(')'));
        QCOMPARE(lines.at(2), separator);
        QCOMPARE(lines.at(28), separator);
        QCOMPARE(lines.at(3), QStringLiteral("[Config]  gui/animSwitchSec    : 0"));
        QCOMPARE(lines.at(9), QStringLiteral("[Config]  gui/settingsPin      : ****"));
        QCOMPARE(lines.at(12), QStringLiteral("[Config]  gui/shutdownDelaySec : 60"));
        QCOMPARE(lines.at(19), QStringLiteral("[Config]  mqtt/password        : ****"));
        QCOMPARE(lines.at(29 + 9), QStringLiteral("[Config]  gui/settingsPin      : "));
        for (int i = 3; i < 28; ++i) {
            QCOMPARE(lines.at(i).indexOf(QLatin1String(" : ")), 30);
            QVERIFY2(!lines.at(i).contains(QLatin1String("s3cret"))
                         && !lines.at(i).contains(QLatin1String("4826")),
                     qPrintable(lines.at(i)));
        }
    }

    void garbageKeepsWorkingSettings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe\x00zz\n\x7f=\x80\n", 12);
        QTest::newRow("broken sections and escapes")
            << QByteArray("[gui\n=\n[[]]\n\\x=\"\n@Variant(\x01)=\\\n");
        QTest::newRow("truncated mid line") << QByteArray("[log]\nlev");
        // Stored values whose counts ask for all the memory there is: a polygon, a list of texts.
        QTest::newRow("impossible counts")
            << QByteArray("[gui]\npolygon=@Variant(\\0\\0\\0G\\0\\xff\\xff\\xff\\xff)\n"
                          "list=@Variant(\\0\\0\\0\\v\\0\\xff\\xff\\xff\\xf0)\n");
        // As a fuzzer found it: a polygon whose count overflows the size of its allocation.
        QTest::newRow("overflowing count")
            << QByteArray("[%General]\nx=@ByteArray(abc@)\ny=@Variant(\\0\\0\\0\\x\xb7((((((((((f)\n");
        // A stored time that holds a list of two billion texts instead: decoded
        // in the format of a time, the count is taken at its word.
        QTest::newRow("list as a stored time")
            << QByteArray("[gui]\nlast=@DateTime(\\0\\0\\0\\v\\0\\x7f\\xff\\xff\\xf0)\n");
    }

    void garbageKeepsWorkingSettings()
    {
        QFETCH(QByteArray, content);
        const QString path = freshPath();
        writeInPlace(path, content);
        {
            Config config(path, tallyport::defaultSettings());
            QCOMPARE(config.get(QStringLiteral("log/level")).toInt(), 2);
            QCOMPARE(config.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("el_GR"));
            // A value chosen now is saved over the garbage.
            config.set(QStringLiteral("log/level"), 4);
        }
        QCOMPARE(Config(path, tallyport::defaultSettings()).get(QStringLiteral("log/level")).toInt(), 4);

        // While running: the file turns to garbage, then back to a good file.
        QFile::remove(path);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Creating default config file")));
        Config config(path, tallyport::defaultSettings());
        config.set(QStringLiteral("log/level"), 3);
        const QByteArray good = readAll(path);
        QSignalSpy changed(&config, &Config::configChanged);
        writeInPlace(path, "[sentinel]\nn=1\n" + content);
        QTRY_COMPARE(config.get(QStringLiteral("sentinel/n")).toString(), QStringLiteral("1"));
        writeInPlace(path, withLine(good, "color=false", "color=true"));
        QTRY_COMPARE(config.get(QStringLiteral("log/color")).toBool(), true);
        QCOMPARE(config.get(QStringLiteral("log/level")).toInt(), 3);
        QCOMPARE(config.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("el_GR"));
        for (const QList<QVariant> &signal : qAsConst(changed)) {
            QVERIFY(!signal.at(0).toMap().contains(QStringLiteral("log/level")));
        }
    }

    void unreadableFileKeepsWorkingSettings_data()
    {
        QTest::addColumn<bool>("directory");
        QTest::newRow("directory in its place") << true;
        QTest::newRow("no read permission") << false;
    }

    void unreadableFileKeepsWorkingSettings()
    {
        QFETCH(bool, directory);
        const QString path = freshPath();
        if (directory) {
            QVERIFY(QDir().mkpath(path));
        } else {
            if (::geteuid() == 0) {
                QSKIP("permissions do not stop root");
            }
            writeInPlace(path, "[log]\nlevel=4\n");
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot read config file")));
        Config config(path, tallyport::defaultSettings());
        QCOMPARE(config.get(QStringLiteral("log/level")).toInt(), 2);
        config.set(QStringLiteral("gui/locale"), QStringLiteral("de_DE"));
        QCOMPARE(config.get(QStringLiteral("gui/locale")).toString(), QStringLiteral("de_DE"));
        QCOMPARE(config.toJson().value(QStringLiteral("gui")).toObject().value(QStringLiteral("locale")),
                 QJsonValue(QStringLiteral("de_DE")));
    }
};

QTEST_GUILESS_MAIN(tst_Config)
#include "tst_Config.moc"
