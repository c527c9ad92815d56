#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
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

    // Log hygiene for text that comes from outside or holds settings. Every
    // line is also made one line by the handler itself (control characters
    // escaped), so a remote value can never forge a line of its own.

    // Names of settings and message members whose values never reach the log:
    // "mqtt/password", "password", "obu_password", "gui/settingsPin", ...
    static bool isSecret(const QString &name);
    // The text with the values of secret members ("name": value, in JSON or
    // anything that looks like it) and the passwords of URLs replaced by
    // c_mask. Empty and null values stay visible: a missing secret is news.
    static QString masked(const QString &text);
    // A payload as it may be logged: masked, and cut after c_maxPayload bytes
    // with its full size noted.
    static QString payload(const QByteArray &data);
    static QString payload(const QString &text);

    static constexpr int c_maxPayload = 4096;
    // Backstop for any single message, counted after escaping.
    static constexpr int c_maxMessage = 16384;

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
