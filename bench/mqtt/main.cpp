// Publish-to-received latency and sustained receive throughput of
// manager::MqttClient in the Qt event loop, beside the floor: a plain
// libmosquitto client in a bare poll() loop doing the same work, through one
// real mosquitto on loopback started here.
//
//   bench_mqtt [latency messages per round] [rounds] [throughput messages]
//
// The broker runs with set_tcp_nodelay: with mosquitto's default, it holds
// each small message until the client's previous ACK arrives, and both
// clients then wait about one publish period for every message.

#include "Common/MqttClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <mosquitto.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the calling thread, in microseconds.
qint64 threadCpuUs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

QByteArray stampedPayload(int size)
{
    QByteArray payload(std::max<int>(size, int(sizeof(qint64))), 'x');
    const qint64 t = nowNs();
    std::memcpy(payload.data(), &t, sizeof t);
    return payload;
}

qint64 stampOf(const char *data)
{
    qint64 t = 0;
    std::memcpy(&t, data, sizeof t);
    return t;
}

struct Broker
{
    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;

    bool start()
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        port = probe.serverPort();
        probe.close();
        const QString conf = dir.filePath(QStringLiteral("mosquitto.conf"));
        QFile file(conf);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(
            QStringLiteral(
                "listener %1 127.0.0.1\nallow_anonymous true\nset_tcp_nodelay true\nmax_queued_messages 0\n")
                .arg(port)
                .toUtf8());
        file.close();
        const QString exe = QStandardPaths::findExecutable(
            QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (exe.isEmpty())
            return false;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(exe, {QStringLiteral("-c"), conf});
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    ~Broker()
    {
        process.kill();
        process.waitForFinished(3000);
    }
};

// The publisher of the throughput runs: plain libmosquitto, driven by the
// caller only while it fills a backlog.
struct Publisher
{
    mosquitto *mosq = nullptr;
    bool connected = false;
    int acked = 0;

    bool connect(quint16 port, const char *id)
    {
        mosq = mosquitto_new(id, true, this);
        mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_connect_callback_set(mosq, [](mosquitto *, void *self, int rc) {
            static_cast<Publisher *>(self)->connected = rc == 0;
        });
        mosquitto_publish_callback_set(
            mosq, [](mosquitto *, void *self, int mid) { static_cast<Publisher *>(self)->acked = mid; });
        if (mosquitto_connect(mosq, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS)
            return false;
        for (int i = 0; i < 100 && !connected; ++i)
            mosquitto_loop(mosq, 50, 1);
        return connected;
    }

    // Publishes count messages at QoS 0, then one at QoS 1 nobody receives:
    // once that is acknowledged, the broker has routed all the others.
    bool fill(const char *topic, int count, const QByteArray &payload)
    {
        for (int i = 0; i < count; ++i) {
            mosquitto_publish(mosq, nullptr, topic, payload.size(), payload.constData(), 0, false);
            while (mosquitto_want_write(mosq))
                mosquitto_loop(mosq, 10, 1);
        }
        int mid = 0;
        mosquitto_publish(mosq, &mid, "bench/marker", 0, nullptr, 1, false);
        for (int i = 0; i < 1000 && acked != mid; ++i)
            mosquitto_loop(mosq, 10, 1);
        return acked == mid;
    }

    ~Publisher()
    {
        if (mosq)
            mosquitto_destroy(mosq);
    }
};

// The floor: plain libmosquitto driven by a bare poll() loop on a thread of
// its own, doing what MqttClient does without the Qt event loop around it.
struct FloorClient
{
    mosquitto *mosq = nullptr;
    bool connected = false;
    int suback = 0;
    std::vector<qint64> latencies;
    int count = 0;
    qint64 first = 0;
    qint64 last = 0;
    QByteArray latencyTopic;
    qint64 cpuUs = 0;

