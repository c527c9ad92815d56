// Cost of the real screens beside a bare Qt Quick window (Material style, one
// Label, one Image), each measured in fresh child processes of this program:
// start-up to the first frame, peak memory, the time from a change to the
// frame that shows it, and the CPU used while idle.
//
// Run under a display (xvfb-run -a bench/screens/bench_screens).
#include "BrokerFixture.h"
#include "Common/Config.h"
#include "Common/TextureImageProvider.h"
#include "Common/TintedIconProvider.h"
#include "Defaults.h"
#include "GUIManager.h"
#include "Resources.h"
#include "Toolkit.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QVariantMap>

#include <mosquitto.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>

namespace {

// Idle is measured after one whole round of both animations (14 steps of
// 300 ms): the idle screen reads each frame once, in the steps before it is
// first shown, which is the screen's start and not its idle.
constexpr int c_idleSettleMs = 5000;
constexpr int c_rounds = 3;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What the screens read of the controller, without the controller's services.
class ScreenState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QString deviceId READ deviceId CONSTANT)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString dynTr READ dynTr NOTIFY languageChanged)
    Q_PROPERTY(QString message READ message CONSTANT)
    Q_PROPERTY(bool showCursor READ showCursor CONSTANT)
    Q_PROPERTY(int animSwitchSec READ animSwitchSec CONSTANT)
    Q_PROPERTY(QColor screenSaverBg READ screenSaverBg CONSTANT)
    Q_PROPERTY(QString screenSaverImg READ screenSaverImg CONSTANT)

public:
    QString screen() const { return m_screen; }
    void setScreen(const QString &value)
    {
        if (value == m_screen)
            return;
        m_screen = value;
        emit screenChanged();
    }
    QString deviceId() const { return QStringLiteral("K12345678"); }
    QString language() const { return m_language; }
    void setLanguage(const QString &value)
    {
        if (value == m_language)
            return;
        m_language = value;
        emit languageChanged();
    }
    QString dynTr() const { return QString(); }
    QString message() const { return QString(); }
    bool showCursor() const { return false; }
    int animSwitchSec() const { return 0; }
    QColor screenSaverBg() const { return QColor(Qt::black); }
    QString screenSaverImg() const { return QStringLiteral("qrc:/qml/images/Icons/vorn.png"); }

public slots:
    void setMaintenanceScreen() { }
    void saveDeviceIdRequest(const QString &) { }

signals:
    void screenChanged();
    void languageChanged();
    void errorOccured(const QString &error);

private:
    QString m_screen = QStringLiteral("Busy");
    QString m_language = QStringLiteral("el_GR");
};

QVariantMap resultMap(int i)
{
    QVariantMap details {{QStringLiteral("deducted"), 1.2},
                         {QStringLiteral("remaining"), 10.0 + i},
                         {QStringLiteral("transferRemainingMin"), 90}};
    return {{QStringLiteral("valid"), i % 2 == 0},
            {QStringLiteral("type"), 2},
            {QStringLiteral("denyReason"), QStringLiteral("The card is not active")},
            {QStringLiteral("denyReasonId"), 208},
            {QStringLiteral("fareProduct"), QStringLiteral("Stored value %1").arg(i)},
            {QStringLiteral("details"), details}};
}

const char *c_bareWindow = R"(
import QtQuick 2.15
import QtQuick.Controls 2.15
ApplicationWindow {
    width: 480; height: 800; visible: true
    property alias labelText: label.text
    // For the idle floor: the card animation's whole frames, held decoded, one
    // every 300 ms over the backdrop, as the passenger sees them.
    property bool animate: false
    property int frame: 0
    Image { anchors.fill: parent; source: "qrc:/qml/images/background.png" }
    Repeater {
        model: animate ? 7 : 0
        Image { visible: false; source: framesDir + index + ".png" }
    }
    Image { anchors.centerIn: parent; source: animate ? framesDir + frame + ".png" : "" }
    Timer { interval: 300; repeat: true; running: animate; onTriggered: frame = (frame + 1) % 7 }
    Label { id: label; anchors.centerIn: parent; text: "0"; font.pixelSize: 32 }
}
)";

