// Latency of the validation feedback path: a validation result published by a
// stand-in validator service, through the broker, the UI process's proxy and
// controller, back through the broker as the inspector's sound request, seen
// by a third client. Printed beside the broker's own round trip over the same
// two hops (a ping that a bare client echoes at once), measured interleaved in
// the same run, as the floor.
//
// Second row: the first validations of freshly started processes (screens
// loaded, first frame shown), card then barcode, against the later ones of
// the same process.
//
//   bench_feedback [validations] [starts]   (defaults 1000 and 5)

#include "BrokerFixture.h"
#include "Common/Config.h"
#include "Defaults.h"
#include "GUIManager.h"
#include "Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A plain libmosquitto client on its own network thread; time stamps are taken
// in its callback, so the GUI thread's scheduling does not blur the figures.
class Client
{
public:
    explicit Client(const char *id)
    {
        m_mosq = mosquitto_new(id, true, this);
        mosquitto_message_callback_set(m_mosq, &Client::onMessage);
        mosquitto_connect_callback_set(m_mosq, &Client::onConnect);
        mosquitto_subscribe_callback_set(m_mosq, &Client::onSubscribe);
    }
    ~Client()
    {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, true);
        mosquitto_destroy(m_mosq);
    }
    bool connect(quint16 port)
    {
        if (mosquitto_connect(m_mosq, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS)
            return false;
        mosquitto_loop_start(m_mosq);
        return waitUntil([this]() { return m_connected.load(); });
    }
    bool subscribe(const char *topic)
    {
        const int before = m_subscribed.load();
        mosquitto_subscribe(m_mosq, nullptr, topic, 0);
        return waitUntil([this, before]() { return m_subscribed.load() > before; });
    }
    void publish(const char *topic, const QByteArray &payload)
    {
        mosquitto_publish(m_mosq, nullptr, topic, payload.size(), payload.constData(), 0, false);
    }

    std::function<void(const char *topic)> received; // runs on the network thread

private:
    static bool waitUntil(const std::function<bool()> &done)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!done() && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message)
    {
        auto *client = static_cast<Client *>(self);
        if (client->received)
            client->received(message->topic);
    }
    static void onConnect(mosquitto *, void *self, int rc)
    {
        static_cast<Client *>(self)->m_connected = rc == 0;
    }
    static void onSubscribe(mosquitto *, void *self, int, int, const int *)
    {
        ++static_cast<Client *>(self)->m_subscribed;
    }

    mosquitto *m_mosq = nullptr;
    std::atomic<bool> m_connected {false};
    std::atomic<int> m_subscribed {0};
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
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

QByteArray resultPayload(bool barcode, int i)
{
    QJsonObject transaction {{QStringLiteral("result"), i % 3 != 2},
                             {QStringLiteral("type"), barcode ? 0 : 2},
                             {QStringLiteral("fareProductName"), QStringLiteral("Single %1").arg(i)}};
    if (barcode)
        transaction.insert(QStringLiteral("barcode"),
                           QJsonObject {{QStringLiteral("transferRemainingMin"), 90 + i}});
    else
        transaction.insert(
            QStringLiteral("card"),
            QJsonObject {{QStringLiteral("balanceBefore"), 1000 + i}, {QStringLiteral("balanceAfter"), 880}});
    if (i % 3 == 2)
        transaction.insert(QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), 208}});
    return QJsonDocument(QJsonObject {{QStringLiteral("transaction"), transaction}}).toJson();
}