    bool connect(quint16 port, const char *id, const char *filter)
    {
        mosq = mosquitto_new(id, true, this);
        mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_connect_callback_set(mosq, [](mosquitto *, void *self, int rc) {
            static_cast<FloorClient *>(self)->connected = rc == 0;
        });
        mosquitto_subscribe_callback_set(mosq, [](mosquitto *, void *self, int, int, const int *) {
            ++static_cast<FloorClient *>(self)->suback;
        });
        mosquitto_message_callback_set(mosq, [](mosquitto *, void *self, const mosquitto_message *m) {
            static_cast<FloorClient *>(self)->onMessage(m);
        });
        if (mosquitto_connect(mosq, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS)
            return false;
        pump([&] { return connected; }, 5000);
        if (!connected)
            return false;
        mosquitto_subscribe(mosq, nullptr, filter, 0);
        pump([&] { return suback > 0; }, 5000);
        return suback > 0;
    }

    // One turn: wait for the socket (at most until the deadline), then read
    // whatever whole packets are there and write what is queued.
    void turn(Clock::time_point deadline)
    {
        const int fd = mosquitto_socket(mosq);
        pollfd p {fd, short(POLLIN | (mosquitto_want_write(mosq) ? POLLOUT : 0)), 0};
        const auto wait = std::max<qint64>(
            0, std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count());
        const timespec ts {time_t(wait / 1000000000), long(wait % 1000000000)};
        if (ppoll(&p, 1, &ts, nullptr) <= 0)
            return;
        if (p.revents & (POLLIN | POLLERR | POLLHUP)) {
            int available = 0;
            do {
                mosquitto_loop_read(mosq, 1);
            } while (ioctl(fd, FIONREAD, &available) == 0 && available > 0);
        }
        if (p.revents & POLLOUT)
            mosquitto_loop_write(mosq, 1);
    }

    template<typename Done> void pump(Done done, int idleMs)
    {
        auto lastChange = Clock::now();
        int seen = count + int(latencies.size());
        while (!done() && Clock::now() - lastChange < std::chrono::milliseconds(idleMs)) {
            turn(Clock::now() + std::chrono::milliseconds(50));
            mosquitto_loop_misc(mosq);
            const int now = count + int(latencies.size());
            if (now != seen) {
                seen = now;
                lastChange = Clock::now();
            }
        }
    }

    // Publishes n stamped messages to itself, burst at a time every periodUs,
    // and keeps receiving until all are back.
    void runLatency(int n, int burst, int size, int periodUs)
    {
        const qint64 cpuStart = threadCpuUs();
        auto next = Clock::now();
        for (int i = 0; i < n;) {
            next += std::chrono::microseconds(periodUs);
            while (Clock::now() < next)
                turn(next);
            for (int b = 0; b < burst && i < n; ++b, ++i) {
                const QByteArray p = stampedPayload(size);
                mosquitto_publish(mosq, nullptr, latencyTopic.constData(), p.size(), p.constData(), 0, false);
            }
        }
        pump([&] { return int(latencies.size()) >= n; }, 3000);
        cpuUs += threadCpuUs() - cpuStart;
    }

    // Hands topic and payload on as byte arrays, as any Qt consumer needs
    // them beyond the callback: the same copy MqttClient makes.
    void onMessage(const mosquitto_message *m)
    {
        const QByteArray topic(m->topic);
        const QByteArray data(static_cast<const char *>(m->payload), m->payloadlen);
        const qint64 t = nowNs();
        if (topic == latencyTopic) {
            latencies.push_back(t - stampOf(data.constData()));
            return;
        }
        if (count++ == 0)
            first = t;
        last = t;
    }

    void reset()
    {
        latencies.clear();
        count = 0;
        first = 0;
        last = 0;
    }

    ~FloorClient()
    {
        if (mosq)
            mosquitto_destroy(mosq);
    }
};

// The client under test, with the same counters.
struct QtSide
{
    manager::MqttClient client;
    std::vector<qint64> latencies;
    int count = 0;
    qint64 first = 0;
    qint64 last = 0;
    QByteArray latencyTopic;

    void onReceived(const QByteArray &data, const QByteArray &topic)
    {
        const qint64 t = nowNs();
        if (topic == latencyTopic) {
            latencies.push_back(t - stampOf(data.constData()));
            return;
        }
        if (count++ == 0)
            first = t;
        last = t;
    }

    void reset()
    {
        latencies.clear();
        count = 0;
        first = 0;
        last = 0;
    }
};

// Runs the Qt event loop until done() holds or nothing changed for idleMs.
template<typename Done, typename Progress> void runUntil(Done done, Progress progress, int idleMs = 3000)
{
    QElapsedTimer idle;
    idle.start();
    QTimer wake; // bounds each blocking wait, so the idle check runs
    wake.start(50);
    auto seen = progress();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const auto now = progress();
        if (now != seen) {
            seen = now;
            idle.restart();
        } else if (idle.elapsed() > idleMs) {
            break;
        }
    }
}

struct Stats
{
    double p50 = 0, p99 = 0, p999 = 0, max = 0;
    size_t n = 0;
};

Stats percentiles(std::vector<qint64> v)
{
    Stats s;
    s.n = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) {
        return v[std::min(v.size() - 1, size_t(q * double(v.size())))] / 1000.0;
    };
    s.p50 = at(0.50);
    s.p99 = at(0.99);
    s.p999 = at(0.999);
    s.max = v.back() / 1000.0;
    return s;
}

void printLatency(const char *name, const Stats &s)
{
    std::printf("  %-26s n=%-6zu p50 %8.1f us   p99 %8.1f us   p99.9 %8.1f us   max %8.1f us\n", name, s.n,
                s.p50, s.p99, s.p999, s.max);
}

} // namespace

