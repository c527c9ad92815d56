#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QQuickWindow;

// The systemd side of the process: "READY=1" once the first frame is on the
// screen, then "WATCHDOG=1" at half the unit's WatchdogSec from the GUI thread,
// so a frozen event loop stops the pings and systemd restarts the process.
// Started without systemd (no NOTIFY_SOCKET) it does nothing at all.
class Watchdog : public QObject
{
    Q_OBJECT

public:
    explicit Watchdog(QObject *parent = nullptr);

    bool isNotifying() const { return m_notifying; }
    // Zero when the unit has no watchdog (or it was meant for another process).
    std::chrono::milliseconds interval() const { return m_interval; }

    // Reports ready after the next frame the window presents.
    void watch(QQuickWindow *window);

private:
    void notify(const char *state);
    void onFirstFrame();

    bool m_notifying = false;
    bool m_ready = false;
    bool m_failed = false;
    std::chrono::milliseconds m_interval {0};
    QTimer m_timer;
    QMetaObject::Connection m_frameConnection;
};
