#include "MqttClient.h"

#include "Logger.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QMetaType>
#include <QPointer>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <mosquitto.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <deque>

namespace manager {

namespace {

constexpr int c_miscIntervalMillis = 1000; // keep-alive and retry bookkeeping of the library
constexpr int c_maxPacketsPerWakeup = 64; // bounds the time one read notification may take
constexpr int c_protocolVersion = 4; // MQTT 3.1.1, the library's default as well
constexpr int c_minKeepAlive = 5; // the library refuses 1 to 4 seconds

// Payload dumps are built only when they will be printed: a multi-megabyte
// message must not be decoded into a log line that the filter drops anyway.
bool debugEnabled()
{
    const QLoggingCategory *category = QLoggingCategory::defaultCategory();
    return category && category->isDebugEnabled();
}

const char *boolText(bool value)
{
    return value ? "true" : "false";
}

// Notifiers may be dropped while one of them is delivering its activation
// (a slot reconnects or destroys the client); those are deleted later.
thread_local int t_activationDepth = 0;

struct ActivationScope
{
    ActivationScope() { ++t_activationDepth; }
    ~ActivationScope() { --t_activationDepth; }
    ActivationScope(const ActivationScope &) = delete;
    ActivationScope &operator=(const ActivationScope &) = delete;
};

void discard(std::unique_ptr<QSocketNotifier> &notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    if (t_activationDepth > 0)
        notifier.release()->deleteLater();
    else
        notifier.reset();
}

MqttClient::ClientError errorFromLibrary(int rc)
{
    switch (rc) {
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_MALFORMED_PACKET:
    case MOSQ_ERR_MALFORMED_UTF8:
    case MOSQ_ERR_DUPLICATE_PROPERTY:
    case MOSQ_ERR_PAYLOAD_SIZE:
    case MOSQ_ERR_OVERSIZE_PACKET:
        return MqttClient::ProtocolViolation;
    case MOSQ_ERR_NOMEM:
    case MOSQ_ERR_INVAL:
    case MOSQ_ERR_UNKNOWN:
    case MOSQ_ERR_NOT_SUPPORTED:
        return MqttClient::UnknownError;
    default:
        return MqttClient::TransportInvalid;
    }
}

} // namespace

// Owns the libmosquitto handle and drives it from the Qt event loop: a read
// notifier on the socket, a write notifier enabled only while the library has
// bytes queued, and a timer for the library's periodic work. A new handle is
// made for every attempt, so the settings in force are always the latest.
//
// Library callbacks only record what happened; the records are delivered to
// the owner after the library call has returned. Slots may therefore publish,
// reconnect or even destroy the client without the library being re-entered
// or freed under its own feet.
class MqttClient::Connection : public QObject
{
public:
    struct Settings
    {
        QString hostname;
        quint32 port = 1883;
        QString username;
        QString password;
        bool cleanSession = true;
        QString clientId;
        quint8 keepAlive = 5;
        QByteArray willMessage;
        quint8 willQos = 2;
        bool willRetain = true;
        QString willTopic;
    };

    explicit Connection(MqttClient &owner) : m_owner(owner)
    {
        static const int init = mosquitto_lib_init();
        Q_UNUSED(init)
        m_miscTimer.setInterval(c_miscIntervalMillis);
        QObject::connect(&m_miscTimer, &QTimer::timeout, this, [this] { onMisc(); });
    }

    ~Connection() override
    {
        ++m_attempt;
        dropHandle();
    }

    Settings settings; // read back by the error lines; used from the next attempt on

    ClientState state() const { return m_state; }
    int protocolVersion() const { return c_protocolVersion; }

    // Ignored while an attempt is under way or the connection is up.
    void connectToHost()
    {
        if (m_state != Disconnected)
            return;
        const quint64 attempt = ++m_attempt;
        setState(Connecting);
        // The attempt itself starts on the next turn of the event loop, so a
        // failure is never reported from inside the caller's connect().
        QTimer::singleShot(0, this, [this, attempt] {
            if (attempt == m_attempt)
                startAttempt(attempt);
        });
        deliver();
    }

