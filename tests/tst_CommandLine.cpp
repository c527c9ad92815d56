#include "CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <vector>

// The real program is run as a process. The override map itself is checked in
// a child: this program started again with "--parse" and the options, which
// prints the map with the type of every value.

namespace {
const char *const c_parseFlag = "--parse";

int printOverrides(int argc, char *argv[])
{
    // argv[1] is the flag; the parser sees the program name and what follows.
    std::vector<char *> args {argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    int count = int(args.size());
    QCoreApplication app(count, args.data());
    const QVariantMap overrides = parseCLIArgs();
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it) {
        std::printf("%s=%s:%s\n", qPrintable(it.key()), it.value().typeName(),
                    qPrintable(it.value().toString()));
    }
    return 0;
}

QStringList ownLines(const QByteArray &output)
{
    static const QRegularExpression own(QStringLiteral("^(Setting |Log |Using |\\[Config\\]|ERROR|WARN)"));
    QStringList lines;
    const QStringList all = QString::fromUtf8(output).split(QLatin1Char('\n'));
    for (const QString &line : all) {
        if (own.match(line).hasMatch()) {
            lines << line;
        }
    }
    return lines;
}
} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
        return env;
    }

    // For runs that end by themselves (help, version, errors).
    void runToEnd(const QStringList &args, const QString &workDir, int *code, QByteArray *out,
                  QByteArray *err)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(workDir);
        process.start(QStringLiteral(TALLYPORT_EXECUTABLE), args);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        *code = process.exitCode();
        *out = process.readAllStandardOutput();
        *err = process.readAllStandardError();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_runtime.isValid()); }

    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("short") << QStringList {"-h"};
        QTest::newRow("long") << QStringList {"--help"};
        QTest::newRow("before version") << QStringList {"-h", "-V"};
        QTest::newRow("after version") << QStringList {"--version", "--help"};
        QTest::newRow("combined with version") << QStringList {"-Vh"};
    }

    void help()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        int code = -1;
        QByteArray out, err;
        runToEnd(args, dir.path(), &code, &out, &err);
        QCOMPARE(code, 0);

        const QList<QPair<QString, QString>> options {
            {"-h, --help", "Print help and exit"},
            {"-V, --version", "Print version and exit"},
            {"-v, --verbose <level>", "Set log level: 0=err, 1=warn, 2=info(dfl), 3=dbg"},
            {"-e, --stderr", "Print messages to stderr, not just syslog"},
            {"-c, --color", "Print messages in color."},
            {"-f, --config <filename>", "Set configuration file"},
            {"-H, --host <hostname>", "Set mqtt broker url"},
            {"-P, --port <port>", "Set mqtt broker port"},
            {"-u, --username <username>", "Set mqtt username"},
            {"-p, --password <password>", "Set mqtt password"},
        };
        const QStringList lines = QString::fromUtf8(out).trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3 + options.size());
        QVERIFY2(lines.at(0).startsWith(QLatin1String("Usage: "))
                     && lines.at(0).endsWith(QLatin1String(" [options]")),
                 qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), QString());
        QCOMPARE(lines.at(2), QStringLiteral("Options:"));
        for (int i = 0; i < options.size(); ++i) {
            const QRegularExpression line(QStringLiteral("^  %1 +%2$")
                                              .arg(QRegularExpression::escape(options.at(i).first),
                                                   QRegularExpression::escape(options.at(i).second)));
            QVERIFY2(line.match(lines.at(3 + i)).hasMatch(), qPrintable(lines.at(3 + i)));
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gui.conf"))));
    }

    void version_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("short") << QStringList {"-V"};
        QTest::newRow("long") << QStringList {"--version"};
        QTest::newRow("after other options") << QStringList {"-e", "-v", "3", "-V"};
    }

    void version()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        int code = -1;
        QByteArray out, err;
        runToEnd(args, dir.path(), &code, &out, &err);
        QCOMPARE(code, 0);
        QCOMPARE(out, QByteArray("Tallyport 1.0.21-1-g4a2310e\n"));
        // Ends before any option is applied or the store is built.
        QCOMPARE(ownLines(err), QStringList {});
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gui.conf"))));
    }

    void parseErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line");
        QTest::newRow("undeclared long") << QStringList {"--nosuch"} << "ERROR: Unknown option 'nosuch'.";
        QTest::newRow("undeclared short") << QStringList {"-x"} << "ERROR: Unknown option 'x'.";
        QTest::newRow("undeclared among flags") << QStringList {"-ecx"} << "ERROR: Unknown option 'x'.";
        QTest::newRow("missing value") << QStringList {"-e", "-f"} << "ERROR: Missing value after '-f'.";
        QTest::newRow("beats help") << QStringList {"-h", "--nosuch"} << "ERROR: Unknown option 'nosuch'.";
    }

    void parseErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        QTemporaryDir dir;
        int code = -1;
        QByteArray out, err;
        runToEnd(args, dir.path(), &code, &out, &err);
        QCOMPARE(code, 1);
        QCOMPARE(out, QByteArray());
        QCOMPARE(ownLines(err), QStringList {line});
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gui.conf"))));
    }

    // Without a controller the program keeps running its event loop: wait for
    // the store to create its file, then stop it.
    void startsWithTheChosenFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("no arguments") << QStringList {} << "gui.conf" << QStringList {};
        QTest::newRow("stderr before verbose")
            << QStringList {"-e", "-v3"} << "gui.conf"
            << QStringList {"Setting Log level : 3", "Log to stderr overridden from user to true"};
        QTest::newRow("combined flags") << QStringList {"-ce"} << "gui.conf"
                                        << QStringList {"Log to stderr overridden from user to true",
                                                        "Log with color overridden from user to true"};
        QTest::newRow("combined flags ending in a value")
            << QStringList {"-ev", "1"} << "gui.conf"
            << QStringList {"Setting Log level : 1", "Log to stderr overridden from user to true"};
        QTest::newRow("verbose that is not a number")
            << QStringList {"--verbose", "x"} << "gui.conf" << QStringList {};
        QTest::newRow("everything, in reverse")
            << QStringList {"--config", "other.conf", "-p",     "s3cret",  "-u",       "me", "-P",
                            "abc",      "-H",         "broker", "--color", "--stderr", "-v", "4"}
            << "other.conf"
            << QStringList {"Setting Log level : 4",
                            "Log to stderr overridden from user to true",
                            "Log with color overridden from user to true",
                            "Setting MQTT Host : broker",
                            "Setting MQTT Port : abc",
                            "Setting MQTT User : me",
                            "Using configuration file : other.conf"};
    }

    void startsWithTheChosenFile()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(dir.path());
        QByteArray err;
        connect(&process, &QProcess::readyReadStandardError, this,
                [&] { err += process.readAllStandardError(); });
        process.start(QStringLiteral(TALLYPORT_EXECUTABLE), args);
        QVERIFY(process.waitForStarted());

        const QString created = QStringLiteral("[Config] Creating default config file : ") + file;
        // The line comes before the write: wait for the file as well.
        QTRY_VERIFY_WITH_TIMEOUT((err.contains(created.toUtf8()) && QFile::exists(dir.filePath(file)))
                                     || process.state() == QProcess::NotRunning,
                                 30000);
        const bool kept = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished();
        err += process.readAllStandardError();

        QVERIFY2(kept, err.constData());
        QCOMPARE(ownLines(err), lines + QStringList {created});
        QVERIFY(!err.contains("s3cret"));
        QVERIFY(QFile::exists(dir.filePath(file)));
    }

    void overrideMap_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QStringList {} << QStringList {};
        QTest::newRow("levels and flags")
            << QStringList {"-e", "--verbose=3", "-c"}
            << QStringList {"log/color=bool:true", "log/level=int:3", "log/stderr=bool:true"};
        QTest::newRow("verbose that is not a number") << QStringList {"-v", "x"} << QStringList {};
        QTest::newRow("port that is not a number")
            << QStringList {"-P", "abc"} << QStringList {"mqtt/port=int:0"};
        QTest::newRow("texts") << QStringList {"-H", "h", "-P", "1884", "-u", "u", "-p", "pw", "-f", "a.conf"}
                               << QStringList {"config=QString:a.conf", "mqtt/host=QString:h",
                                               "mqtt/password=QString:pw", "mqtt/port=int:1884",
                                               "mqtt/username=QString:u"};
    }

    void overrideMap()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, expected);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), QStringList {QLatin1String(c_parseFlag)} + args);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
    }
};

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], c_parseFlag) == 0) {
        return printOverrides(argc, argv);
    }
    QCoreApplication app(argc, argv);
    tst_CommandLine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CommandLine.moc"
