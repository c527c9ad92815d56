// Fault soaks of the UI process: the real executable, a real mosquitto on
// loopback, and the faults of the field. Each prints its figures and exits
// non-zero when a cycle did not recover, a file was left corrupt or empty, or
// memory kept climbing.
//
//   bench_soak broker   [cycles=100] [limit ms=3500]
//       SIGKILL the broker, start it again after 0.5 to 5 s; per cycle the time
//       from the broker being back to the process answering on its renewed
//       subscriptions (min, median, max; each must stay within the limit: the
//       3 s retry plus slack).
//   bench_soak flood    [messages=100000] [mixed seconds=1800] [growth kB=10240]
//       full-speed floods on the validator status topic and on a topic nobody
//       handles, then hostile payloads on every subscribed topic; RSS and the
//       time "/status/get" takes to be answered, during and after.
//   bench_soak powercut [kills per file=200] [start limit ms=10000]
//       SIGKILL at random moments while the configuration file, "events.ini"
//       and the device-id file are being saved; after each kill the file must
//       parse, hold the old or the new content, and the process start again.
//
// The process runs with the software Qt Quick renderer on the offscreen
// platform, so no display is needed. The suite runs each with a few cycles and
// wide limits, so that a regression shows without the machine's load failing it.

#include "Common/Config.h"
#include "Common/MqttClient.h"
#include "Defaults.h"
#include "GUIManager.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <signal.h>

