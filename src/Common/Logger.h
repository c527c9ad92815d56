#pragma once

#include <QMutex>
#include <QtGlobal>

namespace manager {

// The process-wide message handler: every qDebug/qInfo/qWarning/qCritical/qFatal
// of the program and of Qt ends here and goes to the system log and, when
// asked, to standard error, stamped with the seconds since start.
class Logger
{
public:
    enum Level
    {
        ERROR = 0,
        WARNING = 1,
        INFO = 2,
        DEBUG = 3,
        TRACE = 4
    };

    // Created on first use and never destroyed: Qt may still log while static
    // objects are torn down.
    static Logger *instance();

    void setLevel(Level level);
    // 0, 1, 3 and 4 pick their level; anything else means INFO.
    void setLevel(int level);
    void setSyslog(bool enabled);
    void setStderr(bool enabled);
    void setColor(bool enabled);

    // For the message handler, which already holds the mutex.
    QMutex &getMutex() { return mMutex; }
    bool getSyslog() const { return mSyslog; }
    bool getStderr() const { return mStderr; }
    double getStartTime() const { return mStartTime; }

private:
    Logger();
    Q_DISABLE_COPY(Logger)

    static void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);

    // Not recursive: nothing may log while holding it, the setters included.
    QMutex mMutex;
    bool mSyslog = true;
    bool mStderr = false;
    double mStartTime = 0.0;
};

} // namespace manager