// One freshly started process with the screens loaded: prints the first card
// and the first barcode validation, then the later ones, in milliseconds.
int runFirstChild(quint16 port)
{
    // What the entry point does before the controller.
    tallyport::initResources();
    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QFile id(dir.filePath(QStringLiteral("serialnumber")));
        id.open(QIODevice::WriteOnly);
        id.write("K00000001");
    }
    Config config(QStringLiteral("gui.conf"), tallyport::defaultSettings());
    config.set(QStringLiteral("mqtt/host"), QStringLiteral("127.0.0.1"));
    config.set(QStringLiteral("mqtt/port"), port);
    config.set(QStringLiteral("log/syslog"), false);
    config.set(QStringLiteral("log/stderr"), false);
    config.set(QStringLiteral("gui/deviceId"), dir.filePath(QStringLiteral("serialnumber")));

    Client service("bench-first-service");
    Client observer("bench-first-observer");
    if (!service.connect(port) || !observer.connect(port) || !observer.subscribe("vorn/inspector/audio/play"))
        return 3;

    GUIManager manager(config);
    manager.engine().addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    manager.load();
    if (manager.engine().rootObjects().isEmpty())
        return 2;
    auto *window = qobject_cast<QQuickWindow *>(manager.engine().rootObjects().first());
    if (!window)
        return 2;
    std::atomic<int> frames {0};
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window, [&frames] { ++frames; }, Qt::DirectConnection);

    QEventLoop loop;
    std::atomic<long long> arrivedAt {0};
    observer.received = [&](const char *) {
        arrivedAt = Clock::now().time_since_epoch().count();
        QMetaObject::invokeMethod(
            &loop, [&loop]() { loop.quit(); }, Qt::QueuedConnection);
    };
    const auto spin = [&loop](int ms) {
        QTimer::singleShot(ms, &loop, [&loop]() { loop.quit(); });
        loop.exec();
    };
    const QByteArray online = R"({"service": true, "state": {"hasRfid": true, "hasRoute": true, "hasQr": true,
                                  "hasObu": true}, "device": {"rfid": {"state": 2}, "barcode": {"enabled": true}}})";
    for (int i = 0; i < 200 && manager.screen() != QLatin1String("ScanScreens"); ++i) {
        service.publish("vorn/blm/status", online);
        spin(50);
    }
    if (manager.screen() != QLatin1String("ScanScreens"))
        return 4;
    // The idle screen is up and drawn; what a passenger meets next is the first tap.
    for (int i = 0; i < 100 && frames < 2; ++i)
        spin(20);
    spin(1500);

    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop]() { loop.exit(1); });
    const auto measure = [&](const char *topic, const QByteArray &payload) -> double {
        arrivedAt = 0;
        guard.start(5000);
        const auto sent = Clock::now();
        service.publish(topic, payload);
        const int rc = loop.exec();
        guard.stop();
        if (rc != 0 || arrivedAt == 0)
            return -1;
        return std::chrono::duration<double, std::milli>(Clock::duration(arrivedAt.load())
                                                         - sent.time_since_epoch())
            .count();
    };
    std::printf("first-card %.3f\n", measure("vorn/blm/rfid/scanned", resultPayload(false, 0)));
    spin(3500); // the result screen times out, as between two passengers
    std::printf("first-barcode %.3f\n", measure("vorn/blm/barcode/scanned", resultPayload(true, 0)));
    for (int i = 1; i <= 20; ++i) {
        spin(i % 5 == 0 ? 3500 : 300);
        const bool barcode = i % 2 == 0;
        std::printf("later %.3f\n",
                    measure(barcode ? "vorn/blm/barcode/scanned" : "vorn/blm/rfid/scanned",
                            resultPayload(barcode, i)));
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool firstChild = argc > 2 && std::strcmp(argv[1], "--first-child") == 0;
    if (!firstChild || qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (firstChild)
        qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallyport"));
    QCoreApplication::setApplicationVersion(QStringLiteral("bench"));
    mosquitto_lib_init();
    if (firstChild)
        return runFirstChild(quint16(atoi(argv[2])));
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int starts = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
    std::printf("bench_feedback: renderer %s, load average %.2f at start\n",
                backend.isEmpty() ? "OpenGL (default)" : backend.constData(), load1());

    BrokerFixture broker;
    if (!broker.start()) {
        std::fprintf(stderr, "broker did not start\n");
        return 1;
    }
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    {
        QFile id(dir.filePath(QStringLiteral("serialnumber")));
        id.open(QIODevice::WriteOnly);
        id.write("K00000001");
    }
    Config config(QStringLiteral("gui.conf"), tallyport::defaultSettings());
    config.set(QStringLiteral("mqtt/host"), broker.host());
    config.set(QStringLiteral("mqtt/port"), broker.port());
    config.set(QStringLiteral("log/syslog"), false);
    config.set(QStringLiteral("log/stderr"), false);
    config.set(QStringLiteral("gui/deviceId"), dir.filePath(QStringLiteral("serialnumber")));
    GUIManager manager(config);

    Client service("bench-service");
    Client observer("bench-observer");
    Client echo("bench-echo");
    echo.received = [&echo](const char *) {
        echo.publish("bench/pong", QByteArray("{}"));
    };
    if (!service.connect(broker.port()) || !observer.connect(broker.port()) || !echo.connect(broker.port())
        || !observer.subscribe("vorn/inspector/audio/play") || !observer.subscribe("bench/pong")
        || !echo.subscribe("bench/ping")) {
        std::fprintf(stderr, "clients did not connect\n");
        return 1;
    }

    QEventLoop loop;
    std::atomic<long long> arrivedAt {0};
    observer.received = [&](const char *) {
        arrivedAt = Clock::now().time_since_epoch().count();
        QMetaObject::invokeMethod(
            &loop, [&loop]() { loop.quit(); }, Qt::QueuedConnection);
    };
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop]() { loop.exit(1); });

    // The UI is up once the validator reports itself online.
    const QByteArray online = R"({"service": true, "state": {"hasRfid": true, "hasRoute": true, "hasQr": true,
                                  "hasObu": true}, "device": {"rfid": {"state": 2}, "barcode": {"enabled": true}}})";
    for (int i = 0; i < 100 && manager.screen() != QLatin1String("ScanScreens"); ++i) {
        service.publish("vorn/blm/status", online);
        QTimer::singleShot(50, &loop, [&loop]() { loop.quit(); });
        loop.exec();
    }
    if (manager.screen() != QLatin1String("ScanScreens")) {
        std::fprintf(stderr, "the UI did not reach the idle screen\n");
        return 1;
    }

    const QByteArray result
        = QJsonDocument(
              QJsonObject {{QStringLiteral("transaction"),
                            QJsonObject {{QStringLiteral("result"), true},
                                         {QStringLiteral("type"), 2},
                                         {QStringLiteral("fareProductName"), QStringLiteral("Single")},
                                         {QStringLiteral("card"),
                                          QJsonObject {{QStringLiteral("balanceBefore"), 1000},
                                                       {QStringLiteral("balanceAfter"), 880}}}}}})
              .toJson();

    const auto measure = [&](const char *topic, const QByteArray &payload) -> double {
        arrivedAt = 0;
        guard.start(5000);
        const auto sent = Clock::now();
        service.publish(topic, payload);
        const int rc = loop.exec();
        guard.stop();
        if (rc != 0 || arrivedAt == 0)
            return -1;
        return std::chrono::duration<double, std::milli>(Clock::duration(arrivedAt.load())
                                                         - sent.time_since_epoch())
            .count();
    };

    std::vector<double> feedback;
    std::vector<double> floor;
    int lost = 0;
    for (int i = 0; i < rounds + 20; ++i) {
        const double f = measure("vorn/blm/rfid/scanned", result);
        const double b = measure("bench/ping", QByteArray("{}"));
        if (i < 20)
            continue; // warm-up
        if (f < 0 || b < 0) {
            ++lost;
            continue;
        }
        feedback.push_back(f);
        floor.push_back(b);
    }
    if (feedback.empty()) {
        std::fprintf(stderr, "no sample\n");
        return 1;
    }

    std::printf("validations: %zu (lost %d), load average %.2f\n", feedback.size(), lost, load1());
    std::printf("broker round trip (floor)   p50 %.3f ms  p99 %.3f ms\n", percentile(floor, 0.5),
                percentile(floor, 0.99));
    std::printf("result -> sound request     p50 %.3f ms  p99 %.3f ms\n", percentile(feedback, 0.5),
                percentile(feedback, 0.99));
    std::printf("p99 above the floor's p99   %.3f ms (target <= 2 ms)\n",
                percentile(feedback, 0.99) - percentile(floor, 0.99));

    // First validations after start, in fresh processes with the screens.
    std::vector<double> firstCard;
    std::vector<double> firstBarcode;
    std::vector<double> later;
    for (int s = 0; s < starts; ++s) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--first-child"), QString::number(broker.port())});
        if (!child.waitForFinished(5 * 60 * 1000) || child.exitCode() != 0) {
            std::fprintf(stderr, "first-validation child failed (exit %d)\n", child.exitCode());
            continue;
        }
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 2 || parts[1].toDouble() < 0)
                continue;
            if (parts[0] == "first-card")
                firstCard.push_back(parts[1].toDouble());
            else if (parts[0] == "first-barcode")
                firstBarcode.push_back(parts[1].toDouble());
            else if (parts[0] == "later")
                later.push_back(parts[1].toDouble());
        }
    }
    if (firstCard.empty() || firstBarcode.empty() || later.empty()) {
        std::fprintf(stderr, "no first-validation sample\n");
        return 1;
    }
    const double laterP50 = percentile(later, 0.5);
    const double laterMax = percentile(later, 1.0);
    const double card = percentile(firstCard, 1.0);
    const double barcode = percentile(firstBarcode, 1.0);
    std::printf("first validation after start (%zu starts, screens loaded), load average %.2f:\n",
                firstCard.size(), load1());
    std::printf("  later validations (floor)  p50 %.3f ms  max %.3f ms  (%zu samples)\n", laterP50, laterMax,
                later.size());
    std::printf("  first card                 median %.3f ms  worst %.3f ms\n", percentile(firstCard, 0.5),
                card);
    std::printf("  first barcode              median %.3f ms  worst %.3f ms\n", percentile(firstBarcode, 0.5),
                barcode);
    const bool met = card - laterP50 <= 2.0 && barcode - laterP50 <= 2.0;
    std::printf("  worst first above the later p50: card %.3f ms, barcode %.3f ms (target <= 2 ms): %s\n",
                card - laterP50, barcode - laterP50, met ? "MET" : "MISSED");
    return 0;
}