namespace {

QRandomGenerator &rng()
{
    static QRandomGenerator generator(quint32(QDateTime::currentMSecsSinceEpoch()));
    return generator;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void pause(int ms)
{
    waitUntil([] { return false; }, ms);
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool acceptsTcp(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(100);
}

class Broker
{
public:
    Broker() : m_port(freePort())
    {
        QFile conf(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        conf.open(QIODevice::WriteOnly);
        conf.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\nset_tcp_nodelay true\n"
                                  "max_queued_messages 100000\n")
                       .arg(m_port)
                       .toUtf8());
    }
    ~Broker() { kill(); }

    bool start()
    {
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("mosquitto"),
                        {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
        if (!m_process.waitForStarted(5000))
            return false;
        return waitUntil([this] { return acceptsTcp(m_port); }, 10000);
    }
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    quint16 port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    quint16 m_port;
    QProcess m_process;
};

// An MQTT client of the soak itself, counting what it receives per topic.
class Peer : public QObject
{
public:
    explicit Peer(quint16 port, const QString &filter = {})
    {
        m_client.setHostname(QStringLiteral("127.0.0.1"));
        m_client.setPort(port);
        m_client.setRetryMillis(50);
        m_client.setClientId(QStringLiteral("soak-%1").arg(rng().generate()));
        connect(&m_client, &manager::MqttClient::received, this,
                [this](const QByteArray &data, const QByteArray &topic) {
                    const QString name = QString::fromUtf8(topic);
                    ++m_counts[name];
                    m_last[name] = data;
                });
        connect(&m_client, &manager::MqttClient::connected, this, [this] { m_connected = true; });
        connect(&m_client, &manager::MqttClient::disconnected, this, [this] { m_connected = false; });
        if (!filter.isEmpty())
            m_client.subscribe(filter);
        m_client.connect();
    }

    bool waitConnected(int ms = 10000)
    {
        return waitUntil([this] { return m_connected; }, ms);
    }
    bool connected() const { return m_connected; }
    bool publish(const QString &topic, const QByteArray &payload) { return m_client.publish(payload, topic); }
    int count(const QString &topic) const { return m_counts.value(topic); }
    QByteArray last(const QString &topic) const { return m_last.value(topic); }

    // Sends a request and waits for the answer; -1 when none came in time.
    qint64 roundTrip(const QString &request, const QString &answer, int timeoutMs)
    {
        const int before = count(answer);
        QElapsedTimer timer;
        timer.start();
        if (!publish(request, "{}"))
            return -1;
        if (!waitUntil([&] { return count(answer) > before; }, timeoutMs))
            return -1;
        return timer.elapsed();
    }

private:
    manager::MqttClient m_client;
    bool m_connected = false;
    QHash<QString, int> m_counts;
    QHash<QString, QByteArray> m_last;
};

// The UI process, copied into its own directory so that "events.ini" (kept
// beside the executable) lands there too.
class Ui
{
public:
    explicit Ui(quint16 port) : m_port(port)
    {
        const QString exe = m_dir.filePath(QStringLiteral("tallyport"));
        QFile::copy(QStringLiteral(TALLYPORT_EXECUTABLE), exe);
        QFile serial(path(QStringLiteral("serialnumber")));
        serial.open(QIODevice::WriteOnly);
        serial.write("K20261210\n");
        QFile conf(configPath());
        conf.open(QIODevice::WriteOnly);
        conf.write(QStringLiteral("[gui]\ndeviceId=%1\n\n[log]\nsyslog=false\nstderr=false\n")
                       .arg(path(QStringLiteral("serialnumber")))
                       .toUtf8());
    }
    ~Ui() { kill(); }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString configPath() const { return path(QStringLiteral("gui.conf")); }

    bool start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        env.insert(QStringLiteral("QML2_IMPORT_PATH"),
                   QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
        env.insert(QStringLiteral("PATH"),
                   QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:")
                       + env.value(QStringLiteral("PATH")));
        // Under AddressSanitizer freed memory is held back (256 MiB by default)
        // and would read as growth: keep that small so RSS tells about the process.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   (asan.isEmpty() ? QString() : asan + QLatin1Char(':'))
                       + QStringLiteral("quarantine_size_mb=8"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(path(QStringLiteral("ui.log")), QIODevice::Append);
        // Command-line overrides: remote configuration can never move the
        // process off the soak's broker.
        m_process.start(path(QStringLiteral("tallyport")),
                        {QStringLiteral("-f"), configPath(), QStringLiteral("-H"),
                         QStringLiteral("127.0.0.1"), QStringLiteral("-P"), QString::number(m_port)});
        return m_process.waitForStarted(10000);
    }
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished(5000);
        }
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    int exitCode() const { return m_process.exitCode(); }

    qint64 rssKb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        return -1;
    }

private:
    QTemporaryDir m_dir;
    quint16 m_port;
    QProcess m_process;
};

// Started and connected: the process publishes its configuration on every
// connection. Returns the milliseconds it took, -1 on failure.
qint64 startUi(Ui &ui, Peer &peer, int timeoutMs = 40000)
{
    const int before = peer.count(QStringLiteral("vorn/ui/config"));
    QElapsedTimer timer;
    timer.start();
    if (!ui.start())
        return -1;
    if (!waitUntil([&] { return peer.count(QStringLiteral("vorn/ui/config")) > before || !ui.running(); },
                   timeoutMs)
        || !ui.running())
        return -1;
    return timer.elapsed();
}

struct Figures
{
    QVector<qint64> values;
    void add(qint64 v) { values.append(v); }
    QString summary() const
    {
        if (values.isEmpty())
            return QStringLiteral("none");
        QVector<qint64> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return QStringLiteral("min %1 median %2 max %3")
            .arg(sorted.first())
            .arg(sorted.at(sorted.size() / 2))
            .arg(sorted.last());
    }
};

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------

int soakBroker(int cycles, int limitMs)
{
    Broker broker;
    if (!broker.start())
        return print(QStringLiteral("broker: mosquitto did not start")), 2;
    Peer peer(broker.port(), QStringLiteral("vorn/ui/#"));
    Ui ui(broker.port());
    if (!peer.waitConnected() || startUi(ui, peer) < 0)
        return print(QStringLiteral("broker: the process did not connect")), 2;

    Figures recovery;
    int unrecovered = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        broker.kill();
        pause(500 + int(rng().bounded(4500)));
        if (!broker.start())
            return print(QStringLiteral("broker: mosquitto did not restart")), 2;
        QElapsedTimer back;
        back.start();
        // Recovered once an info request sent now is answered: the process is
        // connected, its info republished and its subscriptions renewed.
        bool answered = false;
        while (back.elapsed() < 10000 && !answered) {
            if (peer.connected()
                && peer.roundTrip(QStringLiteral("vorn/ui/info/get"), QStringLiteral("vorn/ui/info"), 100)
                    >= 0)
                answered = true;
            else
                pause(20);
        }
        const qint64 ms = back.elapsed();
        if (!answered || ms > limitMs)
            ++unrecovered;
        if (answered)
            recovery.add(ms);
        print(QStringLiteral("broker: cycle %1 recovered in %2 ms").arg(cycle + 1).arg(answered ? ms : -1));
        if (!ui.running())
            return print(QStringLiteral("broker: the process died")), 1;
    }
    print(QStringLiteral("broker: %1 cycles, recovery ms %2, unrecovered (none or over %3 ms) %4")
              .arg(cycles)
              .arg(recovery.summary())
              .arg(limitMs)
              .arg(unrecovered));
    return unrecovered == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------

const QStringList c_subscribed = {QStringLiteral("vorn/ui/info/get"),
                                  QStringLiteral("vorn/ui/status/get"),
                                  QStringLiteral("vorn/ui/config/get"),
                                  QStringLiteral("vorn/ui/config/set"),
                                  QStringLiteral("vorn/blm/info"),
                                  QStringLiteral("vorn/blm/status"),
                                  QStringLiteral("vorn/blm/config"),
                                  QStringLiteral("vorn/blm/rfid/retry"),
                                  QStringLiteral("vorn/blm/rfid/removed"),
                                  QStringLiteral("vorn/blm/rfid/scanned"),
                                  QStringLiteral("vorn/blm/barcode/scanned"),
                                  QStringLiteral("vorn/blm/barcode/maintenance/scanned"),
                                  QStringLiteral("vorn/rfid/card/found"),
                                  QStringLiteral("vorn/rfid/card/removed"),
                                  QStringLiteral("vorn/board/info"),
                                  QStringLiteral("vorn/board/status"),
                                  QStringLiteral("vorn/board/config"),
                                  QStringLiteral("vorn/board/display"),
                                  QStringLiteral("vorn/board/power"),
                                  QStringLiteral("vorn/board/event"),
                                  QStringLiteral("vorn/board/audio"),
                                  QStringLiteral("vorn/inspector/info"),
                                  QStringLiteral("vorn/inspector/status"),
                                  QStringLiteral("vorn/inspector/audio"),
                                  QStringLiteral("vorn/inspector/stats/cpu"),
                                  QStringLiteral("vorn/inspector/stats/memory"),
                                  QStringLiteral("vorn/inspector/stats/disk"),
                                  QStringLiteral("vorn/network/info"),
                                  QStringLiteral("vorn/network/status"),
                                  QStringLiteral("vorn/network/ethernet/state"),
                                  QStringLiteral("vorn/network/ethernet/config"),
                                  QStringLiteral("vorn/device/status"),
                                  QStringLiteral("vorn/device/update/software/status"),
                                  QStringLiteral("vorn/device/update/software/progress"),
                                  QStringLiteral("vorn/device/clock/ntp/status"),
                                  QStringLiteral("vorn/device/clock/ntp/config")};

// Values of every JSON type and of hostile sizes, at random depth.
QJsonValue hostileValue(int depth)
{
    switch (rng().bounded(depth > 3 ? 8 : 10)) {
    case 0:
        return QJsonValue();
    case 1:
        return rng().bounded(2) == 1;
    case 2:
        return double(qint64(rng().generate64()));
    case 3:
        return (rng().bounded(2) ? -1.0 : 1.0) * double(rng().bounded(100000)) / 7.0;
    case 4:
        return QStringLiteral("%1").arg(rng().generate());
    case 5:
        return QString(int(rng().bounded(20000)), QChar(0x30 + int(rng().bounded(0x2000))));
    case 6:
        return QStringLiteral("\n\t\"\\\x01%%1 ' ; rm -rf /");
    case 7:
        return 1e308 * (rng().bounded(2) ? 10.0 : -10.0);
    case 8: {
        QJsonObject object;
        const int n = int(rng().bounded(6));
        static const QStringList names
            = {QStringLiteral("service"),   QStringLiteral("device"),  QStringLiteral("state"),
               QStringLiteral("result"),    QStringLiteral("type"),    QStringLiteral("card"),
               QStringLiteral("data"),      QStringLiteral("name"),    QStringLiteral("gui"),
               QStringLiteral("sams"),      QStringLiteral("network"), QStringLiteral("eth0"),
               QStringLiteral("validator"), QStringLiteral("obc"),     QStringLiteral("topics")};
        for (int i = 0; i < n; ++i)
            object.insert(names.at(int(rng().bounded(names.size()))), hostileValue(depth + 1));
        return object;
    }
    default: {
        QJsonArray array;
        const int n = int(rng().bounded(5));
        for (int i = 0; i < n; ++i)
            array.append(hostileValue(depth + 1));
        return array;
    }
    }
}

QByteArray hostilePayload(const QString &topic)
{
    const int kind = int(rng().bounded(10));
    if (kind == 0)
        return {};
    if (kind == 1) {
        QByteArray bytes(int(rng().bounded(4096)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(rng().bounded(256));
        return bytes;
    }
    QJsonObject object = hostileValue(3).isObject() ? hostileValue(3).toObject() : QJsonObject();
    for (int i = 0; i < 4; ++i)
        object.insert(QStringLiteral("k%1").arg(i), hostileValue(0));
    // Remote configuration gets hostile values too, but never in the log or
    // mqtt sections: the soak must keep the process quiet and on its broker.
    if (topic.endsWith(QLatin1String("/config/set"))) {
        object.remove(QStringLiteral("log"));
        object.remove(QStringLiteral("mqtt"));
    }
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    if (kind == 2)
        json.truncate(int(rng().bounded(uint(json.size() + 1))));
    return json;
}

int soakFlood(int messages, int mixedSeconds, int growthKb)
{
    Broker broker;
    if (!broker.start())
        return print(QStringLiteral("flood: mosquitto did not start")), 2;
    Peer prober(broker.port(), QStringLiteral("vorn/ui/#"));
    Peer flooder(broker.port());
    Ui ui(broker.port());
    if (!prober.waitConnected() || !flooder.waitConnected() || startUi(ui, prober) < 0)
        return print(QStringLiteral("flood: the process did not connect")), 2;
    pause(2000);

    qint64 peak = ui.rssKb();
    const qint64 start = peak;
    const auto statusGet = [&] {
        return prober.roundTrip(QStringLiteral("vorn/ui/status/get"), QStringLiteral("vorn/ui/status"),
                                30000);
    };
    Figures idle;
    for (int i = 0; i < 5; ++i)
        idle.add(statusGet());
    print(QStringLiteral("flood: start RSS %1 kB, /status/get ms %2").arg(start).arg(idle.summary()));

    int failures = 0;
    const QByteArray status
        = QJsonDocument(QJsonObject {{QStringLiteral("service"), true}}).toJson(QJsonDocument::Compact);
    for (const QString &topic :
         {QStringLiteral("vorn/blm/status"), QStringLiteral("vorn/nobody/handles/this")}) {
        Figures during;
        QElapsedTimer timer;
        timer.start();
        const int probeEvery = std::max(1, std::min(5000, messages / 4));
        for (int i = 0; i < messages; ++i) {
            flooder.publish(topic, status);
            if (i % probeEvery == probeEvery - 1) {
                QCoreApplication::processEvents();
                const qint64 ms = statusGet();
                during.add(ms);
                failures += ms < 0;
                peak = std::max(peak, ui.rssKb());
            }
        }
        const qint64 sent = timer.elapsed();
        Figures after;
        pause(1000);
        for (int i = 0; i < 5; ++i)
            after.add(statusGet());
        peak = std::max(peak, ui.rssKb());
        print(QStringLiteral(
                  "flood: %1 messages on %2 sent in %3 ms; /status/get ms during %4, after %5; RSS %6 kB")
                  .arg(messages)
                  .arg(topic)
                  .arg(sent)
                  .arg(during.summary(), after.summary())
                  .arg(ui.rssKb()));
    }
    if (!ui.running())
        return print(QStringLiteral("flood: the process died")), 1;

    // SOAK_TOPICS (prefixes, comma-separated) narrows the hostile phase down
    // to some services, to find which one holds on to memory.
    QStringList topics;
    const QStringList prefixes
        = qEnvironmentVariable("SOAK_TOPICS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &topic : c_subscribed)
        if (prefixes.isEmpty() || std::any_of(prefixes.cbegin(), prefixes.cend(), [&](const QString &p) {
                return topic.startsWith(p);
            }))
            topics << topic;
    if (topics.isEmpty())
        return print(QStringLiteral("flood: SOAK_TOPICS matches no subscribed topic")), 2;

    // Warm-up is over: from here on memory must stay flat.
    const qint64 warm = ui.rssKb();
    QVector<qint64> samples;
    Figures during;
    QElapsedTimer mixed;
    mixed.start();
    qint64 sent = 0;
    qint64 nextSample = 0;
    while (mixed.elapsed() < qint64(mixedSeconds) * 1000 && ui.running()) {
        for (int i = 0; i < 200; ++i) {
            const QString topic = topics.at(int(rng().bounded(topics.size())));
            flooder.publish(topic, hostilePayload(topic));
            ++sent;
        }
        QCoreApplication::processEvents();
        if (mixed.elapsed() >= nextSample) {
            nextSample += std::max(1000, mixedSeconds * 1000 / 60);
            const qint64 ms = statusGet();
            during.add(ms);
            failures += ms < 0;
            samples.append(ui.rssKb());
            peak = std::max(peak, samples.last());
        }
    }
    if (!ui.running()) {
        print(QStringLiteral("flood: the process died during hostile payloads (exit %1); see its log")
                  .arg(ui.exitCode()));
        return 1;
    }
    pause(1000);
    Figures after;
    for (int i = 0; i < 5; ++i)
        after.add(statusGet());
    const qint64 final = ui.rssKb();
    // Flat: the last third of the samples stays within a few MB of the first.
    const int third = std::max(1, samples.size() / 3);
    const auto average = [&](int from, int count) {
        qint64 sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += samples.at(i);
        return sum / count;
    };
    const qint64 early = average(0, third);
    const qint64 late = average(samples.size() - third, third);
    const qint64 growth = late - early;
    const bool flat = growth < growthKb;
    print(
        QStringLiteral("flood: %1 hostile messages in %2 s on %3 topics; /status/get ms during %4, after %5")
            .arg(sent)
            .arg(mixed.elapsed() / 1000)
            .arg(topics.size())
            .arg(during.summary(), after.summary()));
    print(QStringLiteral(
              "flood: RSS kB start %1, after warm-up %2, peak %3, final %4; mixed phase first third %5, "
              "last third %6 (growth %7 kB, %8); unanswered /status/get %9")
              .arg(start)
              .arg(warm)
              .arg(peak)
              .arg(final)
              .arg(early)
              .arg(late)
              .arg(growth)
              .arg(flat ? QStringLiteral("flat") : QStringLiteral("CLIMBING"))
              .arg(failures));
    return flat && failures == 0 ? 0 : 1;
}

// ---------------------------------------------------------------------------

// Reads a settings file the way the process does, from a copy so that no
// cache and no lock of ours gets in the way. Empty map when it does not parse.
QVariantMap readSettings(const QString &path, bool *ok)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    QFile::copy(path, copy);
    QSettings settings(copy, QSettings::IniFormat);
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    *ok = settings.status() == QSettings::NoError && QFileInfo(path).size() > 0;
    return values;
}

struct Leftovers
{
    int locks = 0;
    int temporaries = 0;
};

// What a save cut short leaves beside the file: its lock and "<file>.XXXXXX".
Leftovers leftovers(const QString &dir, const QString &name)
{
    Leftovers found;
    const QRegularExpression temporary(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(name)));
    for (const QString &entry : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        if (entry == name + QStringLiteral(".lock"))
            ++found.locks;
        else if (temporary.match(entry).hasMatch())
            ++found.temporaries;
    }
    return found;
}

// A start slower than this counts as stalled (a stale lock waits 30 s).
int s_startLimitMs = 10000;

struct KillCounts
{
    int kills = 0;
    int corrupt = 0; // does not parse, empty, truncated
    int wrongContent = 0; // neither the old nor the new content
    int failedStarts = 0;
    int slowStarts = 0; // over the limit: something stalled the start
    int locksLeft = 0; // found after a kill
    int temporariesLeft = 0; // found after a kill
    int temporariesKept = 0; // still there once the process had started again
    Figures startMs;
    QString line(const QString &file) const
    {
        return QStringLiteral(
                   "powercut: %1: %2 kills, %3 corrupt or empty, %4 neither old nor new, %5 failed starts, "
                   "%6 starts over %11 ms; left by kills: %7 locks, %8 temporaries (%9 still there after the "
                   "next start); "
                   "start ms %10")
            .arg(file)
            .arg(kills)
            .arg(corrupt)
            .arg(wrongContent)
            .arg(failedStarts)
            .arg(slowStarts)
            .arg(locksLeft)
            .arg(temporariesLeft)
            .arg(temporariesKept)
            .arg(startMs.summary())
            .arg(s_startLimitMs);
    }
    bool clean() const { return corrupt + wrongContent + failedStarts + slowStarts + temporariesKept == 0; }
    void countLeft(const QString &file)
    {
        const Leftovers found = leftovers(QFileInfo(file).absolutePath(), QFileInfo(file).fileName());
        locksLeft += found.locks;
        temporariesLeft += found.temporaries;
    }
    void countKept(const QString &file)
    {
        temporariesKept += leftovers(QFileInfo(file).absolutePath(), QFileInfo(file).fileName()).temporaries;
    }
};

void restart(Ui &ui, Peer &peer, KillCounts &counts)
{
    // Late deliveries of the killed process must not count as the new one's.
    pause(150);
    const qint64 ms = startUi(ui, peer);
    if (ms < 0) {
        ++counts.failedStarts;
        ui.kill();
        startUi(ui, peer);
        return;
    }
    counts.startMs.add(ms);
    if (ms > s_startLimitMs)
        ++counts.slowStarts;
}

KillCounts powercutConfig(Broker &broker, int kills)
{
    KillCounts counts;
    Peer peer(broker.port(), QStringLiteral("vorn/ui/#"));
    Ui ui(broker.port());
    peer.waitConnected();
    restart(ui, peer, counts);
    int value = 100;
    const int keys = tallyport::defaultSettings().size();
    for (int k = 0; k < kills; ++k) {
        // The confirmed value is the one last published back; everything sent
        // after it may or may not have reached the file.
        bool ok = false;
        const int confirmed
            = readSettings(ui.configPath(), &ok).value(QStringLiteral("gui/displayOffMin")).toInt();
        QElapsedTimer burst;
        burst.start();
        const int killAt = int(rng().bounded(400));
        while (burst.elapsed() < killAt) {
            const QJsonObject set {
                {QStringLiteral("gui"), QJsonObject {{QStringLiteral("displayOffMin"), ++value}}}};
            peer.publish(QStringLiteral("vorn/ui/config/set"),
                         QJsonDocument(set).toJson(QJsonDocument::Compact));
            pause(int(rng().bounded(15)));
        }
        ui.kill();
        ++counts.kills;
        counts.countLeft(ui.configPath());
        const QVariantMap values = readSettings(ui.configPath(), &ok);
        const int now = values.value(QStringLiteral("gui/displayOffMin")).toInt();
        if (!ok || values.size() < keys)
            ++counts.corrupt;
        else if (now < confirmed || now > value)
            ++counts.wrongContent;
        restart(ui, peer, counts);
        counts.countKept(ui.configPath());
    }
    return counts;
}

KillCounts powercutEvents(Broker &broker, int kills)
{
    KillCounts counts;
    Peer peer(broker.port(), QStringLiteral("vorn/ui/#"));
    Ui ui(broker.port());
    peer.waitConnected();
    restart(ui, peer, counts);
    int previous = 0;
    bool on = false;
    for (int k = 0; k < kills; ++k) {
        QElapsedTimer burst;
        burst.start();
        const int killAt = int(rng().bounded(400));
        int sent = 0;
        while (burst.elapsed() < killAt) {
            on = !on;
            peer.publish(QStringLiteral("vorn/board/event"),
                         on ? QByteArray(R"({"name": "IgnitionChanged", "data": 1})")
                            : QByteArray(R"({"name": "IgnitionChanged", "data": 0})"));
            ++sent;
            pause(int(rng().bounded(15)));
        }
        ui.kill();
        ++counts.kills;
        const QString path = QFileInfo(ui.configPath()).absolutePath() + QStringLiteral("/events.ini");
        counts.countLeft(path);
        bool ok = false;
        const QVariantMap values = readSettings(path, &ok);
        const int size = values.value(QStringLiteral("events/size")).toInt();
        bool complete = size > 0;
        for (int i = 1; i <= size && complete; ++i)
            complete = !values.value(QStringLiteral("events/%1/name").arg(i)).toString().isEmpty()
                && values.value(QStringLiteral("events/%1/timestamp").arg(i)).toDateTime().isValid();
        // Old content: at least the entries of the last check (the log keeps
        // its newest thousand); new: at most one more per event sent and the
        // start's own entry.
        if (!ok || !complete)
            ++counts.corrupt;
        else if (size < std::min(previous, 1000)
                 || (previous > 0 && size > previous + sent + 1 && size <= 1000))
            ++counts.wrongContent;
        previous = size;
        restart(ui, peer, counts);
        counts.countKept(path);
    }
    return counts;
}

// The device-id file is saved only from the maintenance screens, so a child
// (this program again) drives the controller's own save in a loop and reports
// each number once it is stored.
int deviceIdWriter(const QString &dir)
{
    tallyport::initResources();
    Config config(QDir(dir).filePath(QStringLiteral("gui.conf")), tallyport::defaultSettings());
    config.addOverrides({{QStringLiteral("gui/deviceId"), QDir(dir).filePath(QStringLiteral("serialnumber"))},
                         {QStringLiteral("mqtt/host"), QStringLiteral("127.0.0.1")},
                         {QStringLiteral("mqtt/port"), 1},
                         {QStringLiteral("log/syslog"), false},
                         {QStringLiteral("log/stderr"), false}});
    GUIManager manager(config);
    std::printf("ready %s\n", qPrintable(manager.property("deviceId").toString()));
    std::fflush(stdout);
    // Saves begin only once the driver has looked for leftovers of the last
    // kill: a temporary of this process's own first save is none.
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) { }
    for (quint32 n = rng().bounded(1000000u);; ++n) {
        const QString id = QStringLiteral("K%1").arg(n % 100000000u, 8, 10, QLatin1Char('0'));
        std::printf("saving %s\n", qPrintable(id));
        std::fflush(stdout);
        manager.saveDeviceIdRequest(id);
        std::printf("saved %s\n", qPrintable(id));
        std::fflush(stdout);
    }
}

KillCounts powercutDeviceId(int kills)
{
    KillCounts counts;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("serialnumber"));
    QFile initial(file);
    initial.open(QIODevice::WriteOnly);
    initial.write("K00000000");
    initial.close();
    QSet<QString> saved {QStringLiteral("K00000000")};
    for (int k = 0; k < kills; ++k) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("deviceid-writer"), dir.path()});
        QByteArray out;
        const bool ready = waitUntil(
            [&] {
                out += child.readAllStandardOutput();
                return out.contains("ready ") || child.state() == QProcess::NotRunning;
            },
            40000);
        counts.countKept(file);
        child.write("go\n");
        if (!ready || !out.contains("ready K")) {
            ++counts.failedStarts;
        } else {
            counts.startMs.add(timer.elapsed());
            if (timer.elapsed() > s_startLimitMs)
                ++counts.slowStarts;
        }
        pause(int(rng().bounded(200)));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(5000);
        out += child.readAllStandardOutput();
        // Old: any number saved before; new: the one being saved at the kill,
        // announced before its save began.
        for (const QByteArray &line : out.split('\n'))
            if (line.startsWith("saving "))
                saved.insert(QString::fromLatin1(line.mid(7)));
        ++counts.kills;
        counts.countLeft(file);
        QFile check(file);
        const QByteArray content = check.open(QIODevice::ReadOnly) ? check.readAll().trimmed() : QByteArray();
        if (content.size() != 9 || !content.startsWith('K'))
            ++counts.corrupt;
        else if (!saved.contains(QString::fromLatin1(content)))
            ++counts.wrongContent;
    }
    return counts;
}

