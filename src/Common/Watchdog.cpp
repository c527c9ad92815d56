#include "Watchdog.h"

#include <QDebug>
#include <QQuickWindow>

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <limits>

namespace {
const char *const c_prefix = "[Watchdog] ";
}

Watchdog::Watchdog(QObject *parent) : QObject(parent)
{
    m_notifying = !qEnvironmentVariableIsEmpty("NOTIFY_SOCKET");
    if (!m_notifying)
        return;

    // WATCHDOG_PID, when set, names the process the watchdog is meant for;
    // sd_watchdog_enabled() checks it, so a child started with our
    // environment never pings in our name.
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) <= 0 || usec == 0) {
        qInfo().noquote().nospace() << c_prefix << "Notifying systemd, no watchdog";
        return;
    }
    // A timer takes an int of milliseconds (24 days at most).
    const uint64_t half = std::min<uint64_t>(usec / 2000, std::numeric_limits<int>::max());
    m_interval = std::chrono::milliseconds(std::max<uint64_t>(half, 1));
    qInfo().noquote().nospace() << c_prefix << "Watchdog interval : " << m_interval.count() << " ms";

    // The timer lives on the GUI thread: a blocked event loop sends nothing.
    // Pings start at once, since systemd may count from the start, not from
    // READY=1.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_interval);
    connect(&m_timer, &QTimer::timeout, this, [this]() { notify("WATCHDOG=1"); });
    m_timer.start();
    notify("WATCHDOG=1");
}

void Watchdog::watch(QQuickWindow *window)
{
    if (!m_notifying || m_ready)
        return;
    if (!window) {
        qWarning().noquote().nospace() << c_prefix << "WARN: No window to watch, never reporting ready";
        return;
    }
    disconnect(m_frameConnection);
    // frameSwapped comes from the render thread; queued, the report is sent
    // from the GUI thread after the frame is on the screen.
    m_frameConnection
        = connect(window, &QQuickWindow::frameSwapped, this, &Watchdog::onFirstFrame, Qt::QueuedConnection);
}

void Watchdog::onFirstFrame()
{
    disconnect(m_frameConnection);
    if (m_ready)
        return;
    m_ready = true;
    qInfo().noquote().nospace() << c_prefix << "First frame shown, ready";
    notify("READY=1");
}

void Watchdog::notify(const char *state)
{
    const int result = sd_notify(0, state);
    // Said once: the same failure would otherwise repeat at every ping.
    if (result < 0 && !m_failed) {
        m_failed = true;
        qWarning().noquote().nospace()
            << c_prefix << "WARN: Cannot notify systemd : " << qt_error_string(-result);
    }
}
