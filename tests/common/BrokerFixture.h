#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A real mosquitto broker on a free loopback port, started from a generated
// configuration. Tests never talk to a mocked broker.
class BrokerFixture
{
public:
    // extraConfig is appended to the generated configuration (password_file, ...).
    explicit BrokerFixture(QString extraConfig = {});
    ~BrokerFixture();

    // Replaces the extra configuration from the next start() on, e.g. with a
    // password_file written by writePasswordFile() into dir().
    void setExtraConfig(const QString &extraConfig) { m_extraConfig = extraConfig; }

    // Starts the broker and waits until it accepts TCP. Keeps the port across
    // restarts, so clients reconnecting to the same address find it again.
    bool start();
    // Kills the broker abruptly (SIGKILL), as a crash or a pulled cable would.
    void stop();
    bool restart();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    QString dir() const { return m_dir.path(); }
    QString log() const;

    // Writes a mosquitto password file holding one user; returns its path.
    QString writePasswordFile(const QString &user, const QString &password);

    static quint16 freePort();
    static bool waitForTcp(quint16 port, int timeoutMs);

private:
    QTemporaryDir m_dir;
    QString m_extraConfig;
    quint16 m_port = 0;
    std::unique_ptr<QProcess> m_process;
};
