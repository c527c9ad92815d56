#include "Logger.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <syslog.h>

namespace {
const char *const c_plainPattern
    = "%{if-fatal}%{function} at %{file}:%{line} (%{pid}:%{threadid}:%{qthreadptr}) - %{endif}%{message}";
const char *const c_colorPattern = "%{if-category}[%{category}] %{endif}"
                                   "%{if-info}%{message}%{endif}"
                                   "%{if-warning}\33[33m%{message}\33[39m%{endif}"
                                   "%{if-debug}\33[35m%{message}\33[39m%{endif}"
                                   "%{if-critical}\33[31m%{message}\33[39m%{endif}"
                                   "%{if-fatal}%{function} at %{file}:%{line} "
                                   "(%{pid}:%{threadid}:%{qthreadptr}) - \33[31m%{message}\33[39m%{endif}";

// Wall-clock milliseconds: a clock step (NTP) shows as a jump in the stamps.
double realTimeMs()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1000000.0;
}
} // namespace

namespace manager {

Logger *Logger::instance()
{
    static Logger *const logger = new Logger;
    return logger;
}

Logger::Logger() : mStartTime(realTimeMs())
{
    setColor(false);
    setLevel(INFO);
    qInstallMessageHandler(&Logger::handleMessage);
}

void Logger::setLevel(Level level)
{
    QMutexLocker lock(&mMutex);
    switch (level) {
    case ERROR:
        QLoggingCategory::setFilterRules(
            QStringLiteral("*=true\n*.warning=false\n*.info=false\n*.debug=false\nqt.*=false"));
        break;
    case WARNING:
        QLoggingCategory::setFilterRules(QStringLiteral("*=true\n*.info=false\n*.debug=false\nqt.*=false"));
        break;
    case INFO:
        QLoggingCategory::setFilterRules(QStringLiteral("*=true\n*.debug=false\nqt.*=false"));
        break;
    case DEBUG:
        QLoggingCategory::setFilterRules(QStringLiteral("*=true\nqt.*=false"));
        break;
    case TRACE:
        QLoggingCategory::setFilterRules(QStringLiteral("*=true"));
        break;
    }
}

void Logger::setLevel(int level)
{
    switch (level) {
    case ERROR:
        setLevel(ERROR);
        break;
    case WARNING:
        setLevel(WARNING);
        break;
    case DEBUG:
        setLevel(DEBUG);
        break;
    case TRACE:
        setLevel(TRACE);
        break;
    default:
        setLevel(INFO);
        break;
    }
}

void Logger::setSyslog(bool enabled)
{
    QMutexLocker lock(&mMutex);
    mSyslog = enabled;
}

void Logger::setStderr(bool enabled)
{
    QMutexLocker lock(&mMutex);
    mStderr = enabled;
}

void Logger::setColor(bool enabled)
{
    QMutexLocker lock(&mMutex);
    qSetMessagePattern(QString::fromLatin1(enabled ? c_colorPattern : c_plainPattern));
}

void Logger::handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Logger *logger = instance();
    QMutexLocker lock(&logger->getMutex());

    const QByteArray text = qFormatLogMessage(type, context, message).toUtf8();
    const double elapsed = (realTimeMs() - logger->getStartTime()) / 1000.0;

    if (logger->getSyslog()) {
        switch (type) {
        case QtDebugMsg:
            syslog(LOG_DEBUG, "[%9.03f] [debug] %s", elapsed, text.constData());
            break;
        case QtInfoMsg:
            syslog(LOG_INFO, "[%9.03f] %s", elapsed, text.constData());
            break;
        case QtWarningMsg:
            syslog(LOG_WARNING, "[%9.03f] [warning] %s", elapsed, text.constData());
            break;
        case QtCriticalMsg:
            syslog(LOG_CRIT, "[%9.03f] [error] %s", elapsed, text.constData());
            break;
        case QtFatalMsg:
            syslog(LOG_ERR, "[%9.03f] [fatal] %s", elapsed, text.constData());
            break;
        }
    }
    if (logger->getStderr()) {
        std::fprintf(stderr, "[%9.03f] %s\n", elapsed, text.constData());
    }
    if (type == QtFatalMsg) {
        std::abort();
    }
}

} // namespace manager
