// Cost of the event log at its cap: loading a full file at start, and the time
// one push holds the GUI thread, over enough pushes to run through the
// background rewrites that bound the file. Then a kill -9 in the middle of a
// stream of pushes: every entry reported pushed must be back after a restart,
// except the one being written. Prints figures; asserts nothing.
#include "Common/Config.h"
#include "EventManager.h"
#include "Model/Event.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <ctime>

#include <algorithm>
#include <vector>

namespace {

const QString c_descr
    = QStringLiteral("User ID : 0\nFirst name : VORN\nLast name : Admin\nDate : Thu Dec 10 04:30:57 2026");

double load1()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

qint64 threadCpuNs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double ms(qint64 ns)
{
    return ns / 1e6;
}

// Pushes until killed, reporting each push once it has returned.
int runPusher(const QString &path)
{
    Config config(path + QStringLiteral(".conf"), {});
    EventManager manager(config, path);
    for (int i = 0;; ++i) {
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("k%1").arg(i), c_descr,
                               QDateTime::currentDateTime()));
        std::printf("%d\n", i);
        std::fflush(stdout);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QtMessageHandler quiet = [](QtMsgType, const QMessageLogContext &, const QString &) {
    };
    qInstallMessageHandler(quiet);
    if (argc > 2 && qstrcmp(argv[1], "--pusher") == 0)
        return runPusher(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("gui.conf")), {});
    const QString path = dir.filePath(QStringLiteral("events.ini"));
    {
        EventManager manager(config, path);
        for (int i = 0; i < 1001; ++i)
            manager.push(new Event(QStringLiteral("General"), QStringLiteral("Maintenance login"), c_descr,
                                   QDateTime::currentDateTime()));
        manager.waitForFile();
    }

    QTextStream out(stdout);
    out << "bench_eventlog: load average " << load1() << '\n';
    constexpr int runs = 20;
    std::vector<qint64> loads;
    std::vector<qint64> firstPushes;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        EventManager manager(config, path);
        loads.push_back(timer.nsecsElapsed());
        timer.restart();
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), {},
                               QDateTime::currentDateTime()));
        firstPushes.push_back(timer.nsecsElapsed());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(firstPushes.begin(), firstPushes.end());

    // Many pushes at the cap, through several background rewrites.
    constexpr int pushes = 3000;
    std::vector<qint64> each;
    std::vector<qint64> eachCpu;
    std::vector<qint64> floor;
    {
        EventManager manager(config, path);
        for (int i = 0; i < pushes; ++i) {
            QElapsedTimer timer;
            timer.start();
            const qint64 cpu = threadCpuNs();
            manager.push(new Event(QStringLiteral("General"), QStringLiteral("Maintenance login"), c_descr,
                                   QDateTime::currentDateTime()));
            each.push_back(timer.nsecsElapsed());
            eachCpu.push_back(threadCpuNs() - cpu);
            timer.restart();
            while (timer.nsecsElapsed() < 120000) { }
            floor.push_back(timer.nsecsElapsed());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        manager.waitForFile();
    }
    std::sort(each.begin(), each.end());
    std::sort(eachCpu.begin(), eachCpu.end());
    std::sort(floor.begin(), floor.end());

    out << "events.ini at the cap: " << QFileInfo(path).size() << " bytes\n";
    out << "start (load 1000 + retention), median of " << runs << ": " << ms(loads[runs / 2]) << " ms\n";
    out << "push at the cap, median of " << runs << " fresh starts: " << ms(firstPushes[runs / 2]) << " ms\n";
    out << "push at the cap, " << pushes << " in a row (file rewritten in the background): p50 "
        << ms(each[pushes / 2]) << " ms, p99 " << ms(each[pushes * 99 / 100]) << " ms, max "
        << ms(each.back()) << " ms; load average " << load1() << '\n';
    out << "  the same pushes in CPU time of the GUI thread (without the waits for a core on this busy "
           "machine): p50 "
        << ms(eachCpu[pushes / 2]) << " ms, p99 " << ms(eachCpu[pushes * 99 / 100]) << " ms, max "
        << ms(eachCpu.back()) << " ms\n";
    out << "  floor, a 0.12 ms busy loop timed between the pushes: wall p50 " << ms(floor[pushes / 2])
        << " ms, p99 " << ms(floor[pushes * 99 / 100]) << " ms, max " << ms(floor.back()) << " ms\n";
    // Wall time on this shared machine is mostly waiting for a core: the
    // stall is the CPU time the push takes, and its wall time is held
    // against that of the busy loop.
    const bool stallMet
        = eachCpu.back() <= 5000000 && each[pushes * 99 / 100] <= floor[pushes * 99 / 100] + 5000000;
    out << "GUI-thread stall per event: CPU worst " << ms(eachCpu.back()) << " ms, wall p99 "
        << ms(each[pushes * 99 / 100]) << " ms vs floor p99 " << ms(floor[pushes * 99 / 100])
        << " ms (budget <= 5 ms): " << (stallMet ? "MET" : "MISSED") << '\n';

    // kill -9 in the middle of a stream of pushes, five times.
    int lostWorst = 0;
    int reportedTotal = 0;
    for (int k = 0; k < 5; ++k) {
        const QString killPath = dir.filePath(QStringLiteral("killed-%1.ini").arg(k));
        QProcess pusher;
        pusher.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--pusher"), killPath});
        pusher.waitForStarted();
        QElapsedTimer timer;
        timer.start();
        QByteArray reported;
        while (timer.elapsed() < 400 + 150 * k) {
            pusher.waitForReadyRead(20);
            reported += pusher.readAllStandardOutput();
        }
        ::kill(pid_t(pusher.processId()), SIGKILL);
        pusher.waitForFinished();
        reported += pusher.readAllStandardOutput();
        const QList<QByteArray> lines = reported.trimmed().split('\n');
        const int last = lines.isEmpty() ? -1 : lines.last().toInt();
        EventManager restarted(config, killPath);
        // Every reported push must be there; at most the one being written is missing.
        int found = -1;
        for (const Event *event : restarted.events())
            found = std::max(found, event->name().mid(1).toInt());
        const int lost = std::max(0, last - found);
        lostWorst = std::max(lostWorst, lost);
        reportedTotal += last + 1;
        out << "kill -9 after " << last + 1 << " reported pushes: newest entry after restart k" << found
            << ", reported but missing: " << lost << '\n';
    }
    out << "kill -9, 5 times: worst reported push missing " << lostWorst
        << " (budget 0; the push under way when killed was never reported): "
        << (lostWorst == 0 ? "MET" : "MISSED") << '\n';
    return 0;
}