struct ChildResult
{
    double loadedMs = 0;
    double firstFrameMs = 0;
    int items = 0;
    int itemsBuilt = 0;
    double peakMiB = 0;
    QVector<double> latencyMs;
    double idleCpuPercent = -1;
    double idleFps = 0;
};

int countItems(const QQuickItem *item)
{
    int n = 1;
    const auto children = item->childItems();
    for (const QQuickItem *child : children)
        n += countItems(child);
    return n;
}

double load1()
{
    double load = -1;
    QFile file(QStringLiteral("/proc/loadavg"));
    if (file.open(QIODevice::ReadOnly))
        load = file.readAll().split(' ').value(0).toDouble();
    return load;
}

double percentile(QVector<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const int index = std::min<int>(v.size() - 1, static_cast<int>(p * (v.size() - 1) + 0.5));
    return v.at(index);
}

double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A validator service stand-in: a plain libmosquitto client on its own thread.
class Service
{
public:
    Service()
    {
        m_mosq = mosquitto_new("bench-screens-service", true, this);
        mosquitto_connect_callback_set(m_mosq, [](mosquitto *, void *self, int rc) {
            static_cast<Service *>(self)->m_connected = rc == 0;
        });
    }
    ~Service()
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
        QElapsedTimer timer;
        timer.start();
        while (!m_connected && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_connected;
    }
    void publish(const char *topic, const QByteArray &payload)
    {
        mosquitto_publish(m_mosq, nullptr, topic, payload.size(), payload.constData(), 0, false);
    }

private:
    mosquitto *m_mosq = nullptr;
    std::atomic<bool> m_connected {false};
};

QByteArray validationResult(int i)
{
    QJsonObject transaction {
        {QStringLiteral("result"), i % 2 == 0},
        {QStringLiteral("type"), 2},
        {QStringLiteral("fareProductName"), QStringLiteral("Stored value %1").arg(i)},
        {QStringLiteral("card"),
         QJsonObject {{QStringLiteral("balanceBefore"), 1000 + i}, {QStringLiteral("balanceAfter"), 880}}}};
    if (i % 2 != 0)
        transaction.insert(QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), 208}});
    return QJsonDocument(QJsonObject {{QStringLiteral("transaction"), transaction}}).toJson();
}

