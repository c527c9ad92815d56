#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// One fuzz input is a route selector byte, then the payload. The selector
// picks one of the topics the object under test handles; past the end of the
// list the topic is read from the input itself, up to the first newline, so
// unknown and near-miss topics are tried too.
struct FuzzMessage
{
    QString topic;
    QByteArray payload;

    static FuzzMessage split(const uint8_t *data, size_t size, const QStringList &topics)
    {
        FuzzMessage message;
        if (size == 0 || topics.isEmpty())
            return message;
        const int choice = data[0] % (topics.size() + 1);
        QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
        if (choice < topics.size()) {
            message.topic = topics.at(choice);
            message.payload = rest;
        } else {
            const int newline = rest.indexOf('\n');
            message.topic = QString::fromUtf8(newline < 0 ? rest : rest.left(newline));
            message.payload = newline < 0 ? QByteArray() : rest.mid(newline + 1);
        }
        return message;
    }
};

namespace fuzz {

// Logging would cost most of the time of each run and say nothing a crash
// report does not; set TALLYPORT_FUZZ_LOG to see it.
inline void quietLogging()
{
    if (qEnvironmentVariableIsEmpty("TALLYPORT_FUZZ_LOG"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// The objects under test need an application object and its event loop.
template<typename App> App &application()
{
    static int argc = 1;
    static char name[] = "tallyport-fuzz";
    static char *argv[] = {name, nullptr};
    static App *app = new App(argc, argv);
    return *app;
}

} // namespace fuzz