    void disconnectFromHost()
    {
        switch (m_state) {
        case Disconnected:
            return;
        case Connecting:
            ++m_attempt;
            dropHandle();
            setState(Disconnected);
            break;
        case Connected: {
            const int rc = mosquitto_disconnect(m_mosq);
            syncNotifiers();
            if (rc != MOSQ_ERR_SUCCESS) {
                ++m_attempt;
                dropHandle();
                setState(Disconnected);
            }
            break;
        }
        }
        deliver();
    }

    // Aborts the attempt or connection without a DISCONNECT packet.
    void closeTransport()
    {
        if (m_state == Disconnected)
            return;
        ++m_attempt;
        dropHandle();
        setState(Disconnected, TransportInvalid);
        deliver();
    }

    bool subscribe(const QString &filter, quint8 qos)
    {
        if (!m_mosq || m_state != Connected)
            return false;
        const int rc = mosquitto_subscribe(m_mosq, nullptr, filter.toUtf8().constData(), qos);
        syncNotifiers();
        return rc == MOSQ_ERR_SUCCESS;
    }

    // Returns the message id, or -1 when the library refused the message.
    int publish(const QString &topic, const QByteArray &data, quint8 qos, bool retain)
    {
        if (!m_mosq || m_state != Connected)
            return -1;
        int mid = 0;
        const int rc = mosquitto_publish(m_mosq, &mid, topic.toUtf8().constData(), data.size(),
                                         data.constData(), qos, retain);
        syncNotifiers();
        return rc == MOSQ_ERR_SUCCESS ? mid : -1;
    }

private:
    struct Event
    {
        bool message = false;
        ClientState state = Disconnected;
        ClientError error = NoError;
        QByteArray topic;
        QByteArray payload;
    };

    void startAttempt(quint64 attempt)
    {
        // The library takes port 0 for the path of a local socket named after
        // the host: never a target here.
        if (settings.port == 0 || settings.port > 65535) {
            qWarning().noquote().nospace() << "[MqttClient] WARN: Invalid broker port : " << settings.port
                                           << " (1 to 65535), not connecting to " << settings.hostname;
            fail(TransportInvalid);
            deliver();
            return;
        }
        QHostAddress literal;
        if (literal.setAddress(settings.hostname)) {
            openSocket({literal.toString()});
            return;
        }
        // A name is resolved without blocking the GUI thread.
        m_lookupId = QHostInfo::lookupHost(settings.hostname, this, [this, attempt](const QHostInfo &info) {
            m_lookupId = -1;
            if (attempt != m_attempt)
                return;
            QStringList addresses;
            for (const QHostAddress &a : info.addresses()) {
                if (a.protocol() == QAbstractSocket::IPv4Protocol)
                    addresses.prepend(a.toString());
                else
                    addresses.append(a.toString());
            }
            if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
                fail(TransportInvalid);
                deliver();
                return;
            }
            openSocket(addresses);
        });
    }

