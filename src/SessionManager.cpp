#include "SessionManager.h"

#include "Common/Config.h"

#include <QDebug>

#include <cstddef>

SessionManager::SessionManager(Config &config, QObject *parent) : QObject(parent), m_config(config)
{
    // A precise timer: a coarse one may fire up to 5 % early, which over ten
    // minutes would cut the technician off half a minute before time.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SessionManager::onTimeout);
    // Whatever key changed: the PIN may have come with it.
    connect(&m_config, &Config::configChanged, this, &SessionManager::loadUsers);
    loadUsers();
}

int SessionManager::remainingTime() const
{
    return m_timer.remainingTime();
}

void SessionManager::loginRequest(const QString &pin)
{
    qInfo().noquote().nospace() << "[SessionManager] Login requested with PIN";
    // The digits themselves never go to the log: it ends up in syslog and in
    // support bundles, where anyone could read the maintenance PIN.
    qDebug().noquote().nospace() << "[SessionManager] Entered PIN    : " << pin.size() << " character(s)";

    for (const User &user : m_users) {
        if (user.pin != pin)
            continue;
        m_timer.setSingleShot(true);
        m_timer.start(m_sessionMs);
        m_activeUser = &user;
        qInfo().noquote().nospace() << "[SessionManager] User logged-in : " << user.name << ", "
                                    << user.surname;
        emit accessGranted();
        emit sessionActiveChanged();
        return;
    }

    qWarning().noquote().nospace() << "[SessionManager] WARN: User entered wrong pin";
    emit accessDenied();
}

void SessionManager::logoutRequest()
{
    if (!m_activeUser)
        return;
    qInfo().noquote().nospace() << "[SessionManager] User logged-out : " << m_activeUser->name << ", "
                                << m_activeUser->surname;
    m_timer.stop();
    m_activeUser = nullptr;
    emit sessionActiveChanged();
}

void SessionManager::resetTimer()
{
    // Without a session there is nothing to extend; a running timer would only
    // log a bogus expiry later.
    if (!m_activeUser)
        return;
    m_timer.start(m_sessionMs);
}

void SessionManager::onTimeout()
{
    qWarning().noquote().nospace() << "[SessionManager] Session expired";
    logoutRequest();
}

void SessionManager::loadUsers()
{
    // The active session survives the reload; remember which record it held so
    // it can point at the rebuilt one instead of the discarded storage.
    const auto activeIndex = m_activeUser ? m_activeUser - m_users.data() : -1;

    m_users.clear();
    m_users.push_back(User {0, QStringLiteral("VORN"), QStringLiteral("Admin"),
                            m_config.get(QStringLiteral("gui/settingsPin")).toString()});

    if (activeIndex >= 0)
        m_activeUser
            = activeIndex < static_cast<std::ptrdiff_t>(m_users.size()) ? &m_users[activeIndex] : nullptr;
}
