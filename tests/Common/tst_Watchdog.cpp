// Plays systemd's side of the notify protocol: a datagram socket named by
// NOTIFY_SOCKET, read on its own thread so that messages are seen (and the
// frames counted) while the GUI thread is busy or blocked.
#include "BrokerFixture.h"
#include "Common/Watchdog.h"

#include <QProcess>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Notification
{
    QByteArray state;
    Clock::time_point received;
    int framesBefore = 0; // frames presented when the message arrived
    qint64 pid = 0; // sender, from the socket credentials
};

class NotifyListener
{
public:
    explicit NotifyListener(const std::atomic<int> &frames) : m_frames(frames)
    {
        m_path = m_dir.filePath(QStringLiteral("notify")).toLocal8Bit();
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, m_path.constData(), sizeof(address.sun_path));
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof(on));
        timeval timeout {0, 50000};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
        m_thread = std::thread([this]() { run(); });
    }

    ~NotifyListener()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

    bool isBound() const { return m_bound; }
    QByteArray path() const { return m_path; }

    std::vector<Notification> all() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

    std::vector<Notification> with(const QByteArray &state) const
    {
        std::vector<Notification> result;
        for (const Notification &n : all()) {
            if (n.state == state)
                result.push_back(n);
        }
        return result;
    }

    int count(const QByteArray &state) const { return int(with(state).size()); }

private:
    void run()
    {
        while (!m_stop) {
            char buffer[4096];
            char control[CMSG_SPACE(sizeof(ucred))];
            iovec io {buffer, sizeof(buffer)};
            msghdr message {};
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof(control);
            const ssize_t size = ::recvmsg(m_fd, &message, 0);
            if (size < 0)
                continue;
            Notification n;
            n.received = Clock::now();
            n.framesBefore = m_frames.load();
            for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                    ucred credentials {};
                    memcpy(&credentials, CMSG_DATA(c), sizeof(credentials));
                    n.pid = credentials.pid;
                }
            }
            // One datagram may carry several assignments, one per line.
            for (const QByteArray &line : QByteArray(buffer, int(size)).split('\n')) {
                if (line.isEmpty())
                    continue;
                n.state = line;
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.push_back(n);
            }
        }
    }

    const std::atomic<int> &m_frames;
    QTemporaryDir m_dir;
    QByteArray m_path;
    int m_fd = -1;
    bool m_bound = false;
    std::atomic<bool> m_stop {false};
    mutable std::mutex m_mutex;
    std::vector<Notification> m_received;
    std::thread m_thread;
};

qint64 medianGapMs(const std::vector<Notification> &pings)
{
    std::vector<qint64> gaps;
    for (size_t i = 1; i < pings.size(); ++i) {
        gaps.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(pings[i].received - pings[i - 1].received)
                .count());
    }
    std::sort(gaps.begin(), gaps.end());
    return gaps.empty() ? -1 : gaps[gaps.size() / 2];
}

} // namespace

class tst_Watchdog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void followsTheEnvironment_data();
    void followsTheEnvironment();
    void readyOnlyAfterTheFirstFrame();
    void pingsAtHalfTheWatchdogTime();
    void pingsStopWhileTheGuiThreadIsBlocked();
    void programReportsReadyAndPings();

private:
    void setEnvironment(const QByteArray &socket, const QByteArray &usec, const QByteArray &pid);

    std::atomic<int> m_frames {0};
    std::unique_ptr<NotifyListener> m_listener;
    std::unique_ptr<QQuickWindow> m_window;
};

void tst_Watchdog::init()
{
    m_frames = 0;
    m_listener = std::make_unique<NotifyListener>(m_frames);
    QVERIFY(m_listener->isBound());
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(120, 120);
    m_window->setColor(Qt::darkGreen);
    connect(
        m_window.get(), &QQuickWindow::frameSwapped, this, [this]() { ++m_frames; }, Qt::DirectConnection);
}

