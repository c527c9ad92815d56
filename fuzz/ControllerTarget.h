#pragma once

#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "Defaults.h"
#include "FuzzInput.h"
#include "GUIManager.h"
#include "Resources.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

namespace fuzz {

// The controller as the process builds it (without loading the screens), fed
// through its MQTT client's received signal. Settings that would make it
// reach out of its sandbox are overrides, which a remote set can store but
// never make effective: the broker stays an unreachable loopback port, the
// device id file and the logs stay put.
class ControllerTarget
{
public:
    explicit ControllerTarget(const QStringList &topics) : m_topics(topics)
    {
        m_config = std::make_unique<Config>(m_dir.filePath(QStringLiteral("gui.conf")),
                                            tallyport::defaultSettings());
        m_config->addOverrides(
            {{QStringLiteral("mqtt/host"), QStringLiteral("127.0.0.1")},
             {QStringLiteral("mqtt/port"), 1},
             {QStringLiteral("gui/deviceId"), m_dir.filePath(QStringLiteral("serialnumber"))},
             {QStringLiteral("log/syslog"), false},
             {QStringLiteral("log/stderr"), false},
             {QStringLiteral("log/level"), 0}});
        m_manager = std::make_unique<GUIManager>(*m_config);
        m_mqtt = m_manager->findChild<manager::MqttClient *>();
        Q_ASSERT(m_mqtt);
    }

    GUIManager &manager() { return *m_manager; }

    void run(const uint8_t *data, size_t size)
    {
        const FuzzMessage message = FuzzMessage::split(data, size, m_topics);
        emit m_mqtt->received(message.payload, message.topic.toUtf8());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static ControllerTarget *create(const QStringList &topics)
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        application<QGuiApplication>();
        tallyport::initResources();
        static ControllerTarget *target = nullptr;
        target = new ControllerTarget(topics);
        // The controller installs its own logger; silence it afterwards.
        quietLogging();
        // Torn down before the leak check at exit, as the process does: an
        // engine left alive holds its JavaScript heap where the leak checker
        // cannot see the references.
        std::atexit([] { delete target; });
        return target;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Config> m_config;
    std::unique_ptr<GUIManager> m_manager;
    manager::MqttClient *m_mqtt = nullptr;
    QStringList m_topics;
};

} // namespace fuzz
