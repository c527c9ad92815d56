#include "ControllerHarness.h"
#include "ItemTree.h"

#include "Model/IPv4.h"

#include <QFontDatabase>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QProcess>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

// The technician's screens behind the real controller: PIN login against the
// session, the menu and its options, and every page rendered in both
// languages to build/screenshots/ with its texts checked to fit.
using ItemTree::findItem;

class tst_SettingsScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void loginDeniedThenGranted();
    void menuOpensOnePageAndReturnsOnLeaving();
    void optionsConfirmBeforeActing();
    void validatorSaveFollowsChanges();
    void audioAndDisplayReachTheirServices();
    void regionFollowsLocaleAndZone();
    void regionReadsTheZoneOncePerChange();
    void barcodeTestCountsOnlyTheBarcodeReader();
    void ethernetFormRefusesWhatCannotWork();
    void translatorSeesEveryText();
    void capture_data();
    void capture();
    void logoutLeavesSettings();

private:
    QQuickItem *screen(const QString &name) const { return findItem(m_window->contentItem(), name); }
    QQuickItem *settingsStack() const;
    static QObject *menuItem(QObject *menu, const QString &name);
    QQuickItem *currentPage() const;
    void login();
    void openPage(int index);
    void waitForImages();
    QStringList fitProblems() const;
    void tap(QQuickItem *item);
    void typeInto(QQuickItem *field, const QString &text);
    QQuickItem *pushedPage(int depth);
    void backToMenu();

    BrokerFixture m_broker;
    std::unique_ptr<ControllerHarness> m_harness;
    QQuickWindow *m_window = nullptr;
    QStringList m_warnings;
};

void tst_SettingsScreens::initTestCase()
{
    qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
    QCoreApplication::setApplicationName(QStringLiteral("Tallyport"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
    tallyport::initResources();
    QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")) >= 0);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QVERIFY(QDir().mkpath(QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots")));
    QVERIFY(m_broker.start());
    // The time command of the region page is the recorded stand-in.
    qputenv("PATH", QByteArray(TALLYPORT_SOURCE_DIR "/tools/stand-ins/bin:") + qgetenv("PATH"));

    m_harness = std::make_unique<ControllerHarness>(
        m_broker,
        QVariantMap {{QStringLiteral("gui/locale"), QStringLiteral("el_GR")},
                     {QStringLiteral("gui/settingsPin"), QStringLiteral("4826")}});
    GUIManager &manager = m_harness->manager();
    manager.engine().addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    connect(&manager.engine(), &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
        for (const QQmlError &w : warnings)
            m_warnings << w.toString();
    });
    manager.load();
    QCOMPARE(manager.engine().rootObjects().size(), 1);
    m_window = qobject_cast<QQuickWindow *>(manager.engine().rootObjects().first());
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(m_harness->waitConnected());
    m_harness->setValidator(QStringLiteral("degraded"));
    QVERIFY(screen(QStringLiteral("Login")));
    QVERIFY(screen(QStringLiteral("Settings")));
}

void tst_SettingsScreens::cleanupTestCase()
{
    m_harness.reset();
}

QQuickItem *tst_SettingsScreens::settingsStack() const
{
    return findItem(screen(QStringLiteral("Settings")), QStringLiteral("settingsStack"));
}

QObject *tst_SettingsScreens::menuItem(QObject *menu, const QString &name)
{
    for (int i = 0; i < menu->property("count").toInt(); ++i) {
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, i));
        if (item && item->objectName() == name)
            return item;
    }
    return nullptr;
}

QQuickItem *tst_SettingsScreens::currentPage() const
{
    QQuickItem *stack = settingsStack();
    return stack ? stack->property("currentItem").value<QQuickItem *>() : nullptr;
}

void tst_SettingsScreens::login()
{
    GUIManager &manager = m_harness->manager();
    if (manager.screen() == QLatin1String("Settings"))
        return;
    manager.setScreen(QStringLiteral("Login"));
    QQuickItem *page = screen(QStringLiteral("Login"));
    QTRY_VERIFY(page->isVisible());
    QMetaObject::invokeMethod(page, "customRightPressed", Q_ARG(QVariant, QStringLiteral("CLR")));
    for (const char *digit : {"4", "8", "2", "6"})
        QMetaObject::invokeMethod(page, "calcNumberPressed", Q_ARG(QVariant, QString::fromLatin1(digit)));
    QMetaObject::invokeMethod(page, "login");
    QTRY_COMPARE(manager.screen(), QStringLiteral("Settings"));
}