void tst_Watchdog::cleanup()
{
    m_window.reset();
    m_listener.reset();
    for (const char *name : {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID"})
        qunsetenv(name);
}

void tst_Watchdog::setEnvironment(const QByteArray &socket, const QByteArray &usec, const QByteArray &pid)
{
    const std::pair<const char *, QByteArray> values[]
        = {{"NOTIFY_SOCKET", socket}, {"WATCHDOG_USEC", usec}, {"WATCHDOG_PID", pid}};
    for (const auto &value : values) {
        if (value.second.isEmpty())
            qunsetenv(value.first);
        else
            qputenv(value.first, value.second);
    }
}

void tst_Watchdog::followsTheEnvironment_data()
{
    QTest::addColumn<bool>("socket");
    QTest::addColumn<QByteArray>("usec");
    QTest::addColumn<QByteArray>("pid");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("pings");

    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    QTest::newRow("without systemd") << false << QByteArray("100000") << self << false << false;
    QTest::newRow("unit without a watchdog") << true << QByteArray() << QByteArray() << true << false;
    // A child started with the environment of a supervised process.
    QTest::newRow("watchdog of another process")
        << true << QByteArray("100000") << QByteArray("1") << true << false;
    QTest::newRow("watchdog of this process") << true << QByteArray("100000") << self << true << true;
}

void tst_Watchdog::followsTheEnvironment()
{
    QFETCH(bool, socket);
    QFETCH(QByteArray, usec);
    QFETCH(QByteArray, pid);
    QFETCH(bool, ready);
    QFETCH(bool, pings);

    setEnvironment(socket ? m_listener->path() : QByteArray(), usec, pid);
    Watchdog watchdog;
    watchdog.watch(m_window.get());
    m_window->show();
    QTRY_VERIFY(m_frames > 0);
    // Ten ping intervals and a frame's worth of queued events.
    QTest::qWait(1000);

    QCOMPARE(m_listener->count("READY=1"), ready ? 1 : 0);
    if (pings)
        QVERIFY(m_listener->count("WATCHDOG=1") >= 3);
    else
        QCOMPARE(m_listener->count("WATCHDOG=1"), 0);
    QCOMPARE(int(m_listener->all().size()), m_listener->count("READY=1") + m_listener->count("WATCHDOG=1"));
}

void tst_Watchdog::readyOnlyAfterTheFirstFrame()
{
    setEnvironment(m_listener->path(), QByteArray(), QByteArray());
    Watchdog watchdog;
    watchdog.watch(m_window.get());
    // Nothing is on the screen yet: the process is not ready, however long
    // its event loop has been running.
    QTest::qWait(300);
    QCOMPARE(m_listener->count("READY=1"), 0);

    m_window->show();
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count("READY=1"), 1, 10000);
    QVERIFY(m_listener->with("READY=1").front().framesBefore >= 1);

    // Later frames report nothing more.
    const int frames = m_frames;
    m_window->update();
    QTRY_VERIFY(m_frames > frames);
    QTest::qWait(100);
    QCOMPARE(m_listener->count("READY=1"), 1);
}

void tst_Watchdog::pingsAtHalfTheWatchdogTime()
{
    // WatchdogSec=0.3s: a ping every 150 ms.
    setEnvironment(m_listener->path(), "300000", QByteArray());
    Watchdog watchdog;
    QTRY_VERIFY_WITH_TIMEOUT(m_listener->count("WATCHDOG=1") >= 10, 10000);
    // The median resists the odd late timer of a loaded machine.
    const qint64 gap = medianGapMs(m_listener->with("WATCHDOG=1"));
    QVERIFY2(gap >= 75 && gap <= 300, qPrintable(QStringLiteral("median gap %1 ms").arg(gap)));
}

void tst_Watchdog::pingsStopWhileTheGuiThreadIsBlocked()
{
    // WatchdogSec=0.2s: a ping every 100 ms.
    setEnvironment(m_listener->path(), "200000", QByteArray());
    Watchdog watchdog;
    QTRY_VERIFY_WITH_TIMEOUT(m_listener->count("WATCHDOG=1") >= 3, 10000);

    // Freeze the GUI thread for far longer than WatchdogSec. The listener
    // first takes in whatever was sent before the freeze.
    QThread::msleep(300);
    const int before = m_listener->count("WATCHDOG=1");
    QThread::msleep(1000);
    QCOMPARE(m_listener->count("WATCHDOG=1"), before);

    // Back in the event loop, the pings resume.
    QTRY_VERIFY_WITH_TIMEOUT(m_listener->count("WATCHDOG=1") > before, 5000);
}

void tst_Watchdog::programReportsReadyAndPings()
{
    BrokerFixture broker;
    QVERIFY(broker.start());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    QProcess ui;
    ui.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(m_listener->path()));
    environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("1000000"));
    ui.setProcessEnvironment(environment);
    ui.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ui.start(QStringLiteral(TALLYPORT_EXECUTABLE),
             {QStringLiteral("-H"), broker.host(), QStringLiteral("-P"), QString::number(broker.port()),
              QStringLiteral("-v"), QStringLiteral("1")});
    QVERIFY(ui.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count("READY=1"), 1, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(m_listener->count("WATCHDOG=1") >= 3, 10000);
    // With NotifyAccess=main systemd takes messages from the main process
    // only. (Children inherit the socket too: a failing timedatectl reports
    // its ERRNO there, which systemd then drops.)
    for (const char *state : {"READY=1", "WATCHDOG=1"}) {
        for (const Notification &n : m_listener->with(state))
            QCOMPARE(n.pid, ui.processId());
    }

    ui.kill();
    ui.waitForFinished(5000);
}

QTEST_MAIN(tst_Watchdog)
#include "tst_Watchdog.moc"