// The real controller behind the screens: a result published by the validator
// service stand-in, through the broker, the proxy and the controller, to the
// first frame swapped after the screen changed.
int runController(const QString &what, int samples, int idleSeconds)
{
    mosquitto_lib_init();
    BrokerFixture broker;
    if (!broker.start())
        return 4;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QFile id(dir.filePath(QStringLiteral("serialnumber")));
    if (!id.open(QIODevice::WriteOnly) || id.write("K00000001") < 0)
        return 4;
    id.close();
    Config config(QStringLiteral("gui.conf"), tallyport::defaultSettings());
    config.set(QStringLiteral("mqtt/host"), broker.host());
    config.set(QStringLiteral("mqtt/port"), broker.port());
    config.set(QStringLiteral("log/syslog"), false);
    config.set(QStringLiteral("log/stderr"), false);
    config.set(QStringLiteral("gui/deviceId"), id.fileName());

    GUIManager manager(config);
    manager.engine().addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    manager.load();
    if (manager.engine().rootObjects().isEmpty())
        return 2;
    auto *window = qobject_cast<QQuickWindow *>(manager.engine().rootObjects().first());
    if (!window)
        return 2;
    std::atomic<qint64> lastSwap {0};
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window, [&lastSwap] { lastSwap = nowNs(); },
        Qt::DirectConnection);
    qint64 screenChangedAt = 0;
    QObject::connect(&manager, &GUIManager::screenChanged, &manager,
                     [&screenChangedAt] { screenChangedAt = nowNs(); });

    Service service;
    if (!service.connect(broker.port()))
        return 4;
    const QByteArray online = R"({"service": true, "state": {"hasRfid": true, "hasRoute": true, "hasQr": true,
                                  "hasObu": true}, "device": {"rfid": {"state": 2}, "barcode": {"enabled": true}}})";
    QElapsedTimer timer;
    timer.start();
    while (manager.screen() != QLatin1String("ScanScreens") && timer.elapsed() < 10000) {
        service.publish("vorn/blm/status", online);
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 50)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (manager.screen() != QLatin1String("ScanScreens"))
        return 5;
    QTextStream out(stdout);

    if (what == QLatin1String("latency") || what == QLatin1String("latency-scan")) {
        // "latency": one result after another, as a queue of passengers makes
        // them. "latency-scan": each result arrives on the idle screen at
        // another moment of its card animation, as the first tap does.
        const bool fromScan = what == QLatin1String("latency-scan");
        for (int i = 0; i < samples + 10; ++i) {
            if (fromScan) {
                manager.setScreen(QStringLiteral("ScanScreens"));
                QElapsedTimer shown;
                shown.start();
                const qint64 since = nowNs();
                while (lastSwap.load() <= since && shown.elapsed() < 1000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            const int settleMs = fromScan ? 20 + (i * 53) % 300 : 30;
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < settleMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            screenChangedAt = 0;
            const qint64 start = nowNs();
            service.publish("vorn/blm/rfid/scanned", validationResult(i));
            QElapsedTimer guard;
            guard.start();
            while ((screenChangedAt == 0 || lastSwap.load() <= screenChangedAt) && guard.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (i >= 10 && screenChangedAt != 0 && lastSwap.load() > screenChangedAt)
                out << "latency-ns " << (lastSwap.load() - start) << '\n';
        }
    } else if (what == QLatin1String("idle")) {
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < c_idleSettleMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        std::atomic<int> frames {0};
        QObject::connect(
            window, &QQuickWindow::frameSwapped, window, [&frames] { ++frames; }, Qt::DirectConnection);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(idleSeconds * 1000, &QCoreApplication::quit);
        QCoreApplication::exec();
        out << "idle-cpu-percent " << (100.0 * (cpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0))
            << '\n';
        out << "idle-frames-per-second " << (frames * 1000.0 / wall.elapsed()) << '\n';
    }
    out << "peak-kib " << peakMiB() * 1024 << '\n';
    out.flush();
    return 0;
}

// One child: mode "bare" or "screens", what "start", "latency" or "idle";
// "latency-scan" (bare only): the same changes while the card frames step
// every 300 ms, each change at another moment of their round.
int runChild(const QString &mode, const QString &what, int samples, int idleSeconds)
{
    QLoggingCategory::setFilterRules(QStringLiteral("qml.debug=false"));
    QQuickStyle::setStyle(QStringLiteral("Material"));
    tallyport::initResources();
    QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    // The state outlives the engine, so no binding sees it vanish.
    ScreenState state;
    QQmlApplicationEngine engine;
    if (mode == QLatin1String("screens")) {
        engine.addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
        engine.rootContext()->setContextProperty(QStringLiteral("manager"), &state);
        engine.rootContext()->setContextProperty(QStringLiteral("transaction"), resultMap(0));
        TintedIconProvider::install(&engine);
        TextureImageProvider::install(&engine);
        engine.load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    } else {
        engine.rootContext()->setContextProperty(
            QStringLiteral("framesDir"),
            QUrl::fromLocalFile(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/artwork/frames/NFC/"))
                .toString());
        engine.loadData(c_bareWindow);
    }
    if (engine.rootObjects().isEmpty())
        return 2;
    const qint64 loadedAt = nowNs();
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        return 2;

    std::atomic<qint64> lastSwap {0};
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window, [&lastSwap] { lastSwap = nowNs(); },
        Qt::DirectConnection);
    QTextStream out(stdout);

    auto waitSwapAfter = [&](qint64 since, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (lastSwap.load() <= since && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return lastSwap.load() > since;
    };

    if (!waitSwapAfter(0, 20000))
        return 3;
    out << "loaded-ns " << loadedAt << '\n';
    out << "first-frame-ns " << lastSwap.load() << '\n';
    // A figure that load on the machine does not blur: what was built to get there.
    // Built is not the same as in the window: hidden screens join it after
    // the first frame.
    const int inWindow = countItems(window->contentItem());
    out << "items " << inWindow << '\n';
    int built = inWindow;
    const QVariantMap screens = window->property("screens").toMap();
    for (const QVariant &screen : screens) {
        const auto *item = qobject_cast<QQuickItem *>(screen.value<QObject *>());
        if (item && !item->parentItem())
            built += countItems(item);
    }
    out << "items-built " << built << '\n';

    if (what == QLatin1String("latency") || what == QLatin1String("latency-scan")) {
        const bool animated = what == QLatin1String("latency-scan");
        if (animated)
            window->setProperty("animate", true);
        // Each sample: a change of what is shown, to the first frame swapped after it.
        for (int i = 0; i < samples; ++i) {
            if (mode == QLatin1String("screens")) {
                state.setScreen(QStringLiteral("ScanScreens"));
                waitSwapAfter(nowNs(), 1000);
                const qint64 start = nowNs();
                engine.rootContext()->setContextProperty(QStringLiteral("transaction"), resultMap(i));
                state.setScreen(i % 2 == 0 ? QStringLiteral("Valid") : QStringLiteral("Invalid"));
                if (waitSwapAfter(start, 1000))
                    out << "latency-ns " << (lastSwap.load() - start) << '\n';
            } else {
                const int settleMs = animated ? 20 + (i * 53) % 300 : 20;
                QElapsedTimer settle;
                settle.start();
                while (settle.elapsed() < settleMs)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                const qint64 start = nowNs();
                window->setProperty("labelText", QString::number(i + 1));
                if (waitSwapAfter(start, 1000))
                    out << "latency-ns " << (lastSwap.load() - start) << '\n';
            }
        }
    } else if (what == QLatin1String("idle")) {
        if (mode == QLatin1String("screens"))
            state.setScreen(QStringLiteral("ScanScreens"));
        else
            window->setProperty("animate", true);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < c_idleSettleMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        int frames = 0;
        QObject::connect(
            window, &QQuickWindow::frameSwapped, window, [&frames] { ++frames; }, Qt::DirectConnection);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTimer::singleShot(idleSeconds * 1000, &QCoreApplication::quit);
        QCoreApplication::exec();
        const double cpu = cpuSeconds() - cpuBefore;
        out << "idle-cpu-percent " << (100.0 * cpu / (wall.elapsed() / 1000.0)) << '\n';
        out << "idle-frames-per-second " << (frames * 1000.0 / wall.elapsed()) << '\n';
    }
    out << "peak-kib " << peakMiB() * 1024 << '\n';
    out.flush();
    return 0;
}

ChildResult runOnce(const QString &mode, const QString &what, int samples, int idleSeconds,
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    ChildResult result;
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = nowNs();
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--child"), mode, what, QString::number(samples), QString::number(idleSeconds)});
    if (!child.waitForFinished(10 * 60 * 1000) || child.exitCode() != 0) {
        std::fprintf(stderr, "child %s %s failed (exit %d)\n", qPrintable(mode), qPrintable(what),
                     child.exitCode());
        return result;
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2)
            continue;
        if (parts[0] == "loaded-ns")
            result.loadedMs = (parts[1].toLongLong() - started) / 1e6;
        else if (parts[0] == "first-frame-ns")
            result.firstFrameMs = (parts[1].toLongLong() - started) / 1e6;
        else if (parts[0] == "items")
            result.items = parts[1].toInt();
        else if (parts[0] == "items-built")
            result.itemsBuilt = parts[1].toInt();
        else if (parts[0] == "latency-ns")
            result.latencyMs << parts[1].toLongLong() / 1e6;
        else if (parts[0] == "peak-kib")
            result.peakMiB = parts[1].toDouble() / 1024.0;
        else if (parts[0] == "idle-cpu-percent")
            result.idleCpuPercent = parts[1].toDouble();
        else if (parts[0] == "idle-frames-per-second")
            result.idleFps = parts[1].toDouble();
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
    // The real screens run with the program's own toolkit settings; the bare
    // window, the floor, with the toolkit's defaults.
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0
        && (qstrcmp(argv[2], "screens") == 0 || qstrcmp(argv[2], "controller") == 0))
        tallyport::prepareToolkit();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 6 && args.at(1) == QLatin1String("--child")
        && args.at(2) == QLatin1String("controller"))
        return runController(args.at(3), args.at(4).toInt(), args.at(5).toInt());
    if (args.size() >= 6 && args.at(1) == QLatin1String("--child"))
        return runChild(args.at(2), args.at(3), args.at(4).toInt(), args.at(5).toInt());

    // --start-only: the start-up figures alone, for a quick look.
    const bool startOnly = args.contains(QStringLiteral("--start-only"));
    const int starts = 5;
    const int samples = 300;
    const int idleSeconds = 20;
    const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
    const QString renderer
        = backend.isEmpty() ? QStringLiteral("OpenGL (default)") : QString::fromLatin1(backend);
    std::printf("bench_screens: renderer %s; bare Qt Quick window against the real screens (%d starts, %d "
                "changes, %d s idle); load average %.2f\n",
                qPrintable(renderer), starts, samples, idleSeconds, load1());

    struct Side
    {
        double firstFrame = 0;
        double peak = 0;
        int items = 0;
        int itemsBuilt = 0;
    };
    Side sides[2];
    const QString modes[2] = {QStringLiteral("bare"), QStringLiteral("screens")};
    // The two sides take turns start by start, so a burst of load on the
    // machine falls on both.
    QVector<double> firstFrame[2];
    QVector<double> loaded[2];
    for (int i = 0; i < starts; ++i) {
        for (int m = 0; m < 2; ++m) {
            const ChildResult r = runOnce(modes[m], QStringLiteral("start"), 0, 0);
            firstFrame[m] << r.firstFrameMs;
            loaded[m] << r.loadedMs;
            sides[m].peak = std::max(sides[m].peak, r.peakMiB);
            sides[m].items = r.items;
            sides[m].itemsBuilt = r.itemsBuilt;
        }
    }
    for (int m = 0; m < 2; ++m) {
        sides[m].firstFrame = percentile(firstFrame[m], 0.5);
        std::printf("%-8s start-up to first frame: median %.1f ms (min %.1f, max %.1f; document loaded at "
                    "%.1f ms); peak "
                    "memory %.1f MiB; %d items built, %d of them in the window at the first frame\n",
                    qPrintable(modes[m]), percentile(firstFrame[m], 0.5), percentile(firstFrame[m], 0),
                    percentile(firstFrame[m], 1.0), percentile(loaded[m], 0.5), sides[m].peak,
                    sides[m].itemsBuilt, sides[m].items);
    }
    std::printf("load average %.2f\n", load1());
    const Side &bare = sides[0];
    const Side &screens = sides[1];
    const auto verdict = [](bool met) {
        return met ? "MET" : "MISSED";
    };
    const double ratio = bare.firstFrame > 0 ? screens.firstFrame / bare.firstFrame : 0;
    if (startOnly) {
        std::printf("start-up to first frame: %.1f vs bare %.1f ms (%.2fx; budget 1.5x): %s\n",
                    screens.firstFrame, bare.firstFrame, ratio, verdict(ratio <= 1.5));
        return 0;
    }

    // The machine's load comes in bursts of tens of seconds; one child lands
    // in or out of one, and a few seconds of it decide a p99 of 300 samples.
    // So every row is measured in rounds spread over the run, the real side
    // and its floor taking turns in each, and each round printed: a latency
    // row is the p99 over the samples of all rounds (which still counts every
    // slow sample), the idle row the median of the rounds.
    enum Series
    {
        BareChange,
        BareStepping,
        Result,
        OnScan,
        SeriesCount
    };
    QVector<double> pooled[SeriesCount];
    QVector<double> roundP99[SeriesCount];
    QVector<double> idleRounds[2];
    double controllerPeak = 0;
    double controllerIdlePeak = 0;
    double controllerIdleFps = 0;
    const auto addRound = [&](Series series, const ChildResult &r) {
        pooled[series] << r.latencyMs;
        roundP99[series] << percentile(r.latencyMs, 0.99);
    };
    for (int round = 0; round < c_rounds; ++round) {
        const ChildResult bareChange = runOnce(modes[0], QStringLiteral("latency"), samples, 0);
        // The floor for results arriving on the idle screen: the same changes
        // while frames step every 300 ms, at every moment of it.
        const ChildResult bareStepping = runOnce(modes[0], QStringLiteral("latency-scan"), samples, 0);
        const ChildResult result
            = runOnce(QStringLiteral("controller"), QStringLiteral("latency"), samples, 0);
        const ChildResult onScan
            = runOnce(QStringLiteral("controller"), QStringLiteral("latency-scan"), samples, 0);
        const ChildResult bareIdle = runOnce(modes[0], QStringLiteral("idle"), 0, idleSeconds);
        const ChildResult controllerIdle
            = runOnce(QStringLiteral("controller"), QStringLiteral("idle"), 0, idleSeconds);
        addRound(BareChange, bareChange);
        addRound(BareStepping, bareStepping);
        addRound(Result, result);
        addRound(OnScan, onScan);
        idleRounds[0] << bareIdle.idleCpuPercent;
        idleRounds[1] << controllerIdle.idleCpuPercent;
        // The memory floor is the bare window itself, as the budget names it:
        // its children that hold the card frames (stepping, idle) are floors
        // for time alone.
        sides[0].peak = std::max(sides[0].peak, bareChange.peakMiB);
        controllerPeak = std::max({controllerPeak, result.peakMiB, onScan.peakMiB, controllerIdle.peakMiB});
        controllerIdlePeak = std::max(controllerIdlePeak, controllerIdle.peakMiB);
        controllerIdleFps = controllerIdle.idleFps;
        std::printf("round %d of %d done; load average %.2f\n", round + 1, c_rounds, load1());
    }
    // The screens without the controller, once, to tell their share apart.
    const ChildResult screensChange = runOnce(modes[1], QStringLiteral("latency"), samples, 0);
    const ChildResult screensIdle = runOnce(modes[1], QStringLiteral("idle"), 0, idleSeconds);
    // The program asks for each frame at once where the toolkit by default
    // waits 5 ms to gather changes: the bare window the same way, once, to
    // show what of the gain is the toolkit's alone. Not a floor.
    QProcessEnvironment atOnce = QProcessEnvironment::systemEnvironment();
    atOnce.insert(QStringLiteral("QT_QPA_UPDATE_IDLE_TIME"), QStringLiteral("0"));
    const ChildResult bareAtOnce = runOnce(modes[0], QStringLiteral("latency-scan"), samples, 0, atOnce);

    const auto roundsText = [](const QVector<double> &rounds) {
        QStringList texts;
        for (double r : rounds)
            texts << QString::number(r, 'f', 2);
        return texts.join(QLatin1Char(' '));
    };
    const auto printSeries = [&](const char *what, Series series) {
        const QVector<double> &v = pooled[series];
        std::printf("%s (%lld samples in %d rounds): p50 %.2f ms, p99 %.2f ms (rounds %s), max %.2f ms\n",
                    what, static_cast<long long>(v.size()), c_rounds, percentile(v, 0.5), percentile(v, 0.99),
                    qPrintable(roundsText(roundP99[series])), percentile(v, 1.0));
    };
    printSeries("bare     change to next frame", BareChange);
    printSeries("bare     change to next frame while the card frames step", BareStepping);
    std::printf(
        "screens  change to next frame (%lld samples, one round): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
        static_cast<long long>(screensChange.latencyMs.size()), percentile(screensChange.latencyMs, 0.5),
        percentile(screensChange.latencyMs, 0.99), percentile(screensChange.latencyMs, 1.0));
    std::printf(
        "bare     change to next frame while the card frames step, the frame asked for at once as the "
        "program does (%lld samples, one round; not a floor): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
        static_cast<long long>(bareAtOnce.latencyMs.size()), percentile(bareAtOnce.latencyMs, 0.5),
        percentile(bareAtOnce.latencyMs, 0.99), percentile(bareAtOnce.latencyMs, 1.0));
    printSeries("validation published to result frame swapped (broker, proxy and controller included), one "
                "result after another",
                Result);
    printSeries(
        "validation published to result frame swapped, arriving on ScanScreens while its animation runs",
        OnScan);
    const double bareLatencyP99 = percentile(pooled[BareChange], 0.99);
    const double bareSteppingP99 = percentile(pooled[BareStepping], 0.99);
    const double resultP99 = percentile(pooled[Result], 0.99);
    const double scanP99 = percentile(pooled[OnScan], 0.99);
    const double controllerIdle = percentile(idleRounds[1], 0.5);
    const double bareIdle = percentile(idleRounds[0], 0.5);
    std::printf("screens  idle CPU on ScanScreens (one round): %.2f %% of one core (%.1f frames/s)\n",
                screensIdle.idleCpuPercent, screensIdle.idleFps);
    std::printf(
        "idle CPU rounds (%d s each, taking turns): controller %s %% (median %.2f; %.1f frames/s; peak "
        "memory %.1f MiB), bare window with the same frames %s %% (median %.2f); load average %.2f\n",
        idleSeconds, qPrintable(roundsText(idleRounds[1])), controllerIdle, controllerIdleFps,
        controllerIdlePeak, qPrintable(roundsText(idleRounds[0])), bareIdle, load1());

    std::printf("\nsummary (%s), each row beside its floor measured in this run:\n", qPrintable(renderer));
    std::printf(
        "  start-up to first frame     %7.1f ms  vs bare window %7.1f ms  = %.2fx   (budget <= 1.5x, aim "
        "1.2x): %s\n",
        screens.firstFrame, bare.firstFrame, ratio, verdict(ratio <= 1.5));
    std::printf(
        "  peak memory, controller     %7.1f MiB vs bare window %7.1f MiB = %+.1f MiB (budget <= +40, "
        "aim +25): %s\n",
        controllerPeak, bare.peak, controllerPeak - bare.peak, verdict(controllerPeak - bare.peak <= 40));
    std::printf(
        "  idle CPU on ScanScreens     %7.2f %%   (controller, median of %d rounds; screens alone %.2f "
        "%%, bare window showing the same frames %.2f %%)  (budget < 2 %%): %s\n",
        controllerIdle, c_rounds, screensIdle.idleCpuPercent, bareIdle, verdict(controllerIdle < 2.0));
    // Each way a result arrives is held to the floor that meets the same
    // frames: a still window, or one whose frames step as the idle screen's do.
    const bool latencyMet = resultP99 <= bareLatencyP99 + 5.0 && resultP99 <= 16.7
        && scanP99 <= bareSteppingP99 + 5.0 && scanP99 <= 16.7;
    std::printf(
        "  validation to frame p99     after a result %.2f ms vs bare change-to-frame p99 %.2f ms; on "
        "ScanScreens %.2f ms vs bare with stepping frames %.2f ms  (budget <= floor + 5 ms and <= 16.7 "
        "ms): %s\n",
        resultP99, bareLatencyP99, scanP99, bareSteppingP99, verdict(latencyMet));
    return 0;
}

#include "main.moc"