    void openSocket(const QStringList &addresses)
    {
        dropHandle();
        const QByteArray id = settings.clientId.toUtf8();
        errno = 0;
        m_mosq = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), settings.cleanSession, this);
        if (!m_mosq) {
            // An empty id without a clean session is what a broker would reject.
            fail(errno == EINVAL ? IdRejected : UnknownError);
            deliver();
            return;
        }
        mosquitto_connect_callback_set(m_mosq, &Connection::onConnectCallback);
        mosquitto_disconnect_callback_set(m_mosq, &Connection::onDisconnectCallback);
        mosquitto_message_callback_set(m_mosq, &Connection::onMessageCallback);
        mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
        // Small messages must leave at once; Nagle would hold them back.
        mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);

        int rc = MOSQ_ERR_SUCCESS;
        if (!settings.username.isEmpty()) {
            const QByteArray password = settings.password.toUtf8();
            rc = mosquitto_username_pw_set(m_mosq, settings.username.toUtf8().constData(),
                                           password.isEmpty() ? nullptr : password.constData());
        }
        if (rc == MOSQ_ERR_SUCCESS && !settings.willTopic.isEmpty()) {
            rc = mosquitto_will_set(m_mosq, settings.willTopic.toUtf8().constData(),
                                    settings.willMessage.size(), settings.willMessage.constData(),
                                    settings.willQos, settings.willRetain);
            if (rc == MOSQ_ERR_INVAL)
                rc = MOSQ_ERR_PROTOCOL; // a will topic no broker would accept
        }
        if (rc != MOSQ_ERR_SUCCESS) {
            fail(errorFromLibrary(rc));
            deliver();
            return;
        }

        const int keepAlive = settings.keepAlive > 0 && settings.keepAlive < c_minKeepAlive
            ? c_minKeepAlive
            : settings.keepAlive;
        rc = MOSQ_ERR_EAI;
        for (const QString &address : addresses) {
            rc = mosquitto_connect_async(m_mosq, address.toUtf8().constData(), int(settings.port), keepAlive);
            if (rc == MOSQ_ERR_SUCCESS)
                break;
        }
        syncNotifiers();
        if (rc != MOSQ_ERR_SUCCESS)
            fail(errorFromLibrary(rc));
        deliver();
    }

    // The attempt is over: drop the handle (and its socket) and report.
    void fail(ClientError error)
    {
        dropHandle();
        setState(Disconnected, error);
    }

    void setState(ClientState state, ClientError error = NoError)
    {
        if (state == m_state)
            return;
        m_state = state;
        Event event;
        event.state = state;
        event.error = error;
        m_events.push_back(std::move(event));
    }

    void dropHandle()
    {
        discard(m_readNotifier);
        discard(m_writeNotifier);
        m_fd = -1;
        m_miscTimer.stop();
        if (m_lookupId >= 0) {
            QHostInfo::abortHostLookup(m_lookupId);
            m_lookupId = -1;
        }
        if (m_mosq) {
            mosquitto_destroy(m_mosq); // closes the socket, sends nothing
            m_mosq = nullptr;
        }
        m_refusal = NoError;
    }

    // Called after every library call: the socket may have been opened or
    // closed, and the library may have queued bytes to write.
    void syncNotifiers()
    {
        const int fd = m_mosq ? mosquitto_socket(m_mosq) : -1;
        if (fd != m_fd) {
            discard(m_readNotifier);
            discard(m_writeNotifier);
            m_fd = fd;
            if (fd >= 0) {
                m_readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
                QObject::connect(m_readNotifier.get(), &QSocketNotifier::activated, this,
                                 [this] { onReadable(); });
                m_writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
                m_writeNotifier->setEnabled(false);
                QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, this,
                                 [this] { onWritable(); });
                m_miscTimer.start();
            } else {
                m_miscTimer.stop();
            }
        }
        if (m_writeNotifier) {
            const bool want = mosquitto_want_write(m_mosq);
            if (m_writeNotifier->isEnabled() != want)
                m_writeNotifier->setEnabled(want);
        }
    }

    bool hasPendingInput() const
    {
        int available = 0;
        return m_fd >= 0 && ::ioctl(m_fd, FIONREAD, &available) == 0 && available > 0;
    }

    void onReadable()
    {
        ActivationScope scope;
        // Read on while whole packets wait in the socket: one wake-up then
        // serves a burst instead of one message per turn of the event loop.
        // The callbacks only record, so the burst is read first and handed
        // on after: no slot runs while the library is inside a read.
        for (int i = 0; i < c_maxPacketsPerWakeup; ++i) {
            const int rc = mosquitto_loop_read(m_mosq, 1);
            if (rc != MOSQ_ERR_SUCCESS || m_state == Disconnected || !hasPendingInput())
                break;
        }
        syncNotifiers();
        deliver();
    }

    void onWritable()
    {
        ActivationScope scope;
        mosquitto_loop_write(m_mosq, 1);
        syncNotifiers();
        deliver();
    }

    void onMisc()
    {
        if (!m_mosq)
            return;
        mosquitto_loop_misc(m_mosq);
        syncNotifiers();
        deliver();
    }

    // Hands the recorded events to the owner in order, never nested: an event
    // recorded while a slot runs is delivered after that slot has returned.
    // Returns false if the owner (and so this object) was destroyed.
    bool deliver()
    {
        if (m_delivering)
            return true;
        MqttClient &owner = m_owner;
        QPointer<MqttClient> alive(&owner);
        m_delivering = true;
        while (!m_events.empty()) {
            Event event = std::move(m_events.front());
            m_events.pop_front();
            if (event.message) {
                owner.onReceived(event.payload, event.topic);
                if (!alive)
                    return false;
                continue;
            }
            owner.onStateChanged(event.state);
            if (!alive)
                return false;
            if (event.state == Connected) {
                // Subscriptions first: what the listeners publish on connection
                // (presence, state requests) may be answered at once, and the
                // broker takes one client's packets in order.
                owner.onConnected();
                if (!alive)
                    return false;
                emit owner.connected();
            } else if (event.state == Disconnected) {
                emit owner.disconnected();
                if (!alive)
                    return false;
                owner.onDisconnected();
            }
            if (!alive)
                return false;
            if (event.error != NoError) {
                owner.onError(event.error);
                if (!alive)
                    return false;
            }
        }
        m_delivering = false;
        return true;
    }

    static void onConnectCallback(mosquitto *, void *self, int rc)
    {
        auto *connection = static_cast<Connection *>(self);
        if (rc == 0)
            connection->setState(Connected);
        else if (rc >= InvalidProtocolVersion && rc <= NotAuthorized)
            connection->m_refusal = ClientError(rc); // the disconnect that follows reports it
        else
            connection->m_refusal = ProtocolViolation;
    }

    static void onDisconnectCallback(mosquitto *, void *self, int rc)
    {
        auto *connection = static_cast<Connection *>(self);
        ClientError error = NoError; // rc 0: the disconnect we asked for
        if (connection->m_refusal != NoError)
            error = connection->m_refusal;
        else if (rc != MOSQ_ERR_SUCCESS)
            error = errorFromLibrary(rc);
        connection->m_refusal = NoError;
        connection->setState(Disconnected, error);
    }

    static void onMessageCallback(mosquitto *, void *self, const mosquitto_message *message)
    {
        auto *connection = static_cast<Connection *>(self);
        Event event;
        event.message = true;
        event.topic = QByteArray(message->topic);
        event.payload = QByteArray(static_cast<const char *>(message->payload), message->payloadlen);
        connection->m_events.push_back(std::move(event));
    }

    MqttClient &m_owner;
    mosquitto *m_mosq = nullptr;
    ClientState m_state = Disconnected;
    ClientError m_refusal = NoError;
    quint64 m_attempt = 0;
    int m_lookupId = -1;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_miscTimer;
    std::deque<Event> m_events;
    bool m_delivering = false;
};