double rate(int count, qint64 first, qint64 last)
{
    return count > 1 && last > first ? (count - 1) * 1e9 / double(last - first) : 0.0;
}

double load1()
{
    double load = -1;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    return load;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Debug lines (payload dumps) are filtered as at the product's default
    // level; info lines are kept out of the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));
    const QStringList args = app.arguments();
    const int latencyCount = args.size() > 1 ? args.at(1).toInt() : 1000;
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 5;
    const int throughputCount = args.size() > 3 ? args.at(3).toInt() : 50000;
    const int latencyPayload = 64;
    const int latencyPeriodUs = 1000;

    mosquitto_lib_init();
    Broker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "bench_mqtt: could not start mosquitto\n");
        return 1;
    }

    QtSide qt;
    qt.latencyTopic = "bench/qt/lat";
    QObject::connect(&qt.client, &manager::MqttClient::received,
                     [&](const QByteArray &d, const QByteArray &t) { qt.onReceived(d, t); });
    qt.client.setPort(broker.port);
    qt.client.setClientId(QStringLiteral("bench-qt"));
    // The throughput runs hold this thread while the broker builds the
    // backlog; the product's 5 s would let the broker drop the client then.
    qt.client.setKeepAlive(60);
    qt.client.subscribe(QStringLiteral("bench/qt/#"));
    bool qtConnected = false;
    QObject::connect(&qt.client, &manager::MqttClient::connected, [&] { qtConnected = true; });
    qt.client.connect();

    FloorClient plain;
    plain.latencyTopic = "bench/plain/lat";
    Publisher publisher;
    if (!plain.connect(broker.port, "bench-plain", "bench/plain/#")
        || !publisher.connect(broker.port, "bench-publisher")) {
        std::fprintf(stderr, "bench_mqtt: plain clients could not connect\n");
        return 1;
    }
    runUntil([&] { return qtConnected; }, [] { return 0; }, 5000);
    if (!qtConnected) {
        std::fprintf(stderr, "bench_mqtt: MqttClient did not connect\n");
        return 1;
    }
    // The subscription is in place once our own message comes back.
    qt.client.publish("warm-up", QStringLiteral("bench/qt/warm"));
    runUntil([&] { return qt.count > 0; }, [&] { return qt.count; });

    std::printf("bench_mqtt: mosquitto 127.0.0.1:%u (set_tcp_nodelay true), %d rounds, load average %.2f\n",
                broker.port, rounds, load1());
    std::printf("publish-to-received latency: each client publishes %d-byte stamped messages to itself, a "
                "burst every %d us, %d per round, both clients at the same time:\n",
                latencyPayload, latencyPeriodUs, latencyCount);
    // Single messages, and bursts as the proxies send their requests on
    // every connection (where Nagle would hold back all but the first).
    for (const int burst : {1, 4}) {
        qint64 qtCpuUs = 0;
        plain.cpuUs = 0;
        std::vector<qint64> qtAll;
        std::vector<qint64> plainAll;
        for (int round = 0; latencyCount > 0 && round < rounds; ++round) {
            qt.reset();
            plain.reset();
            // The floor works on its own thread while MqttClient runs in this
            // thread's event loop, publishing from a precise timer.
            std::thread floor(
                [&] { plain.runLatency(latencyCount, burst, latencyPayload, latencyPeriodUs); });
            int sent = 0;
            QTimer tick;
            tick.setTimerType(Qt::PreciseTimer);
            tick.setInterval(latencyPeriodUs / 1000);
            QObject::connect(&tick, &QTimer::timeout, [&] {
                for (int b = 0; b < burst && sent < latencyCount; ++b, ++sent)
                    qt.client.publish(stampedPayload(latencyPayload), QStringLiteral("bench/qt/lat"));
                if (sent >= latencyCount)
                    tick.stop();
            });
            const qint64 cpuStart = threadCpuUs();
            tick.start();
            runUntil([&] { return int(qt.latencies.size()) >= latencyCount; },
                     [&] { return qt.latencies.size(); });
            qtCpuUs += threadCpuUs() - cpuStart;
            floor.join();
            qtAll.insert(qtAll.end(), qt.latencies.begin(), qt.latencies.end());
            plainAll.insert(plainAll.end(), plain.latencies.begin(), plain.latencies.end());
        }
        const Stats qtLat = percentiles(qtAll);
        const Stats plainLat = percentiles(plainAll);
        std::printf(" bursts of %d:\n", burst);
        printLatency("MqttClient (Qt loop)", qtLat);
        printLatency("plain libmosquitto (floor)", plainLat);
        std::printf("  CPU time per message: MqttClient thread %.1f us, floor thread %.1f us\n",
                    double(qtCpuUs) / double(std::max<size_t>(1, qtAll.size())),
                    double(plain.cpuUs) / double(std::max<size_t>(1, plainAll.size())));
        std::printf("  p99 MqttClient - floor: %.1f us (target <= 500 us)\n", qtLat.p99 - plainLat.p99);
    }

    std::printf(
        "sustained receive throughput: the broker holds a backlog for the client, which then drains it "
        "(median of %d rounds, the clients take turns):\n",
        rounds);
    struct Size
    {
        int bytes;
        int count;
    };
    const Size sizes[] = {{100, throughputCount}, {64 * 1024, std::max(1, throughputCount / 50)}};
    for (const Size &size : sizes) {
        const QByteArray payload(size.bytes, 'p');
        std::vector<double> qtRates;
        std::vector<double> plainRates;
        int qtShort = 0;
        qint64 qtCpuUs = 0;
        qint64 plainCpuUs = 0;
        int plainShort = 0;
        for (int round = 0; round < rounds; ++round) {
            // The backlog is built by another thread while this one waits, so
            // neither client reads; both then drain it on this same thread.
            qt.reset();
            std::thread([&] {
                if (!publisher.fill("bench/qt/tp", size.count, payload))
                    std::fprintf(stderr, "bench_mqtt: backlog not acknowledged\n");
            }).join();
            const qint64 qtCpu = threadCpuUs();
            runUntil([&] { return qt.count >= size.count; }, [&] { return qt.count; });
            qtCpuUs += threadCpuUs() - qtCpu;
            qtRates.push_back(rate(qt.count, qt.first, qt.last));
            qtShort += size.count - qt.count;

            plain.reset();
            std::thread([&] {
                if (!publisher.fill("bench/plain/tp", size.count, payload))
                    std::fprintf(stderr, "bench_mqtt: backlog not acknowledged\n");
            }).join();
            const qint64 plainCpu = threadCpuUs();
            plain.pump([&] { return plain.count >= size.count; }, 3000);
            plainCpuUs += threadCpuUs() - plainCpu;
            plainRates.push_back(rate(plain.count, plain.first, plain.last));
            plainShort += size.count - plain.count;
        }
        const double qtRate = median(qtRates);
        const double plainRate = median(plainRates);
        double worstRound = 1e9;
        for (size_t r = 0; r < qtRates.size(); ++r)
            worstRound = std::min(worstRound, plainRates[r] > 0 ? 100.0 * qtRates[r] / plainRates[r] : 0.0);
        std::printf(
            "  %6d B x %-6d MqttClient %8.0f msg/s %7.1f MB/s | floor %8.0f msg/s %7.1f MB/s | %3.0f %% of "
            "floor (target >= 80 %%)%s\n",
            size.bytes, size.count, qtRate, qtRate * size.bytes / 1e6, plainRate,
            plainRate * size.bytes / 1e6, plainRate > 0 ? 100.0 * qtRate / plainRate : 0.0,
            qtShort + plainShort
                ? qPrintable(QStringLiteral(" (lost: MqttClient %1, floor %2)").arg(qtShort).arg(plainShort))
                : "");
        // On a shared machine the wall-clock rate is mostly the turns the
        // scheduler gives; CPU time per message shows the client's own cost.
        const double qtCpuPerMsg = double(qtCpuUs) / std::max(1, rounds * size.count);
        const double plainCpuPerMsg = double(plainCpuUs) / std::max(1, rounds * size.count);
        std::printf(
            "  %6d B: worst round %.0f %% of the floor measured beside it; CPU per message %.2f us vs floor "
            "%.2f us (%.0f %% of the floor's rate); median (budget >= 80 %%): %s; load average %.2f\n",
            size.bytes, worstRound, qtCpuPerMsg, plainCpuPerMsg,
            qtCpuPerMsg > 0 ? 100.0 * plainCpuPerMsg / qtCpuPerMsg : 0.0,
            plainRate > 0 && qtRate >= 0.8 * plainRate ? "MET" : "MISSED", load1());
    }
    return 0;
}
