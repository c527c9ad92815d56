// Cost of the event log at its cap: loading a full file at start and one push,
// which rewrites the whole file. Prints figures; asserts nothing.
#include "Common/Config.h"
#include "EventManager.h"
#include "Model/Event.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QtMessageHandler quiet = [](QtMsgType, const QMessageLogContext &, const QString &) {
    };
    qInstallMessageHandler(quiet);

    QTemporaryDir dir;
    Config config(dir.filePath(QStringLiteral("gui.conf")), {});
    const QString path = dir.filePath(QStringLiteral("events.ini"));
    const QString descr = QStringLiteral(
        "User ID : 0\nFirst name : VORN\nLast name : Admin\nDate : Thu Dec 10 04:30:57 2026");

    {
        EventManager manager(config, path);
        for (int i = 0; i < 1001; ++i)
            manager.push(new Event(QStringLiteral("General"), QStringLiteral("Maintenance login"), descr,
                                   QDateTime::currentDateTime()));
    }

    constexpr int runs = 20;
    std::vector<qint64> loads;
    std::vector<qint64> pushes;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        EventManager manager(config, path);
        loads.push_back(timer.nsecsElapsed());
        timer.restart();
        manager.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), {},
                               QDateTime::currentDateTime()));
        pushes.push_back(timer.nsecsElapsed());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(pushes.begin(), pushes.end());

    QTextStream out(stdout);
    out << "events.ini at the cap: " << QFileInfo(path).size() << " bytes\n";
    out << "start (load 1000 + retention), median of " << runs << ": " << loads[runs / 2] / 1000000.0
        << " ms\n";
    out << "push at the cap (rewrites the file), median of " << runs << ": " << pushes[runs / 2] / 1000000.0
        << " ms\n";
    return 0;
}