MqttClient::MqttClient(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<ClientState>("ClientState");
    qRegisterMetaType<ClientError>("ClientError");
}

// Members go in reverse order: the connection closes its socket without a
// DISCONNECT packet, so the broker publishes the will.
MqttClient::~MqttClient() = default;

void MqttClient::setHostname(const QString &hostname)
{
    this->hostname = hostname;
}

void MqttClient::setPort(unsigned int port)
{
    this->port = port;
}

void MqttClient::setUsername(const QString &username)
{
    this->username = username;
}

void MqttClient::setPassword(const QString &password)
{
    this->password = password;
}

void MqttClient::setRetryMillis(unsigned int millis)
{
    retryMillis = int(millis);
}

void MqttClient::setEncrypted(bool encrypted)
{
    this->encrypted = encrypted;
}

void MqttClient::setCleanSession(bool cleanSession)
{
    this->cleanSession = cleanSession;
}

void MqttClient::setClientId(const QString &clientId)
{
    this->clientId = clientId;
}

void MqttClient::setKeepAlive(unsigned char seconds)
{
    keepAlive = seconds;
}

void MqttClient::setWillMessage(const QByteArray &message)
{
    willMessage = message;
}

void MqttClient::setWillQoS(unsigned char qos)
{
    willQos = qos;
}

