#include "ControllerHarness.h"
#include "ItemTree.h"

#include <QFontDatabase>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

// The real screens behind the real controller: validation results published by
// a stand-in validator service reach the window through the broker, the proxy
// and the controller, and the header's gestures reach the controller.
using ItemTree::findItem;

class tst_ControllerScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
        QCoreApplication::setApplicationName(QStringLiteral("Tallyport"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
        tallyport::initResources();
        QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")) >= 0);
        QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
        QVERIFY(QDir().mkpath(QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots")));
        QVERIFY(m_broker.start());
    }

    void resultsLanguageAndMaintenanceGesture();

private:
    // The text a label shows, also when the label sits inside a control.
    static QString shownText(QQuickItem *screen, const QString &name)
    {
        QQuickItem *item = findItem(screen, name);
        if (!item)
            return QStringLiteral("<missing %1>").arg(name);
        QList<QQuickItem *> pending {item};
        while (!pending.isEmpty()) {
            QQuickItem *next = pending.takeFirst();
            if (next->inherits("QQuickText"))
                return next->property("text").toString();
            pending << next->childItems();
        }
        return item->property("text").toString();
    }
    static void save(QQuickWindow *window, const QString &name)
    {
        QVERIFY(window->grabWindow().save(QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots/") + name));
    }
    static QByteArray result(const QJsonObject &transaction)
    {
        return QJsonDocument(QJsonObject {{QStringLiteral("transaction"), transaction}}).toJson();
    }

    BrokerFixture m_broker;
};

void tst_ControllerScreens::resultsLanguageAndMaintenanceGesture()
{
    ControllerHarness h(m_broker, {{QStringLiteral("gui/locale"), QStringLiteral("el_GR")}});
    GUIManager &manager = h.manager();
    manager.engine().addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    manager.load();
    QCOMPARE(manager.engine().rootObjects().size(), 1);
    auto *window = qobject_cast<QQuickWindow *>(manager.engine().rootObjects().first());
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(h.waitConnected());
    QQuickItem *root = window->contentItem();

    h.setValidator(QStringLiteral("online"), true);
    QTRY_COMPARE(manager.screen(), QStringLiteral("ScanScreens"));
    QTRY_VERIFY(findItem(root, QStringLiteral("ScanScreens"))->isVisible());

    // The hidden screens join the window once the first frame is out: left
    // out, each one's pictures and texts would be made ready for drawing at
    // its first showing, with the first passenger's result waiting on it.
    for (const char *name : {"InitPage", "Busy", "Valid", "Invalid", "AlreadyValid", "Retry", "OutOfOrder",
                             "OutOfService", "ScreenSaver", "Settings", "Login"})
        QVERIFY2(findItem(root, QLatin1String(name)), name);

    // After the first frame the result screens are run through sample
    // results, ahead of the first passenger: none of them may stay behind.
    QCOMPARE(manager.engine().rootContext()->contextProperty(QStringLiteral("transaction")).toMap(),
             Transaction().toMap());
    QCOMPARE(shownText(findItem(root, QStringLiteral("Valid")), QStringLiteral("resultSubtitle")), QString());
    QCOMPARE(manager.screen(), QStringLiteral("ScanScreens"));

    // A stored-journeys card: trips and the transfer time in the detail block.
    h.send(QStringLiteral("vorn/blm/rfid/scanned"),
           result({{QStringLiteral("result"), true},
                   {QStringLiteral("type"), 5},
                   {QStringLiteral("fareProductName"), QStringLiteral("10 trips")},
                   {QStringLiteral("card"),
                    QJsonObject {{QStringLiteral("storedJourneys"),
                                  QJsonObject {{QStringLiteral("after"), 9},
                                               {QStringLiteral("transferRemainingMin"), 150},
                                               {QStringLiteral("activationTimestamp"),
                                                QStringLiteral("2026-03-01T06:30:00Z")}}}}}}));
    QTRY_COMPARE(manager.screen(), QStringLiteral("Valid"));
    QQuickItem *valid = findItem(root, QStringLiteral("Valid"));
    QTRY_VERIFY(valid->isVisible());
    QCOMPARE(shownText(valid, QStringLiteral("resultTitle")), QStringLiteral("ΕΓΚΥΡΟ"));
    QCOMPARE(shownText(valid, QStringLiteral("resultSubtitle")), QStringLiteral("10 trips"));
    QCOMPARE(shownText(valid, QStringLiteral("rightLabel")), QStringLiteral("Διαδρομές"));
    QCOMPARE(shownText(valid, QStringLiteral("rightValue")), QStringLiteral("9"));
    QCOMPARE(shownText(valid, QStringLiteral("leftValue")), QStringLiteral("3 ώρες"));
    save(window, QStringLiteral("controller-el_GR-Valid.png"));

    // Three deny reasons share one Greek text; 202 is one of them.
    h.send(QStringLiteral("vorn/blm/barcode/scanned"),
           result({{QStringLiteral("result"), false},
                   {QStringLiteral("type"), 0},
                   {QStringLiteral("denyReason"), QJsonObject {{QStringLiteral("id"), 202}}}}));
    QTRY_COMPARE(manager.screen(), QStringLiteral("Invalid"));
    QQuickItem *invalid = findItem(root, QStringLiteral("Invalid"));
    QCOMPARE(shownText(invalid, QStringLiteral("resultTitle")), QStringLiteral("ΑΚΥΡΟ"));
    const QString greekReason = QStringLiteral("Δεν επιτρέπεται σε αυτή την διαδρομή");
    QCOMPARE(shownText(invalid, QStringLiteral("denyReason")), greekReason);
    save(window, QStringLiteral("controller-el_GR-Invalid.png"));

    // The flag switches the language at once; the reason already on screen
    // stays as it came with the result.
    QQuickItem *flag
        = findItem(root, QStringLiteral("header"))->property("languageButton").value<QQuickItem *>();
    QVERIFY(flag);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                      flag->mapToScene(QPointF(flag->width() / 2, flag->height() / 2)).toPoint());
    QTRY_COMPARE(manager.language(), QStringLiteral("en_IE"));
    QCOMPARE(shownText(invalid, QStringLiteral("resultTitle")), QStringLiteral("INVALID"));
    // The hidden valid screen now holds the barcode result: its one label.
    QCOMPARE(shownText(valid, QStringLiteral("leftLabel")), QStringLiteral("Remaining"));
    QCOMPARE(shownText(invalid, QStringLiteral("denyReason")), greekReason);
    save(window, QStringLiteral("controller-en_IE-Invalid.png"));

    // Three taps on the clock within a second ask for maintenance.
    QQuickItem *clock = findItem(root, QStringLiteral("header"))->property("clock").value<QQuickItem *>();
    QVERIFY(clock);
    const QPoint centre = clock->mapToScene(QPointF(clock->width() / 2, clock->height() / 2)).toPoint();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    QTRY_COMPARE_WITH_TIMEOUT(manager.screen(), QStringLiteral("Login"), 5000);
}

QTEST_MAIN(tst_ControllerScreens)
#include "tst_ControllerScreens.moc"