int soakPowercut(int kills, int startLimitMs)
{
    s_startLimitMs = startLimitMs;
    Broker broker;
    if (!broker.start())
        return print(QStringLiteral("powercut: mosquitto did not start")), 2;
    const KillCounts config = powercutConfig(broker, kills);
    print(config.line(QStringLiteral("gui.conf")));
    const KillCounts events = powercutEvents(broker, kills);
    print(events.line(QStringLiteral("events.ini")));
    const KillCounts id = powercutDeviceId(kills);
    print(id.line(QStringLiteral("device id")));
    return config.clean() && events.clean() && id.clean() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == QLatin1String("deviceid-writer") && argc > 2) {
        QGuiApplication app(argc, argv);
        return deviceIdWriter(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    // The soak's own MQTT clients would fill the output with their payloads.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const auto number = [&](int index, int fallback) {
        return argc > index ? QString::fromLatin1(argv[index]).toInt() : fallback;
    };
    if (mode == QLatin1String("broker"))
        return soakBroker(number(2, 100), number(3, 3500));
    if (mode == QLatin1String("flood"))
        return soakFlood(number(2, 100000), number(3, 1800), number(4, 10240));
    if (mode == QLatin1String("powercut"))
        return soakPowercut(number(2, 200), number(3, 10000));
    std::fprintf(
        stderr,
        "usage: bench_soak broker [cycles] [limit ms] | flood [messages] [mixed seconds] [growth kB] | "
        "powercut [kills] [start limit ms]\n");
    return 2;
}
