#include "Common/Config.h"
#include "SessionManager.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
QStringList g_log;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_log.append(message);
}
} // namespace

class tst_SessionManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Config> makeConfig(const QString &pin)
    {
        return std::make_unique<Config>(m_dir.filePath(QStringLiteral("gui-%1.conf").arg(++m_files)),
                                        QVariantMap {{QStringLiteral("gui/settingsPin"), pin}});
    }

    QTemporaryDir m_dir;
    int m_files = 0;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void login_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("granted");

        QTest::newRow("exact") << "4826"
                               << "4826" << true;
        QTest::newRow("leading blank") << "4826"
                                       << " 4826" << false;
        QTest::newRow("trailing blank") << "4826"
                                        << "4826 " << false;
        QTest::newRow("trailing newline") << "4826"
                                          << "4826\n"
                                          << false;
        QTest::newRow("prefix") << "4826"
                                << "482" << false;
        QTest::newRow("longer") << "4826"
                                << "48260" << false;
        QTest::newRow("empty entry") << "4826"
                                     << "" << false;
        QTest::newRow("letters compared by case") << "abC1"
                                                  << "abc1" << false;
        QTest::newRow("empty pin, empty entry") << ""
                                                << "" << true;
    }

    void login()
    {
        QFETCH(QString, configured);
        QFETCH(QString, entered);
        QFETCH(bool, granted);

        auto config = makeConfig(configured);
        SessionManager session(*config);
        QStringList order;
        connect(&session, &SessionManager::accessGranted, this, [&] { order << QStringLiteral("granted"); });
        connect(&session, &SessionManager::accessDenied, this, [&] { order << QStringLiteral("denied"); });
        connect(&session, &SessionManager::sessionActiveChanged, this,
                [&] { order << QStringLiteral("active=%1").arg(session.sessionActive()); });

        session.loginRequest(entered);

        if (granted) {
            QCOMPARE(order, QStringList({"granted", "active=1"}));
            QVERIFY(session.user());
            QCOMPARE(session.user()->id, 0);
            QCOMPARE(session.user()->name, QStringLiteral("VORN"));
            QCOMPARE(session.user()->surname, QStringLiteral("Admin"));
        } else {
            QCOMPARE(order, QStringList({"denied"}));
            QVERIFY(!session.user());
            QCOMPARE(session.remainingTime(), -1);
        }
        QCOMPARE(session.sessionActive(), granted);
    }

    void enteredPinNeverLogged()
    {
        auto config = makeConfig(QStringLiteral("4826"));
        SessionManager session(*config);
        g_log.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        session.loginRequest(QStringLiteral("9713"));
        session.loginRequest(QStringLiteral("4826"));
        qInstallMessageHandler(previous);

        QVERIFY(session.sessionActive());
        QVERIFY(g_log.contains(QStringLiteral("[SessionManager] Login requested with PIN")));
        QVERIFY(g_log.contains(QStringLiteral("[SessionManager] Entered PIN    : 4 character(s)")));
        QVERIFY(g_log.contains(QStringLiteral("[SessionManager] User logged-in : VORN, Admin")));
        for (const QString &line : qAsConst(g_log)) {
            QVERIFY2(!line.contains(QLatin1String("9713")) && !line.contains(QLatin1String("4826")),
                     qPrintable(line));
        }
    }

    void logoutAndProductTimeout()
    {
        auto config = makeConfig(QStringLiteral("4826"));
        SessionManager session(*config);
        QSignalSpy changed(&session, &SessionManager::sessionActiveChanged);

        session.logoutRequest();
        QCOMPARE(changed.count(), 0);

        session.loginRequest(QStringLiteral("4826"));
        QVERIFY(session.remainingTime() > 10 * 60 * 1000 - 5000);
        QVERIFY(session.remainingTime() <= 10 * 60 * 1000);

        QTest::ignoreMessage(QtInfoMsg, "[SessionManager] User logged-out : VORN, Admin");
        session.logoutRequest();
        QCOMPARE(changed.count(), 2);
        QVERIFY(!session.sessionActive());
        QVERIFY(!session.user());
        QCOMPARE(session.remainingTime(), -1);

        // Nothing to extend without a session, and no bogus expiry later.
        session.resetTimer();
        QCOMPARE(session.remainingTime(), -1);
    }

    void wrongPinDuringSessionKeepsExpiry()
    {
        auto config = makeConfig(QStringLiteral("4826"));
        SessionManager session(*config);
        session.loginRequest(QStringLiteral("4826"));
        const int first = session.remainingTime();
        QTRY_VERIFY(session.remainingTime() < first - 100);

        QSignalSpy changed(&session, &SessionManager::sessionActiveChanged);
        QSignalSpy denied(&session, &SessionManager::accessDenied);
        session.loginRequest(QStringLiteral("0000"));

        QCOMPARE(denied.count(), 1);
        QCOMPARE(changed.count(), 0);
        QVERIFY(session.sessionActive());
        QVERIFY(session.remainingTime() < first - 100);
    }

    // Shortened session: the expiry counts from the last successful login.
    void reloginMovesExpiry()
    {
        auto config = makeConfig(QStringLiteral("4826"));
        SessionManager session(*config);
        session.setSessionInterval(2000);
        session.loginRequest(QStringLiteral("4826"));
        QTRY_VERIFY_WITH_TIMEOUT(session.remainingTime() <= 1000, 5000);
        QVERIFY(session.sessionActive());

        QSignalSpy granted(&session, &SessionManager::accessGranted);
        QSignalSpy changed(&session, &SessionManager::sessionActiveChanged);
        QElapsedTimer sinceRelogin;
        sinceRelogin.start();
        session.loginRequest(QStringLiteral("4826"));
        QCOMPARE(granted.count(), 1);
        QCOMPARE(changed.count(), 1);
        QVERIFY(session.remainingTime() > 1500);

        QTest::ignoreMessage(QtWarningMsg, "[SessionManager] Session expired");
        QVERIFY(changed.wait(10000));
        // Two seconds from the new login, give or take the coarse timer's 5 %.
        QVERIFY2(sinceRelogin.elapsed() >= 1800, qPrintable(QString::number(sinceRelogin.elapsed())));
        QVERIFY(!session.sessionActive());
        QVERIFY(!session.user());
        QCOMPARE(session.remainingTime(), -1);
    }

    void pinChangedDuringSession()
    {
        auto config = makeConfig(QStringLiteral("4826"));
        SessionManager session(*config);
        session.loginRequest(QStringLiteral("4826"));
        const int before = session.remainingTime();
        QSignalSpy changed(&session, &SessionManager::sessionActiveChanged);

        config->set(QStringLiteral("gui/settingsPin"), QStringLiteral("1357"));

        QCOMPARE(changed.count(), 0);
        QVERIFY(session.sessionActive());
        QVERIFY(session.user());
        QCOMPARE(session.user()->pin, QStringLiteral("1357"));
        QVERIFY(session.remainingTime() <= before);

        session.logoutRequest();
        QSignalSpy denied(&session, &SessionManager::accessDenied);
        session.loginRequest(QStringLiteral("4826"));
        QCOMPARE(denied.count(), 1);
        QVERIFY(!session.sessionActive());
        session.loginRequest(QStringLiteral("1357"));
        QVERIFY(session.sessionActive());
    }
};

QTEST_GUILESS_MAIN(tst_SessionManager)
#include "tst_SessionManager.moc"