void MqttClient::setWillRetain(bool retain)
{
    willRetain = retain;
}

void MqttClient::setWillTopic(const QString &topic)
{
    willTopic = topic;
}

MqttClient::ClientState MqttClient::state() const
{
    return client ? client->state() : Disconnected;
}

void MqttClient::connect()
{
    qInfo().noquote().nospace() << "[MqttClient] Connecting to host";
    initTimer();
    initClient();
    if (encrypted)
        qWarning().noquote().nospace() << "[MqttClient] Encryption not yet supported";
    client->connectToHost();
}

void MqttClient::initTimer()
{
    if (!connectionTimer) {
        connectionTimer = std::make_unique<QTimer>();
        connectionTimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(connectionTimer.get(), &QTimer::timeout, this, &MqttClient::onTimeout);
        reconnectTimer = std::make_unique<QTimer>();
        reconnectTimer->setSingleShot(true);
        reconnectTimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(reconnectTimer.get(), &QTimer::timeout, this, &MqttClient::onReconnect);
    }
    qDebug().noquote().nospace() << "[MqttClient] Applying client configuration:";
    qDebug().noquote().nospace() << "[MqttClient] Retry interval millis: " << retryMillis;
    connectionTimer->setInterval(retryMillis);
}

void MqttClient::initClient()
{
    if (!client)
        client = std::make_unique<Connection>(*this);
    qDebug().noquote().nospace() << "[MqttClient] Applying client configuration:";
    qDebug().noquote().nospace() << "[MqttClient] Hostname: " << hostname;
    qDebug().noquote().nospace() << "[MqttClient] Port    : " << port;
    qDebug().noquote().nospace() << "[MqttClient] Username: " << username;
    qDebug().noquote().nospace() << "[MqttClient] CleanSession: " << boolText(cleanSession);
    qDebug().noquote().nospace() << "[MqttClient] Client Id   : " << clientId;
    qDebug().noquote().nospace() << "[MqttClient] Keepalive   : " << int(keepAlive);
    qDebug().noquote().nospace() << "[MqttClient] Will Message: " << QString::fromUtf8(willMessage);
    qDebug().noquote().nospace() << "[MqttClient] Will QoS    : " << int(willQos);
    qDebug().noquote().nospace() << "[MqttClient] Will Retain : " << boolText(willRetain);
    qDebug().noquote().nospace() << "[MqttClient] Will Topic  : " << willTopic;

    Connection::Settings &s = client->settings;
    s.hostname = hostname;
    s.port = port;
    s.username = username;
    s.password = password;
    s.cleanSession = cleanSession;
    s.clientId = clientId;
    s.keepAlive = keepAlive;
    s.willMessage = willMessage;
    s.willQos = willQos;
    s.willRetain = willRetain;
    s.willTopic = willTopic;
}

void MqttClient::disconnect()
{
    qInfo().noquote().nospace() << "[MqttClient] Disconnecting from host";
    if (client)
        client->disconnectFromHost();
}

void MqttClient::subscribe(const QString &topic, uchar qos)
{
    subsTopics.append({topic, int(qos)});
    if (client && client->state() == Connected)
        doSubscribe(topic, qos);
}

void MqttClient::doSubscribe(const QString &filter, quint8 qos)
{
    qInfo().noquote().nospace() << "[MqttClient] Subscribing to '" << filter << "' with QoS = " << int(qos);
    if (!client->subscribe(filter, qos))
        emit error(QStringLiteral("Subscription to ") + filter + QStringLiteral(" failed."));
}

