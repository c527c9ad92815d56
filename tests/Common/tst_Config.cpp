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

    void fileValuesAreTexts()
    {
        const QString path = freshPath();
        writeInPlace(path, "[mqtt]\npassword=ab,cd\nusername=\"x,y\"\nport=1884\n");
        Config config(path, tallyport::defaultSettings());
        QCOMPARE(config.get(QStringLiteral("mqtt/password")), QVariant(QStringLiteral("ab,cd")));
        QCOMPARE(config.get(QStringLiteral("mqtt/username")), QVariant(QStringLiteral("x,y")));
        QCOMPARE(config.get(QStringLiteral("mqtt/port")), QVariant(QStringLiteral("1884")));

        // Written back, the comma survives the next reading.
        config.set(QStringLiteral("gui/locale"), QStringLiteral("en_US"));
        Config again(path, tallyport::defaultSettings());
        QCOMPARE(again.get(QStringLiteral("mqtt/password")).toString(), QStringLiteral("ab,cd"));
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
        }

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
