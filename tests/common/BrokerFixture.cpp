#include "BrokerFixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

BrokerFixture::BrokerFixture(QString extraConfig) : m_extraConfig(std::move(extraConfig)) { }

BrokerFixture::~BrokerFixture()
{
    stop();
}

quint16 BrokerFixture::freePort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

bool BrokerFixture::waitForTcp(quint16 port, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(200)) {
            socket.disconnectFromHost();
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

QString BrokerFixture::writePasswordFile(const QString &user, const QString &password)
{
    const QString path = m_dir.filePath(QStringLiteral("passwords"));
    QFile::remove(path);
    QProcess tool;
    tool.start(QStringLiteral("mosquitto_passwd"),
               {QStringLiteral("-b"), QStringLiteral("-c"), path, user, password});
    tool.waitForFinished(10000);
    // A broker started as root reads the file after dropping to its own user.
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadGroup | QFile::ReadOther);
    return path;
}

bool BrokerFixture::start()
{
    if (isRunning())
        return true;
    const QString exe = QStandardPaths::findExecutable(
        QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (exe.isEmpty())
        qFatal("mosquitto not found: install the mosquitto package");

    // The port is chosen once; a port lost to another process between probing
    // and binding is replaced by a new one (only before the first start).
    const bool keepPort = m_port != 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!keepPort)
            m_port = freePort();
        const QString confPath = m_dir.filePath(QStringLiteral("mosquitto.conf"));
        QFile conf(confPath);
        conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
        conf.write(QStringLiteral("per_listener_settings false\nlistener %1 127.0.0.1\n%2\n%3\n")
                       .arg(m_port)
                       .arg(m_extraConfig.contains(QLatin1String("password_file"))
                                ? QString()
                                : QStringLiteral("allow_anonymous true"))
                       .arg(m_extraConfig)
                       .toUtf8());
        conf.close();

        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->setStandardOutputFile(m_dir.filePath(QStringLiteral("mosquitto.log")), QIODevice::Append);
        m_process->start(exe, {QStringLiteral("-c"), confPath});
        if (!m_process->waitForStarted(5000))
            continue;
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && m_process->state() == QProcess::Running) {
            if (waitForTcp(m_port, 100))
                return true;
        }
        stop();
        if (keepPort)
            QThread::msleep(200); // the old socket may linger briefly after a kill
    }
    return false;
}

void BrokerFixture::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    m_process.reset();
}

bool BrokerFixture::restart()
{
    stop();
    return start();
}

bool BrokerFixture::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

QString BrokerFixture::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.log")));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}