void tst_SettingsScreens::openPage(int index)
{
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
    QVariant opened;
    QMetaObject::invokeMethod(settings, "openPage", Q_RETURN_ARG(QVariant, opened), Q_ARG(QVariant, index));
    QVERIFY(opened.toBool());
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::waitForImages()
{
    QTRY_VERIFY_WITH_TIMEOUT(!ItemTree::imagesLoading(m_window), 10000);
}

// A finger on the middle of the item.
void tst_SettingsScreens::tap(QQuickItem *item)
{
    QVERIFY(item && item->isVisible());
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

// Taps the field and types over its text on the on-screen keyboard.
void tst_SettingsScreens::typeInto(QQuickItem *field, const QString &text)
{
    tap(field);
    QTRY_VERIFY(field->hasActiveFocus());
    QMetaObject::invokeMethod(field, "selectAll");
    QObject *keyboard = screen(QStringLiteral("Settings"))->property("keyboard").value<QObject *>();
    QVERIFY(keyboard);
    for (const QChar c : text)
        QMetaObject::invokeMethod(keyboard, "press", Q_ARG(QVariant, QString(c)));
}

// A test that failed half-way may have left pages open.
void tst_SettingsScreens::backToMenu()
{
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    for (int i = 0; i < 4 && settingsStack()->property("depth").toInt() > 1; ++i) {
        QTRY_VERIFY(!settingsStack()->property("busy").toBool());
        QMetaObject::invokeMethod(settings, "back");
    }
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

QQuickItem *tst_SettingsScreens::pushedPage(int depth)
{
    if (!QTest::qWaitFor([&] {
            return settingsStack()->property("depth").toInt() == depth
                && !settingsStack()->property("busy").toBool();
        }))
        return nullptr;
    return currentPage();
}

// Texts must fit their box and stay within the screen's width; inside a
// scrolling page they may run below the visible part.
QStringList tst_SettingsScreens::fitProblems() const
{
    QStringList problems;
    const auto overlay = m_window->contentItem()->childItems();
    for (QQuickItem *item : ItemTree::visibleTextItems(m_window->contentItem())) {
        const QString text = item->property("text").toString();
        if (text.isEmpty() || item->opacity() == 0)
            continue;
        const QString what = QStringLiteral("\"%1\" (%2)").arg(text, item->objectName());
        const qreal w = item->property("contentWidth").toReal();
        const qreal h = item->property("contentHeight").toReal();
        if (item->property("truncated").toBool())
            problems << what + QStringLiteral(" is cut");
        if (w > item->width() + 1 || h > item->height() + 1)
            problems << what
                    + QStringLiteral(" needs %1x%2 in a box of %3x%4")
                          .arg(w)
                          .arg(h)
                          .arg(item->width())
                          .arg(item->height());
        const QRectF onScreen
            = item->mapRectToScene(QRectF(0, 0, qMin(w, item->width()), qMin(h, item->height())));
        // Wholly outside it: a neighbouring tab of a swipe view, not drawn.
        const bool shown = onScreen.intersects(QRectF(0, 0, m_window->width(), m_window->height()));
        if (shown && (onScreen.left() < -1 || onScreen.right() > m_window->width() + 1))
            problems << what + QStringLiteral(" leaves the screen");
    }
    Q_UNUSED(overlay);
    return problems;
}

void tst_SettingsScreens::loginDeniedThenGranted()
{
    GUIManager &manager = m_harness->manager();
    manager.setScreen(QStringLiteral("Login"));
    QQuickItem *page = screen(QStringLiteral("Login"));
    QTRY_VERIFY(page->isVisible());
    QQuickItem *button = findItem(page, QStringLiteral("loginButton"));
    QVERIFY(button);
    QVERIFY(!button->isEnabled());

    auto press = [page](const char *key) {
        QMetaObject::invokeMethod(page, "calcNumberPressed", Q_ARG(QVariant, QString::fromLatin1(key)));
    };
    press("1");
    press("2");
    QVERIFY(button->isEnabled());
    QMetaObject::invokeMethod(page, "customLeftPressed", Q_ARG(QVariant, QStringLiteral("\u2190")));
    QCOMPARE(page->property("pin").toString(), QStringLiteral("1"));
    QMetaObject::invokeMethod(page, "customRightPressed", Q_ARG(QVariant, QStringLiteral("CLR")));
    QCOMPARE(page->property("pin").toString(), QString());
    QVERIFY(!button->isEnabled());

    // A wrong PIN: the entry empties, the block shakes, the screen stays.
    for (const char *digit : {"4", "8", "2", "7"})
        press(digit);
    QObject *shake = page->property("shake").value<QObject *>();
    QVERIFY(shake);
    QMetaObject::invokeMethod(page, "login");
    QTRY_VERIFY(m_harness->log().contains(QStringLiteral("[QML] Settings access denied")));
    QCOMPARE(page->property("pin").toString(), QString());
    QVERIFY(shake->property("running").toBool());
    QCOMPARE(manager.screen(), QStringLiteral("Login"));

    // Hiding the block forgets what was typed.
    press("9");
    manager.setScreen(QStringLiteral("ScanScreens"));
    QTRY_VERIFY(!page->isVisible());
    QCOMPARE(page->property("pin").toString(), QString());

    login();
    QVERIFY(m_harness->log().contains(QStringLiteral("[QML] Settings access granted")));
}

void tst_SettingsScreens::menuOpensOnePageAndReturnsOnLeaving()
{
    login();
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    QTRY_VERIFY(settings->isVisible());
    QQuickItem *stack = settingsStack();
    QCOMPARE(stack->property("depth").toInt(), 1);

    // Two quick taps on rows: only the first opens a page.
    QVariant first, second;
    QMetaObject::invokeMethod(settings, "openPage", Q_RETURN_ARG(QVariant, first), Q_ARG(QVariant, 3));
    QMetaObject::invokeMethod(settings, "openPage", Q_RETURN_ARG(QVariant, second), Q_ARG(QVariant, 4));
    QVERIFY(first.toBool());
    QVERIFY(!second.toBool());
    QCOMPARE(stack->property("depth").toInt(), 2);
    QQuickItem *title = findItem(settings, QStringLiteral("headerTitle"));
    QCOMPARE(title->property("text").toString(), QStringLiteral("Audio"));

    // Leaving and coming back shows the menu again.
    m_harness->manager().setScreen(QStringLiteral("Login"));
    QTRY_VERIFY(!settings->isVisible());
    QCOMPARE(stack->property("depth").toInt(), 1);
    m_harness->manager().setScreen(QStringLiteral("Settings"));
    QTRY_VERIFY(settings->isVisible());
    QCOMPARE(title->property("text").toString(), QStringLiteral("Settings"));

    // A page whose document is not in the bundle leaves the menu as it is.
    QVariant missing;
    settings->setProperty("openedIndex", -1);
    QMetaObject::invokeMethod(settings, "openPage", Q_RETURN_ARG(QVariant, missing), Q_ARG(QVariant, 99));
    QVERIFY(!missing.toBool());
    QCOMPARE(stack->property("depth").toInt(), 1);
}

void tst_SettingsScreens::optionsConfirmBeforeActing()
{
    login();
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    QTRY_VERIFY(settings->isVisible());
    QObject *menu = settings->property("optionsMenu").value<QObject *>();
    QObject *confirmation = settings->property("confirmation").value<QObject *>();
    QObject *configPopup = settings->property("configPopup").value<QObject *>();
    QVERIFY(menu && confirmation && configPopup);

    // "Reboot" asks first; "No" does nothing.
    QObject *reboot = menuItem(menu, QStringLiteral("rebootItem"));
    QVERIFY(reboot);
    QMetaObject::invokeMethod(reboot, "triggered");
    QTRY_VERIFY(confirmation->property("opened").toBool());
    const int before = m_harness->peer().count(QStringLiteral("vorn/inspector/system/reboot"));
    QMetaObject::invokeMethod(confirmation, "buttonNoPressed");
    QMetaObject::invokeMethod(confirmation, "close");
    QTRY_VERIFY(!confirmation->property("visible").toBool());
    QCOMPARE(m_harness->manager().screen(), QStringLiteral("Settings"));
    QCOMPARE(m_harness->peer().count(QStringLiteral("vorn/inspector/system/reboot")), before);

    // The configuration popup keeps the barcode reader on while it is open.
    QObject *scan = menuItem(menu, QStringLiteral("scanConfigItem"));
    QMetaObject::invokeMethod(scan, "triggered");
    QTRY_VERIFY(configPopup->property("opened").toBool());
    QVERIFY(m_harness->peer().waitFor(QStringLiteral("vorn/barcode/enable"), 5000));
    m_harness->setValidator(QStringLiteral("degraded"), true);
    QMetaObject::invokeMethod(configPopup, "close");
    QVERIFY(m_harness->peer().waitFor(QStringLiteral("vorn/barcode/disable"), 5000));
    m_harness->setValidator(QStringLiteral("degraded"));

    emit m_harness->manager().barcodeConfigurationApplied(
        {QStringLiteral("OBC URL : http://127.0.0.1:8080")});
    QTRY_VERIFY(configPopup->property("opened").toBool());
    QCOMPARE(configPopup->property("text").toString(),
             QStringLiteral("CONFIGURATION APPLIED\nOBC URL : http://127.0.0.1:8080"));
    QMetaObject::invokeMethod(configPopup, "close");
    QTRY_VERIFY(!configPopup->property("visible").toBool());
}

void tst_SettingsScreens::validatorSaveFollowsChanges()
{
    login();
    openPage(0);
    QQuickItem *validator = currentPage();
    QVERIFY(validator);
    QQuickItem *configure = findItem(validator, QStringLiteral("configureButton"));
    QVERIFY(configure);
    QMetaObject::invokeMethod(configure, "clicked");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 3);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
    QQuickItem *config = currentPage();
    QQuickItem *save = findItem(config, QStringLiteral("saveButton"));
    QObject *shutdownBox = config->property("shutdownBox").value<QObject *>();
    QVERIFY(save && shutdownBox);

    const int stored = m_harness->manager().shutdownDelaySec();
    QQuickItem *shutdownText = shutdownBox->property("contentItem").value<QQuickItem *>();
    QVERIFY(!save->isEnabled());
    typeInto(shutdownText, QString::number(stored + 5));
    QVERIFY(save->isEnabled());
    typeInto(shutdownText, QString::number(stored));
    QVERIFY(!save->isEnabled());

    // Typed, not committed by Enter or a change of focus: Save takes it all the same.
    typeInto(shutdownText, QString::number(stored + 5));
    tap(save);
    QCOMPARE(m_harness->manager().shutdownDelaySec(), stored + 5);
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 2);
    m_harness->manager().setShutdownDelaySec(stored);
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
}

void tst_SettingsScreens::audioAndDisplayReachTheirServices()
{
    login();
    LogCapture &log = m_harness->log();

    // Releasing the volume slider plays the sample first, then sets the volume.
    openPage(3);
    QQuickItem *audio = currentPage();
    QObject *slider = audio->property("volumeSlider").value<QObject *>();
    QVERIFY(slider);
    log.clear();
    slider->setProperty("value", 40);
    QMetaObject::invokeMethod(audio, "volumeReleased", Q_ARG(QVariant, 40));
    const int played = log.indexOf(QStringLiteral("[Inspector] Playing audio file (card='internal') : "
                                                  "/opt/vorn/tallyport/Valid.wav"));
    const int set = log.indexOf(QStringLiteral("[Inspector] Setting 'internal' audio volume : 40%"));
    QVERIFY(played >= 0);
    QVERIFY(set > played);
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);

    // The display page has the board report its sensor only while it is open.
    log.clear();
    openPage(4);
    // A number typed and ended with the keyboard's Enter applies at once.
    QObject *offBox = currentPage()->property("offBox").value<QObject *>();
    QVERIFY(offBox);
    const int offMin = m_harness->manager().displayOffMin();
    typeInto(offBox->property("contentItem").value<QQuickItem *>(), QString::number(offMin + 7));
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings"))->property("keyboard").value<QObject *>(),
                              "press", Q_ARG(QVariant, QStringLiteral("\u23ce")));
    QCOMPARE(m_harness->manager().displayOffMin(), offMin + 7);
    m_harness->manager().setDisplayOffMin(offMin);
    QVERIFY(log.contains(QStringLiteral("[Board] Monitor started : 1000 msec(s)")));
    QVERIFY(!log.contains(QStringLiteral("[Board] Monitor stopped")));
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_VERIFY(log.contains(QStringLiteral("[Board] Monitor stopped")));
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::regionFollowsLocaleAndZone()
{
    login();
    GUIManager &manager = m_harness->manager();
    manager.setLanguage(QStringLiteral("el_GR"));
    openPage(2);
    QQuickItem *region = currentPage();
    QObject *localeBox = region->property("localeBox").value<QObject *>();
    QObject *zoneBox = region->property("timezoneBox").value<QObject *>();
    QVERIFY(localeBox && zoneBox);
    QCOMPARE(localeBox->property("currentText").toString(), QStringLiteral("el_GR"));
    QCOMPARE(findItem(region, QStringLiteral("languageFlag"))->property("source").toString(),
             QStringLiteral("qrc:/qml/images/Flags/gr.png"));

    // Opening the page reads the zone list and the current zone.
    QTRY_COMPARE(zoneBox->property("currentText").toString(), QStringLiteral("Europe/Vienna"));

    // Choosing a locale switches the whole interface's language.
    localeBox->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(localeBox, "activated", Q_ARG(int, 1));
    QCOMPARE(manager.language(), QStringLiteral("en_IE"));
    QCOMPARE(findItem(region, QStringLiteral("currencyText"))->property("text").toString(),
             QStringLiteral("\u20ac0.99"));
    manager.setLanguage(QStringLiteral("el_GR"));
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::regionReadsTheZoneOncePerChange()
{
    login();
    backToMenu();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString calls = dir.filePath(QStringLiteral("calls"));
    qputenv("TIMEDATECTL_STANDIN_ARGS", calls.toLocal8Bit());
    const auto queries = [&calls] {
        QFile file(calls);
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        // One entry per call: its arguments, recorded one per line in brackets.
        QStringList result;
        const QStringList records
            = QString::fromUtf8(file.readAll()).split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
        for (const QString &record : records) {
            QStringList arguments = record.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (QString &argument : arguments)
                argument = argument.mid(1, argument.size() - 2);
            result << arguments.join(QLatin1Char(' '));
        }
        return result;
    };

    openPage(2);
    QQuickItem *region = currentPage();
    QVERIFY(region && settingsStack()->property("depth").toInt() == 2);
    QObject *zoneBox = region->property("timezoneBox").value<QObject *>();
    QTRY_COMPARE(zoneBox->property("currentText").toString(), QStringLiteral("Europe/Vienna"));
    QCOMPARE(queries(), QStringList {QStringLiteral("status")});

    // Bindings evaluated again (a language change) run no command.
    GUIManager &manager = m_harness->manager();
    manager.setLanguage(QStringLiteral("en_IE"));
    manager.setLanguage(QStringLiteral("el_GR"));
    QTest::qWait(100);
    QCOMPARE(queries().size(), 1);

    // A chosen zone is set, and the page reads the zone again once.
    // The two recorded zones; the empty last line of the list is no choice.
    QCOMPARE(zoneBox->property("count").toInt(), 2);
    const int index = 0;
    zoneBox->setProperty("currentIndex", index);
    QMetaObject::invokeMethod(zoneBox, "activated", Q_ARG(int, index));
    const QStringList after = queries();
    QCOMPARE(after.filter(QStringLiteral("set-timezone")).size(), 1);
    // The clock's own look before setting, then the page's one read.
    QVERIFY2(after.filter(QStringLiteral("status")).size() <= 3, qPrintable(after.join(QLatin1Char('|'))));
    // The recorded system kept its zone, and the page says so.
    QCOMPARE(zoneBox->property("currentText").toString(), QStringLiteral("Europe/Vienna"));
    qunsetenv("TIMEDATECTL_STANDIN_ARGS");
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::barcodeTestCountsOnlyTheBarcodeReader()
{
    login();
    backToMenu();
    openPage(1);
    QQuickItem *page = currentPage();
    QVERIFY(page && settingsStack()->property("depth").toInt() == 2);
    QObject *diagnostics = m_harness->manager().property("diagnostics").value<QObject *>();
    QVERIFY(diagnostics);
    diagnostics->setProperty("barcodeScan", QString());
    QObject *message = page->property("messagePopup").value<QObject *>();

    tap(findItem(page, QStringLiteral("button_barcode")));
    QTRY_VERIFY(message->property("opened").toBool());
    QVERIFY(m_harness->peer().waitFor(QStringLiteral("vorn/barcode/enable"), 5000));
    // A card tapped on the reader that stays on is no barcode read.
    m_harness->send(QStringLiteral("vorn/blm/rfid/scanned"),
                    R"({"transaction": {"result": true, "type": 2, "fareProductName": "Purse"}})");
    QTest::qWait(200);
    QCOMPARE(diagnostics->property("barcodeScan").toString(), QString());
    QVERIFY(message->property("opened").toBool());
    m_harness->send(QStringLiteral("vorn/blm/barcode/scanned"),
                    R"({"transaction": {"result": true, "type": 0}})");
    QTRY_COMPARE(diagnostics->property("barcodeScan").toString(), QStringLiteral("OK"));
    QTRY_VERIFY(!message->property("visible").toBool());

    // With no test running, a barcode read counts for nothing.
    diagnostics->setProperty("barcodeScan", QString());
    m_harness->send(QStringLiteral("vorn/blm/barcode/scanned"),
                    R"({"transaction": {"result": true, "type": 0}})");
    QTest::qWait(200);
    QCOMPARE(diagnostics->property("barcodeScan").toString(), QString());
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::ethernetFormRefusesWhatCannotWork()
{
    login();
    backToMenu();
    m_harness->send(QStringLiteral("vorn/network/ethernet/state"),
                    R"({"interface": "eth0", "stateStr": "Connected"})");
    m_harness->send(
        QStringLiteral("vorn/network/ethernet/config"),
        R"({"interface": "eth0", "method": "auto", "address": "", "netmask": "", "gateway": ""})");
    openPage(5);
    QQuickItem *ethernetTab = findItem(currentPage(), QStringLiteral("ethernetPage"));
    QVERIFY(ethernetTab);
    QMetaObject::invokeMethod(ethernetTab, "configure");
    QQuickItem *form = pushedPage(3);
    QVERIFY(form);
    QCOMPARE(form->objectName(), QStringLiteral("ethernetConfig"));
    QObject *mode = form->property("modeBox").value<QObject *>();
    mode->setProperty("currentIndex", 1);
    QMetaObject::invokeMethod(mode, "activated", Q_ARG(int, 1));
    QObject *info = form->property("infoPopup").value<QObject *>();
    QQuickItem *save = findItem(form, QStringLiteral("saveButton"));
    const QString request = QStringLiteral("vorn/network/ethernet/config/set");
    m_harness->peer().clear();

    struct Case
    {
        const char *mask;
        const char *gateway;
        const char *message;
    };
    for (const Case &c :
         {Case {"255.0.255.0", "", "IPv4 netmask is not a valid network mask"},
          Case {"255.255.255.0", "10.0.1.1", "IPv4 gateway is not in the address's network"}}) {
        typeInto(findItem(form, QStringLiteral("addressField")), QStringLiteral("10.0.0.9"));
        typeInto(findItem(form, QStringLiteral("maskField")), QLatin1String(c.mask));
        typeInto(findItem(form, QStringLiteral("gatewayField")), QLatin1String(c.gateway));
        tap(save);
        QTRY_VERIFY(info->property("opened").toBool());
        QCOMPARE(info->property("text").toString(), QLatin1String(c.message));
        QMetaObject::invokeMethod(info, "close");
        QTRY_VERIFY(!info->property("visible").toBool());
    }
    QTest::qWait(200);
    QCOMPARE(m_harness->peer().count(request), 0);

    typeInto(findItem(form, QStringLiteral("gatewayField")), QStringLiteral("10.0.0.1"));
    tap(save);
    QVERIFY(m_harness->peer().waitFor(request, 5000));
    const QJsonObject sent = QJsonDocument::fromJson(m_harness->peer().payloads(request).first()).object();
    QCOMPARE(sent.value(QStringLiteral("method")).toString(), QStringLiteral("manual"));
    QCOMPARE(sent.value(QStringLiteral("netmask")).toString(), QStringLiteral("255.255.255.0"));
    QCOMPARE(sent.value(QStringLiteral("gateway")).toString(), QStringLiteral("10.0.0.1"));
    QVERIFY(pushedPage(2));
    QMetaObject::invokeMethod(screen(QStringLiteral("Settings")), "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

namespace {
// Translates exactly the texts the translation tool found, marked so that a
// text shown without passing through it stands out.
class ToolCatalogue : public QTranslator
{
public:
    bool load(const QString &tsFile)
    {
        QFile file(tsFile);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QXmlStreamReader xml(&file);
        QString context;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                m_texts.insert(context + QLatin1Char('|') + xml.readElementText());
        }
        return !xml.hasError() && !m_texts.isEmpty();
    }
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        const QString text = QString::fromUtf8(source);
        if (!m_texts.contains(QString::fromUtf8(context) + QLatin1Char('|') + text))
            return QString();
        return QStringLiteral("\u2039") + text + QStringLiteral("\u203a");
    }

private:
    QSet<QString> m_texts;
};
} // namespace

// The maintenance pages stay English, but every text they show must reach a
// later catalogue: the translation tool must find it, and a text already on
// screen must follow a change of language.
void tst_SettingsScreens::translatorSeesEveryText()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ts = dir.filePath(QStringLiteral("settings.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral("lupdate"),
                  {QStringLiteral("-silent"), QStringLiteral(TALLYPORT_SOURCE_DIR "/qml/screens/settings"),
                   QStringLiteral("-ts"), ts});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    ToolCatalogue catalogue;
    QVERIFY(catalogue.load(ts));

    login();
    backToMenu();
    GUIManager &manager = m_harness->manager();
    manager.setLanguage(QStringLiteral("en_IE"));
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    openPage(1);
    QQuickItem *diagnostics = currentPage();
    QVERIFY(diagnostics && settingsStack()->property("depth").toInt() == 2);
    QObject *message = diagnostics->property("messagePopup").value<QObject *>();
    tap(findItem(diagnostics, QStringLiteral("button_rfid")));
    QTRY_VERIFY(message->property("opened").toBool());

    QVERIFY(QCoreApplication::installTranslator(&catalogue));
    const auto cleanup = qScopeGuard([&] {
        QCoreApplication::removeTranslator(&catalogue);
        manager.setLanguage(QStringLiteral("en_IE"));
    });
    // A change of language, as the region page makes it (the Greek catalogue
    // has no entry for these pages, so the tool's one answers).
    manager.setLanguage(QStringLiteral("el_GR"));
    QTRY_COMPARE(message->property("text").toString(), QStringLiteral("\u2039Tap a card\u203a"));
    QCOMPARE(findItem(diagnostics, QStringLiteral("diagRow_rtc"))->property("title").toString(),
             QStringLiteral("\u2039RTC\u203a"));
    QMetaObject::invokeMethod(message, "close");
    QTRY_VERIFY(!message->property("visible").toBool());

    emit manager.barcodeConfigurationApplied({QStringLiteral("OBC : http://10.0.0.5")});
    QObject *configPopup = settings->property("configPopup").value<QObject *>();
    QTRY_VERIFY(configPopup->property("opened").toBool());
    QCOMPARE(configPopup->property("text").toString(),
             QStringLiteral("\u2039CONFIGURATION APPLIED\u203a\nOBC : http://10.0.0.5"));
    QMetaObject::invokeMethod(configPopup, "close");
    QTRY_VERIFY(!configPopup->property("visible").toBool());
    QMetaObject::invokeMethod(settings, "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());

    // Every refusal of the Ethernet form.
    m_harness->send(QStringLiteral("vorn/network/ethernet/state"), R"({"interface": "eth0"})");
    openPage(5);
    QMetaObject::invokeMethod(findItem(currentPage(), QStringLiteral("ethernetPage")), "configure");
    QQuickItem *form = pushedPage(3);
    QVERIFY(form);
    QObject *info = form->property("infoPopup").value<QObject *>();
    const QMetaEnum problems = QMetaEnum::fromType<IPv4::Problem>();
    for (int i = 0; i < problems.keyCount(); ++i) {
        if (problems.value(i) == IPv4::NoProblem)
            continue;
        form->setProperty("problem", QString::fromLatin1(problems.key(i)));
        const QString english = IPv4::problemText(IPv4::Problem(problems.value(i)));
        QCOMPARE(info->property("text").toString(),
                 QStringLiteral("\u2039") + english + QStringLiteral("\u203a"));
    }
    QMetaObject::invokeMethod(settings, "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 2);
    QMetaObject::invokeMethod(settings, "back");
    QTRY_COMPARE(settingsStack()->property("depth").toInt(), 1);
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
}

void tst_SettingsScreens::capture_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("shot");
    QTest::addColumn<int>("page");
    QTest::addColumn<qreal>("scroll");

    for (const QString &language : {QStringLiteral("el_GR"), QStringLiteral("en_IE")}) {
        auto row = [&](const char *shot, int page, qreal scroll = 0) {
            QTest::newRow(qPrintable(language + QLatin1Char('-') + QLatin1String(shot)))
                << language << QString::fromLatin1(shot) << page << scroll;
        };
        row("Login", -1);
        row("Login-entered", -1);
        row("Settings-menu", -1);
        row("Settings-options", -1);
        row("Settings-confirm", -1);
        row("Settings-Validator", 0);
        row("Settings-Validator-end", 0, 1.0);
        row("Settings-ValidatorConfig", 0);
        row("Settings-ValidatorConfig-range", 0);
        row("Settings-applied", -1);
        row("Settings-Diagnostics-card", 1);
        row("Settings-Diagnostics", 1);
        row("Settings-Region", 2);
        row("Settings-Audio", 3);
        row("Settings-Display", 4);
        row("Settings-Network", 5);
        row("Settings-Update", 6);
        row("Settings-EventLog", 7);
    }
}

void tst_SettingsScreens::capture()
{
    QFETCH(QString, language);
    QFETCH(QString, shot);
    QFETCH(int, page);
    QFETCH(qreal, scroll);

    GUIManager &manager = m_harness->manager();
    manager.setLanguage(language);
    m_warnings.clear();
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    QObject *menu = settings->property("optionsMenu").value<QObject *>();
    QObject *confirmation = settings->property("confirmation").value<QObject *>();

    if (shot.startsWith(QLatin1String("Login"))) {
        manager.setScreen(QStringLiteral("ScanScreens"));
        manager.setScreen(QStringLiteral("Login"));
        QQuickItem *login = screen(QStringLiteral("Login"));
        QTRY_VERIFY(login->isVisible());
        if (shot.endsWith(QLatin1String("entered")))
            login->setProperty("pin", QStringLiteral("48261"));
    } else {
        login();
        QTRY_VERIFY(settings->isVisible());
        backToMenu();
        if (page >= 0) {
            const QString document = settings->property("pages")
                                         .toList()
                                         .value(page)
                                         .toMap()
                                         .value(QStringLiteral("page"))
                                         .toString();
            // Every menu page ships; one gone from the bundle is a fault, not a gap.
            QVERIFY2(QFile::exists(QStringLiteral(":/qml/screens/settings/") + document),
                     qPrintable(QStringLiteral("menu page missing from the bundle: ") + document));
            openPage(page);
        }
        if (shot == QLatin1String("Settings-options")) {
            QMetaObject::invokeMethod(menu, "open");
            QTRY_VERIFY(menu->property("opened").toBool());
        }
        if (shot == QLatin1String("Settings-confirm")) {
            QMetaObject::invokeMethod(confirmation, "open");
            QTRY_VERIFY(confirmation->property("opened").toBool());
        }
        if (shot == QLatin1String("Settings-applied")) {
            emit manager.barcodeConfigurationApplied(
                {QStringLiteral("OBC : http://10.0.0.5:8080/obc"), QStringLiteral("Method : manual"),
                 QStringLiteral("Address : 192.168.10.37"), QStringLiteral("Netmask : 255.255.255.0"),
                 QStringLiteral("Gateway : 192.168.10.1"), QStringLiteral("DNS #0 : 192.168.10.1"),
                 QStringLiteral("DNS #1 : ")});
            QObject *popup = settings->property("configPopup").value<QObject *>();
            QTRY_VERIFY(popup->property("opened").toBool());
        }
        if (shot == QLatin1String("Settings-Diagnostics-card")) {
            QObject *message = currentPage()->property("messagePopup").value<QObject *>();
            QMetaObject::invokeMethod(currentPage(), "runTest", Q_ARG(QVariant, QStringLiteral("rfid")));
            m_harness->send(QStringLiteral("vorn/rfid/card/found"),
                            R"({"uid": "04A1B2C3D4E5F6", "type": 2})");
            QTRY_VERIFY(message->property("opened").toBool());
            QTRY_VERIFY(message->property("text").toString().contains(QLatin1String("04A1B2C3D4E5F6")));
        }
        if (shot == QLatin1String("Settings-ValidatorConfig-range"))
            manager.setShutdownDelaySec(2000);
        if (shot.startsWith(QLatin1String("Settings-ValidatorConfig"))) {
            QMetaObject::invokeMethod(findItem(currentPage(), QStringLiteral("configureButton")), "clicked");
            QTRY_VERIFY(!settingsStack()->property("busy").toBool());
            QTRY_COMPARE(settingsStack()->property("depth").toInt(), 3);
        }
        if (scroll > 0) {
            QQuickItem *flick = currentPage();
            const qreal end = flick->property("contentHeight").toReal() - flick->height();
            flick->setProperty("contentY", qMax<qreal>(0, end * scroll));
        }
    }
    QTRY_VERIFY(!settingsStack()->property("busy").toBool());
    waitForImages();

    const QImage image = m_window->grabWindow();
    QCOMPARE(image.size(), QSize(480, 800));
    const QString file = QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots/")
        + QLatin1String(QTest::currentDataTag()) + ".png";
    QVERIFY2(image.save(file), qPrintable(file));

    const QStringList problems = fitProblems();
    // Back to the menu for the next shot, whatever happened here.
    QMetaObject::invokeMethod(menu, "close");
    QMetaObject::invokeMethod(confirmation, "close");
    QMetaObject::invokeMethod(settings->property("configPopup").value<QObject *>(), "close");
    if (shot == QLatin1String("Settings-ValidatorConfig-range"))
        manager.setShutdownDelaySec(60);
    if (QObject *message
        = currentPage() ? currentPage()->property("messagePopup").value<QObject *>() : nullptr)
        QMetaObject::invokeMethod(message, "close");
    while (settingsStack()->property("depth").toInt() > 1) {
        QMetaObject::invokeMethod(settings, "back");
        QTRY_VERIFY(!settingsStack()->property("busy").toBool());
    }
    QTRY_VERIFY(!confirmation->property("visible").toBool());
    QTRY_VERIFY(!menu->property("visible").toBool());

    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(QLatin1Char('\n'))));
}

void tst_SettingsScreens::logoutLeavesSettings()
{
    login();
    QQuickItem *settings = screen(QStringLiteral("Settings"));
    QObject *menu = settings->property("optionsMenu").value<QObject *>();
    QObject *logout = menuItem(menu, QStringLiteral("logoutItem"));
    QVERIFY(logout);
    QMetaObject::invokeMethod(logout, "triggered");
    QTRY_VERIFY(m_harness->manager().screen() != QLatin1String("Settings"));
}

QTEST_MAIN(tst_SettingsScreens)

#include "tst_SettingsScreens.moc"
