#pragma once

#include "Common/MqttClient.h"
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>

namespace fuzz {

// A proxy built on an unconnected client, fed through the client's received
// signal exactly as the broker's messages reach it: base filter, frame,
// parsing and every handler run as on the device. The proxy lives across
// inputs, so sequences of messages build up state as a service's would.
template<typename Proxy> class ProxyTarget
{
public:
    ProxyTarget(const QString &base, const QStringList &suffixes, const QStringList &absolute = {})
        : m_proxy(m_mqtt, base)
    {
        for (const QString &suffix : suffixes)
            m_topics << base + suffix;
        m_topics << absolute;
    }

    void run(const uint8_t *data, size_t size)
    {
        const FuzzMessage message = FuzzMessage::split(data, size, m_topics);
        emit m_mqtt.received(message.payload, message.topic.toUtf8());
        // Objects dropped from the mirrored lists go on the next turn of the loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

private:
    manager::MqttClient m_mqtt;
    Proxy m_proxy;
    QStringList m_topics;
};

template<typename Proxy>
int runProxy(const uint8_t *data, size_t size, const QString &base, const QStringList &suffixes,
             const QStringList &absolute = {})
{
    static ProxyTarget<Proxy> *target = [&] {
        quietLogging();
        application<QCoreApplication>();
        return new ProxyTarget<Proxy>(base, suffixes, absolute);
    }();
    target->run(data, size);
    return 0;
}

} // namespace fuzz
