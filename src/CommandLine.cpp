#include "CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>

#include <cstdlib>

QVariantMap parseCLIArgs()
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print help and exit"));
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                     QStringLiteral("Print version and exit"));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("Set log level: 0=err, 1=warn, 2=info(dfl), 3=dbg"),
                                     QStringLiteral("level"));
    const QCommandLineOption toStderr({QStringLiteral("e"), QStringLiteral("stderr")},
                                      QStringLiteral("Print messages to stderr, not just syslog"));
    const QCommandLineOption color({QStringLiteral("c"), QStringLiteral("color")},
                                   QStringLiteral("Print messages in color."));
    const QCommandLineOption config({QStringLiteral("f"), QStringLiteral("config")},
                                    QStringLiteral("Set configuration file"), QStringLiteral("filename"));
    const QCommandLineOption host({QStringLiteral("H"), QStringLiteral("host")},
                                  QStringLiteral("Set mqtt broker url"), QStringLiteral("hostname"));
    const QCommandLineOption port({QStringLiteral("P"), QStringLiteral("port")},
                                  QStringLiteral("Set mqtt broker port"), QStringLiteral("port"));
    const QCommandLineOption username({QStringLiteral("u"), QStringLiteral("username")},
                                      QStringLiteral("Set mqtt username"), QStringLiteral("username"));
    const QCommandLineOption password({QStringLiteral("p"), QStringLiteral("password")},
                                      QStringLiteral("Set mqtt password"), QStringLiteral("password"));

    QCommandLineParser parser;
    parser.addOptions({help, version, verbose, toStderr, color, config, host, port, username, password});

    if (!parser.parse(QCoreApplication::arguments())) {
        qCritical().noquote().nospace() << "ERROR: " << parser.errorText();
        std::exit(1);
    }
    if (parser.isSet(help)) {
        parser.showHelp(0);
    }
    if (parser.isSet(version)) {
        parser.showVersion();
    }

    // Applied and logged in this order whatever the order on the command line.
    QVariantMap overrides;
    if (parser.isSet(verbose)) {
        bool ok = false;
        const int level = parser.value(verbose).toInt(&ok);
        if (ok) {
            qInfo().noquote().nospace() << "Setting Log level : " << level;
            overrides.insert(QStringLiteral("log/level"), level);
        }
    }
    if (parser.isSet(toStderr)) {
        qInfo().noquote().nospace() << "Log to stderr overridden from user to true";
        overrides.insert(QStringLiteral("log/stderr"), true);
    }
    if (parser.isSet(color)) {
        qInfo().noquote().nospace() << "Log with color overridden from user to true";
        overrides.insert(QStringLiteral("log/color"), true);
    }
    if (parser.isSet(host)) {
        qInfo().noquote().nospace() << "Setting MQTT Host : " << parser.value(host);
        overrides.insert(QStringLiteral("mqtt/host"), parser.value(host));
    }
    if (parser.isSet(port)) {
        qInfo().noquote().nospace() << "Setting MQTT Port : " << parser.value(port);
        overrides.insert(QStringLiteral("mqtt/port"), parser.value(port).toInt());
    }
    if (parser.isSet(username)) {
        qInfo().noquote().nospace() << "Setting MQTT User : " << parser.value(username);
        overrides.insert(QStringLiteral("mqtt/username"), parser.value(username));
    }
    if (parser.isSet(password)) {
        overrides.insert(QStringLiteral("mqtt/password"), parser.value(password));
    }
    if (parser.isSet(config)) {
        qInfo().noquote().nospace() << "Using configuration file : " << parser.value(config);
        overrides.insert(QStringLiteral("config"), parser.value(config));
    }
    return overrides;
}
