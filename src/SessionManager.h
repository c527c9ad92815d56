#pragma once

#include "Model/User.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class Config;

// The one maintenance session: a PIN opens it, a logout or ten minutes after
// the last successful login close it.
class SessionManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool sessionActive READ sessionActive NOTIFY sessionActiveChanged)

public:
    static constexpr int c_sessionMs = 10 * 60 * 1000;

    explicit SessionManager(Config &config, QObject *parent = nullptr);

    bool sessionActive() const { return m_activeUser != nullptr; }
    // Milliseconds until the session expires; -1 without a session.
    int remainingTime() const;
    const User *user() const { return m_activeUser; }

    // Lets tests shorten the session; takes effect at the next login.
    void setSessionInterval(int ms) { m_sessionMs = ms; }
    int sessionInterval() const { return m_sessionMs; }

Q_SIGNALS:
    void sessionActiveChanged();
    void accessGranted();
    void accessDenied();
    // Never emitted: an expiry shows as sessionActiveChanged.
    void expired();

public Q_SLOTS:
    void loginRequest(const QString &pin);
    void logoutRequest();
    void resetTimer();

private Q_SLOTS:
    void onTimeout();

private:
    void loadUsers();

    Config &m_config;
    QTimer m_timer;
    const User *m_activeUser = nullptr;
    std::vector<User> m_users;
    int m_sessionMs = c_sessionMs;
};