bool MqttClient::publish(const QByteArray &data, const QString &topic, uchar qos, bool retain)
{
    if (!client || client->state() != Connected)
        return false;
    if (debugEnabled())
        qDebug().noquote().nospace() << "[MqttClient] Publishing to topic '" << topic
                                     << "' with Qos = " << int(qos) << " and Retain = " << boolText(retain)
                                     << ":\n"
                                     << Logger::payload(data);
    if (client->publish(topic, data, qos, retain) == -1) {
        emit error(QStringLiteral("Publish to ") + topic + QStringLiteral(" failed."));
        return false;
    }
    return true;
}

void MqttClient::onConnected()
{
    qInfo().noquote().nospace() << "[MqttClient] Connected to broker " << hostname;
    // Only what was remembered when the connection came up: a subscribe()
    // made from a slot below is sent by subscribe() itself.
    const int count = subsTopics.size();
    for (int i = 0; i < count && i < subsTopics.size(); ++i) {
        if (!client || client->state() != Connected)
            return; // lost again meanwhile; the next connection renews them
        const std::pair<QString, int> sub = subsTopics.at(i);
        doSubscribe(sub.first, quint8(sub.second));
    }
}

void MqttClient::onDisconnected()
{
    qInfo().noquote().nospace() << "[MqttClient] Disconnected from broker " << hostname;
}

void MqttClient::onStateChanged(ClientState state)
{
    switch (state) {
    case Connecting:
        qDebug().noquote().nospace() << "[MqttClient] State is Connecting.";
        connectionTimer->start(retryMillis);
        break;
    case Connected:
        qDebug().noquote().nospace() << "[MqttClient] State is Connected.";
        connectionTimer->stop();
        break;
    case Disconnected:
        qDebug().noquote().nospace() << "[MqttClient] State is Disconnected.";
        reconnectTimer->start(retryMillis);
        break;
    }
}

void MqttClient::onTimeout()
{
    if (client)
        client->closeTransport();
}

void MqttClient::onReconnect()
{
    if (state() == Disconnected)
        connect();
}

void MqttClient::onReceived(const QByteArray &message, const QByteArray &topic)
{
    if (debugEnabled())
        qDebug().noquote().nospace() << "[MqttClient] Received on topic: " << QString::fromUtf8(topic) << "\n"
                                     << Logger::payload(message);
    emit received(message, topic);
}

void MqttClient::onError(ClientError error)
{
    if (error == NoError)
        return;
    {
        auto line = qWarning().noquote().nospace();
        line << "[MqttClient] ";
        switch (error) {
        case InvalidProtocolVersion:
            line << "Invalid protocol version: " << client->protocolVersion()
                 << ". Broker does not accept a connection using the specified protocol version.";
            break;
        case IdRejected:
            line << "Id rejected: " << client->settings.clientId
                 << ". The client ID is malformed. This might be related to its length.";
            break;
        case ServerUnavailable:
            line << "Server unavailable: " << client->settings.hostname << ":" << client->settings.port
                 << ". The network connection has been established, but the service is unavailable on the "
                    "broker "
                    "side.";
            break;
        case BadUsernameOrPassword:
            line << "Bad username or password. The data in the username or password is malformed.";
            break;
        case NotAuthorized:
            line << "Not authorized: " << client->settings.clientId
                 << ". The client is not authorized to connect.";
            break;
        case TransportInvalid:
            line << "Transport invalid: The underlying transport caused an error. For example, the "
                    "connection might "
                    "have been interrupted unexpectedly.";
            break;
        case ProtocolViolation:
            line << "Protocol violation:"
                 << "The client encountered a protocol violation, and therefore closed the connection.";
            break;
        default:
            line << "Unknown error.";
            break;
        }
    } // the line is written here, before the signal
    emit this->error(QStringLiteral("Mqtt client error"));
}

} // namespace manager
