#include "BoardService.h"
#include "Console.h"
#include "DeviceService.h"
#include "InspectorService.h"
#include "NetworkService.h"
#include "PassengerFlow.h"
#include "ValidatorService.h"

#include "Common/MqttClient.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tallyport-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the validator's device services on an MQTT broker.\n\n") + Console::help());
    parser.addHelpOption();
    const QCommandLineOption host({QStringLiteral("H"), QStringLiteral("host")},
                                  QStringLiteral("Broker host"), QStringLiteral("host"),
                                  QStringLiteral("127.0.0.1"));
    const QCommandLineOption port({QStringLiteral("P"), QStringLiteral("port")},
                                  QStringLiteral("Broker port"), QStringLiteral("port"),
                                  QStringLiteral("1883"));
    const QCommandLineOption pace(QStringLiteral("pace"),
                                  QStringLiteral("Milliseconds between scripted passengers"),
                                  QStringLiteral("msec"), QStringLiteral("6000"));
    const QCommandLineOption manual(QStringLiteral("manual"),
                                    QStringLiteral("No scripted flow: commands only"));
    const QCommandLineOption noScenarios(
        QStringLiteral("passengers-only"),
        QStringLiteral("Script passengers only, no degraded/ignition scenarios"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Show the MQTT client's own lines and every message sent and received"));
    parser.addOptions({host, port, pace, manual, noScenarios, verbose});
    parser.process(app);
    if (!parser.isSet(verbose))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));

    manager::MqttClient mqtt;
    mqtt.setHostname(parser.value(host));
    mqtt.setPort(parser.value(port).toUInt());
    mqtt.setClientId(QStringLiteral("tallyport-sim_%1").arg(QCoreApplication::applicationPid()));
    // When the simulator dies the validator goes down with it, as the real service would report.
    mqtt.setWillTopic(QStringLiteral("vorn/blm/status"));
    mqtt.setWillMessage(QByteArrayLiteral("{\"service\": false}"));

    ValidatorService validator(mqtt, QStringLiteral("vorn/blm"));
    BoardService board(mqtt, QStringLiteral("vorn/board"));
    InspectorService inspector(mqtt, QStringLiteral("vorn/inspector"));
    NetworkService network(mqtt, QStringLiteral("vorn/network"));
    DeviceService device(mqtt, QStringLiteral("vorn/device"));
    PassengerFlow flow(validator, board);
    const int paceMs = qMax(200, parser.value(pace).toInt());
    Console console(validator, board, flow, paceMs);
    QObject::connect(&console, &Console::quitRequested, &app, &QCoreApplication::quit);

    mqtt.connect();
    if (!parser.isSet(manual))
        flow.start(paceMs, !parser.isSet(noScenarios));
    QTextStream(stdout) << "tallyport-sim on " << parser.value(host) << ":" << parser.value(port)
                        << " (type help for commands)" << Qt::endl;
    return app.exec();
}
