#pragma once

// The controller under test with its real proxies, a real broker and a test peer
// playing the device services, in a temporary working directory.

#include "BrokerFixture.h"
#include "Common/Config.h"
#include "Defaults.h"
#include "GUIManager.h"
#include "Resources.h"
#include "TestPeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QQmlContext>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

// Records every message that passes the logger's filter, so tests can check
// what the process reported and in which order.
class LogCapture
{
public:
    LogCapture()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }

    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    int count(const QString &text) const { return lines().filter(text).size(); }
    bool contains(const QString &text) const { return count(text) > 0; }
    // Index of the first line holding text, -1 when there is none.
    int indexOf(const QString &text) const
    {
        const QStringList all = lines();
        for (int i = 0; i < all.size(); ++i) {
            if (all.at(i).contains(text))
                return i;
        }
        return -1;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (LogCapture *self = s_current) {
            QMutexLocker lock(&self->m_mutex);
            self->m_lines.append(message);
        }
        if (qEnvironmentVariableIsSet("TALLYPORT_TEST_LOG"))
            fprintf(stderr, "%s\n", qPrintable(message));
        if (type == QtFatalMsg) {
            Q_UNUSED(context);
            abort();
        }
    }

    static inline LogCapture *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
};

class ControllerHarness
{
public:
    // Status messages of the validator service for each idle state. With
    // readersOn the card and barcode readers report themselves enabled.
    static QByteArray validatorStatus(const QString &kind, bool readersOn = false)
    {
        QJsonObject device {
            {QStringLiteral("rfid"),
             QJsonObject {{QStringLiteral("active"), true}, {QStringLiteral("state"), readersOn ? 2 : 1}}},
            {QStringLiteral("barcode"), QJsonObject {{QStringLiteral("enabled"), readersOn}}}};
        QJsonObject state {{QStringLiteral("hasRfid"), true},
                           {QStringLiteral("hasRoute"), true},
                           {QStringLiteral("hasQr"), true},
                           {QStringLiteral("hasObu"), true}};
        bool service = true;
        if (kind == QLatin1String("init"))
            state[QStringLiteral("init")] = true;
        else if (kind == QLatin1String("out-of-service"))
            state[QStringLiteral("hasRoute")] = false;
        else if (kind == QLatin1String("degraded"))
            state[QStringLiteral("hasQr")] = false;
        else if (kind == QLatin1String("offline"))
            service = false;
        const QJsonObject status {{QStringLiteral("service"), service},
                                  {QStringLiteral("device"), device},
                                  {QStringLiteral("state"), state}};
        return QJsonDocument(status).toJson(QJsonDocument::Compact);
    }

    explicit ControllerHarness(BrokerFixture &broker, const QVariantMap &settings = {},
                               bool withDeviceId = true)
        : m_broker(broker)
    {
        QVERIFY(m_dir.isValid());
        tallyport::initResources();
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/events.ini"));

        if (withDeviceId) {
            QFile id(deviceIdPath());
            QVERIFY(id.open(QIODevice::WriteOnly));
            id.write("K12345678\n");
        }

        QVariantMap overrides {{QStringLiteral("mqtt/host"), broker.host()},
                               {QStringLiteral("mqtt/port"), broker.port()},
                               {QStringLiteral("log/syslog"), false},
                               {QStringLiteral("log/stderr"), false},
                               {QStringLiteral("log/level"), 3},
                               {QStringLiteral("gui/deviceId"), deviceIdPath()}};
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            overrides.insert(it.key(), it.value());
        // Written to the file rather than given as overrides, so that later
        // changes through the store are read back as on the device.
        m_config = std::make_unique<Config>(QStringLiteral("gui.conf"), tallyport::defaultSettings());
        for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
            m_config->set(it.key(), it.value());

        QVERIFY(m_peer.connectTo(broker.port()));
        QVERIFY(m_peer.subscribe(QStringLiteral("#")));

        m_manager = std::make_unique<GUIManager>(*m_config);
        m_log = std::make_unique<LogCapture>();
        m_manager->setDisplayOffUnit(std::chrono::milliseconds(200));
    }

    ~ControllerHarness()
    {
        m_log.reset();
        m_manager.reset();
        m_config.reset();
        QDir::setCurrent(m_previousDir);
    }

    // Waits for the controller's presence on the broker (its configuration is
    // published on every connection).
    bool waitConnected(int atLeast = 1)
    {
        return m_peer.waitFor(QStringLiteral("vorn/ui/config"), 10000, atLeast);
    }

    // Publishes as a service and waits until the controller has handled it: the
    // broker keeps the order of one publisher, so an answered info request
    // proves everything before it was delivered.
    void send(const QString &topic, const QByteArray &payload)
    {
        QVERIFY(m_peer.publish(topic, payload));
        sync();
    }
    void sync()
    {
        const int before = m_peer.count(QStringLiteral("vorn/ui/info"));
        QVERIFY(m_peer.publish(QStringLiteral("vorn/ui/info/get"), QByteArray()));
        QVERIFY(m_peer.waitFor(QStringLiteral("vorn/ui/info"), 5000, before + 1));
    }

    void setValidator(const QString &kind, bool readersOn = false)
    {
        send(QStringLiteral("vorn/blm/status"), validatorStatus(kind, readersOn));
    }

    QVariantMap transaction() const
    {
        return m_manager->engine().rootContext()->contextProperty(QStringLiteral("transaction")).toMap();
    }

    QString deviceIdPath() const { return m_dir.filePath(QStringLiteral("serialnumber")); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    GUIManager &manager() { return *m_manager; }
    Config &config() { return *m_config; }
    TestPeer &peer() { return m_peer; }
    LogCapture &log() { return *m_log; }
    BrokerFixture &broker() { return m_broker; }

private:
    BrokerFixture &m_broker;
    QTemporaryDir m_dir;
    QString m_previousDir;
    TestPeer m_peer;
    std::unique_ptr<Config> m_config;
    std::unique_ptr<GUIManager> m_manager;
    std::unique_ptr<LogCapture> m_log;
};
