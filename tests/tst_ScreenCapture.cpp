#include "ItemTree.h"
#include "ManagerStandIn.h"
#include "Resources.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtTest>

// Renders every passenger screen of the real main window in both languages,
// writes each one to build/screenshots/ for people to look at, and checks that
// every text shown fits its box and the screen.
using ItemTree::findItem;
using ItemTree::textItems;

class tst_ScreenCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void screens_data();
    void screens();
    void languageSwitchRetranslatesAtOnce();
    void animationFramesSitOnTheBackdrop();
    void hiddenScreensJoinAfterTheFirstFrame();

private:
    struct Shot
    {
        QString screen;
        QVariantMap transaction;
        QString message;
        QString setup;
    };

    static QVariantMap transaction(int type, bool valid, int denyReasonId = 0, const char *denyReason = "");
    QQuickItem *screenItem(const QString &name) const;
    void show(const Shot &shot);
    QStringList fitProblems() const;

    QQmlApplicationEngine *m_engine = nullptr;
    ManagerStandIn *m_manager = nullptr;
    QQuickWindow *m_window = nullptr;
    QObject m_services;
    QDir m_out;
    QStringList m_warnings;
};

QVariantMap tst_ScreenCapture::transaction(int type, bool valid, int denyReasonId, const char *denyReason)
{
    // The shape of the controller's map of a validation result.
    QVariantMap details {{QStringLiteral("fromStopGroupName"), QString()},
                         {QStringLiteral("toStopGroupName"), QString()},
                         {QStringLiteral("deducted"), 0.0},
                         {QStringLiteral("remaining"), 0.0},
                         {QStringLiteral("activationTimestamp"), QDateTime()},
                         {QStringLiteral("expires"), QDateTime()},
                         {QStringLiteral("transferRemainingMin"), 0}};
    QString product = QStringLiteral("Single ticket 90'");
    switch (type) {
    case 0:
        details[QStringLiteral("fromStopGroupName")] = QStringLiteral("Central Station");
        details[QStringLiteral("toStopGroupName")] = QStringLiteral("Airport");
        details[QStringLiteral("transferRemainingMin")] = 87;
        break;
    case 2:
    case 15:
        details[QStringLiteral("deducted")] = 1.2;
        details[QStringLiteral("remaining")] = 1234.5;
        product = type == 2 ? QStringLiteral("Stored value") : QStringLiteral("Daily capping, stored value");
        break;
    case 5:
    case 12:
    case 16:
        details[QStringLiteral("remaining")] = 9;
        details[QStringLiteral("transferRemainingMin")] = 2160;
        product = QStringLiteral("10 trips with transfer, reduced fare for students and seniors");
        break;
    case 8:
        details[QStringLiteral("remaining")] = 43200;
        details[QStringLiteral("expires")] = QDateTime(QDate(2026, 12, 24), QTime(23, 59));
        product = QStringLiteral("Monthly pass, all zones");
        break;
    case 14:
        details[QStringLiteral("deducted")] = 0;
        details[QStringLiteral("remaining")] = 18.4;
        details[QStringLiteral("transferRemainingMin")] = 121;
        product = QStringLiteral("Transfer, stored value");
        break;
    default:
        product = QStringLiteral("Contactless bank card");
        break;
    }
    return {{QStringLiteral("valid"), valid},
            {QStringLiteral("type"), type},
            {QStringLiteral("denyReason"), QCoreApplication::translate("Transaction", denyReason)},
            {QStringLiteral("denyReasonId"), denyReasonId},
            {QStringLiteral("fareProduct"), product},
            {QStringLiteral("passengeType"), QStringLiteral("Adult")},
            {QStringLiteral("details"), details}};
}

void tst_ScreenCapture::initTestCase()
{
    qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
    tallyport::initResources();
    QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")) >= 0);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
    QQuickStyle::setStyle(QStringLiteral("Material"));

    m_engine = new QQmlApplicationEngine(this);
    m_engine->addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    connect(m_engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
        for (const QQmlError &w : warnings)
            m_warnings << w.toString();
    });
    m_manager = new ManagerStandIn(m_engine, this);
    m_manager->setLanguage(QStringLiteral("el_GR"));
    // Each idle animation then loops on its own, so a shot shows the one asked for.
    m_manager->setAnimSwitchSec(3600 * 1000);
    QQmlContext *context = m_engine->rootContext();
    for (const char *name : {"board", "inspector", "eventLogManager", "network", "validatorManager"})
        context->setContextProperty(QString::fromLatin1(name), &m_services);

    m_engine->load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    QCOMPARE(m_engine->rootObjects().size(), 1);
    m_window = qobject_cast<QQuickWindow *>(m_engine->rootObjects().first());
    QVERIFY(m_window);
    QCOMPARE(m_window->size(), QSize(480, 800));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    // What the software renderer (boards without a GPU) draws goes beside the rest.
    m_out.setPath(QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots"));
    if (m_window->rendererInterface()->graphicsApi() == QSGRendererInterface::Software)
        m_out.setPath(m_out.filePath(QStringLiteral("software")));
    QVERIFY(m_out.mkpath(QStringLiteral(".")));
}

void tst_ScreenCapture::cleanupTestCase()
{
    delete m_engine;
    m_engine = nullptr;
}

QQuickItem *tst_ScreenCapture::screenItem(const QString &name) const
{
    return findItem(m_window->contentItem(), name);
}

void tst_ScreenCapture::screens_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("denyReasonId");
    QTest::addColumn<QString>("denyReason");

    const QList<int> types {0, 2, 5, 8, 12, 14, 15, 16, 10};
    const QList<QPair<int, const char *>> reasons {{100, "The ticket is invalid"},
                                                   {206, "This card can no longer be used"},
                                                   {250, "The card is blocked"},
                                                   {107, "The ticket has an invalid passenger profile"}};
    for (const QString &language : {QStringLiteral("el_GR"), QStringLiteral("en_IE")}) {
        auto row = [&](const QString &screen, const QString &setup, int type = 0, int id = 0,
                       const char *reason = "") {
            QString name = language + QLatin1Char('-') + screen;
            if (!setup.isEmpty())
                name += QLatin1Char('-') + setup;
            QTest::newRow(qPrintable(name))
                << language << screen << setup << type << id << QString::fromLatin1(reason);
        };
        row(QStringLiteral("Busy"), QString());
        row(QStringLiteral("InitPage"), QString());
        row(QStringLiteral("InitPage"), QStringLiteral("keyboard"));
        row(QStringLiteral("InitPage"), QStringLiteral("confirm"));
        row(QStringLiteral("ScanScreens"), QStringLiteral("card"));
        row(QStringLiteral("ScanScreens"), QStringLiteral("ticket"));
        for (int type : types) {
            row(QStringLiteral("Valid"), QStringLiteral("type%1").arg(type), type);
            row(QStringLiteral("AlreadyValid"), QStringLiteral("type%1").arg(type), type, 207,
                "The card has already been validated");
        }
        for (const auto &reason : reasons)
            row(QStringLiteral("Invalid"), QStringLiteral("reason%1").arg(reason.first),
                reason.first < 200 ? 0 : 5, reason.first, reason.second);
        row(QStringLiteral("Retry"), QString());
        row(QStringLiteral("OutOfOrder"), QString());
        row(QStringLiteral("OutOfOrder"), QStringLiteral("description"));
        row(QStringLiteral("OutOfService"), QString());
        row(QStringLiteral("ScreenSaver"), QString());
        row(QStringLiteral("ScanScreens"), QStringLiteral("error"));
    }
}

void tst_ScreenCapture::show(const Shot &shot)
{
    QObject *errorPopup = m_window->findChild<QObject *>(QStringLiteral("errorPopup"));
    QVERIFY(errorPopup);
    QMetaObject::invokeMethod(errorPopup, "close");
    m_manager->setTransaction(shot.transaction);
    m_manager->setMessage(shot.message);
    m_manager->setScreen(shot.screen);
    QQuickItem *screen = screenItem(shot.screen);
    QVERIFY2(screen, qPrintable(shot.screen));
    QTRY_VERIFY(screen->isVisible());

    if (shot.screen == QLatin1String("ScanScreens") && shot.setup != QLatin1String("error")) {
        screen->setProperty("mode", shot.setup == QLatin1String("card") ? 0 : 1);
        screen->setProperty("frame", 3);
    }
    if (shot.screen == QLatin1String("InitPage")) {
        QObject *field = screen->property("serialField").value<QObject *>();
        QObject *confirmation = screen->property("confirmation").value<QObject *>();
        QVERIFY(field && confirmation);
        QMetaObject::invokeMethod(screen, "hideKeyboard");
        QMetaObject::invokeMethod(confirmation, "close");
        QTRY_VERIFY(!confirmation->property("visible").toBool());
        field->setProperty("text",
                           shot.setup.isEmpty() ? QStringLiteral("K123") : QStringLiteral("K12345678"));
        QQuickItem *panel = screen->property("keyboard").value<QQuickItem *>();
        QVERIFY(panel);
        if (shot.setup == QLatin1String("keyboard")) {
            QMetaObject::invokeMethod(field, "forceActiveFocus");
            QTRY_COMPARE(panel->y(), screen->height() - panel->height());
        } else {
            QTRY_COMPARE(panel->y(), screen->height());
        }
        if (shot.setup == QLatin1String("confirm")) {
            QVariant opened;
            QMetaObject::invokeMethod(screen, "submit", Q_RETURN_ARG(QVariant, opened));
            QVERIFY(opened.toBool());
            QTRY_VERIFY(confirmation->property("opened").toBool());
        }
    }
    if (shot.setup == QLatin1String("error")) {
        emit m_manager->errorOccured(QStringLiteral("Permission denied"));
        QTRY_VERIFY(errorPopup->property("opened").toBool());
    }

    // A popup of the screen before closes with a short fade; only the error
    // shot keeps one open.
    if (shot.setup != QLatin1String("error") && shot.setup != QLatin1String("confirm")) {
        QTRY_VERIFY(!ItemTree::popupShown(m_window));
    }

    // Icons load asynchronously; wait until none is loading.
    QTRY_VERIFY_WITH_TIMEOUT(!ItemTree::imagesLoading(m_window), 10000);
}

QStringList tst_ScreenCapture::fitProblems() const
{
    QStringList problems;
    const QRectF window(0, 0, m_window->width(), m_window->height());
    for (QQuickItem *item : textItems(m_window->contentItem())) {
        const QString text = item->property("text").toString();
        if (!item->isVisible() || text.isEmpty() || item->opacity() == 0)
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
        if (!window.adjusted(-1, -1, 1, 1).contains(onScreen))
            problems << what + QStringLiteral(" leaves the screen");
    }
    return problems;
}

void tst_ScreenCapture::screens()
{
    QFETCH(QString, language);
    QFETCH(QString, screen);
    QFETCH(QString, setup);
    QFETCH(int, type);
    QFETCH(int, denyReasonId);
    QFETCH(QString, denyReason);

    m_manager->setLanguage(language);
    Shot shot;
    shot.screen = screen;
    shot.setup = setup;
    const bool valid = screen == QLatin1String("Valid");
    shot.transaction = transaction(type, valid, denyReasonId, qPrintable(denyReason));
    if (screen == QLatin1String("Busy"))
        shot.message = QCoreApplication::translate("GUIManager", "Initializing");
    else if (screen == QLatin1String("OutOfOrder"))
        shot.message = setup.isEmpty()
            ? QStringLiteral("#0001")
            : QStringLiteral("#0417\nThe card reader does not answer: no SAM in slot 2, "
                             "reader firmware 3.1.7 rejected the configuration");
    m_warnings.clear();
    show(shot);

    const QImage image = m_window->grabWindow();
    QCOMPARE(image.size(), QSize(480, 800));
    const QString file
        = m_out.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png"));
    QVERIFY2(image.save(file), qPrintable(file));

    const QStringList problems = fitProblems() + ItemTree::undrawnIcons(m_window);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(QLatin1Char('\n'))));
}

void tst_ScreenCapture::languageSwitchRetranslatesAtOnce()
{
    m_manager->setLanguage(QStringLiteral("el_GR"));
    m_manager->setTransaction(transaction(2, true));
    m_manager->setScreen(QStringLiteral("InitPage"));
    QQuickItem *scan = screenItem(QStringLiteral("ScanScreens"));
    QQuickItem *initPage = screenItem(QStringLiteral("InitPage"));
    QVERIFY(scan && initPage);
    scan->setProperty("mode", 0);
    QTRY_VERIFY(initPage->isVisible());
    QObject *confirmation = initPage->property("confirmation").value<QObject *>();
    initPage->property("serialField").value<QObject *>()->setProperty("text", QStringLiteral("K12345678"));
    const QString product = QStringLiteral("Stored value");

    struct Expect
    {
        const char *screen; // none: a popup
        const char *item;
        QString greek;
        QString english;
    };
    const QList<Expect> expected {
        {"Valid", "resultTitle", QStringLiteral("ΕΓΚΥΡΟ"), QStringLiteral("VALID")},
        {"Valid", "leftLabel", QStringLiteral("Αφαιρέθηκαν"), QStringLiteral("Deducted")},
        {"Valid", "rightValue", QStringLiteral("1.234,50\u00a0€"), QStringLiteral("€1,234.50")},
        {"Valid", "resultSubtitle", product, product},
        {"AlreadyValid", "resultTitle", QStringLiteral("ΗΔΗ ΕΠΙΚΥΡΩΜΕΝΟ"),
         QStringLiteral("ALREADY VALIDATED")},
        {"Invalid", "resultTitle", QStringLiteral("ΑΚΥΡΟ"), QStringLiteral("INVALID")},
        {"Retry", "resultTitle", QStringLiteral("ΔΟΚΙΜΑΣΤΕ ΞΑΝΑ"), QStringLiteral("PLEASE TRY AGAIN")},
        {"OutOfOrder", "resultTitle", QStringLiteral("ΠΡΟΣΩΡΙΝΑ\nΕΚΤΟΣ ΛΕΙΤΟΥΡΓΙΑΣ"),
         QStringLiteral("OUT OF ORDER")},
        {"OutOfService", "resultTitle", QStringLiteral("ΕΚΤΟΣ ΥΠΗΡΕΣΙΑΣ"), QStringLiteral("OUT OF SERVICE")},
        {"ScanScreens", "scanText", QStringLiteral("ΣΑΡΩΣΤΕ ΤΗΝ\nΚΑΡΤΑ ΣΑΣ"),
         QStringLiteral("SCAN\nYOUR CARD")},
        {nullptr, "yesButton", QStringLiteral("Ναι"), QStringLiteral("Yes")},
        {nullptr, "noButton", QStringLiteral("Όχι"), QStringLiteral("No")},
    };
    auto shown = [this](const Expect &e) {
        QQuickItem *within = e.screen ? screenItem(QString::fromLatin1(e.screen)) : m_window->contentItem();
        QQuickItem *item = findItem(within, QString::fromLatin1(e.item));
        if (!item)
            return QStringLiteral("<missing>");
        const auto texts = textItems(item);
        return texts.isEmpty() ? item->property("text").toString()
                               : texts.first()->property("text").toString();
    };

    for (const QString &language :
         {QStringLiteral("el_GR"), QStringLiteral("en_IE"), QStringLiteral("el_GR")}) {
        const bool greek = language == QLatin1String("el_GR");
        // Screen texts are checked without returning to the event loop: they
        // follow the language change itself, not a later repaint or reload.
        m_manager->setLanguage(language);
        for (const Expect &e : expected) {
            if (e.screen)
                QCOMPARE(shown(e), greek ? e.greek : e.english);
        }
        // The confirmation, built long before, is opened after the change.
        QVariant opened;
        QMetaObject::invokeMethod(initPage, "submit", Q_RETURN_ARG(QVariant, opened));
        QVERIFY(opened.toBool());
        for (const Expect &e : expected) {
            if (!e.screen)
                QCOMPARE(shown(e), greek ? e.greek : e.english);
        }
        QMetaObject::invokeMethod(confirmation, "close");
        QTRY_VERIFY(!confirmation->property("visible").toBool());
    }
}

// The idle animation's frames are opaque, with the backdrop laid in where
// the screen shows them (the window draws them without blending). Moving
// them, or a new backdrop without new frames, would show a patch of the wrong
// backdrop: the columns at their left, where no frame draws anything of its
// own, must be the backdrop at the place the screen puts them. The screen
// shows each frame as the first with a part of it laid over: the window must
// show every whole frame exactly, whichever frame comes after which.
void tst_ScreenCapture::animationFramesSitOnTheBackdrop()
{
    QObject *errorPopup = m_window->findChild<QObject *>(QStringLiteral("errorPopup"));
    QVERIFY(errorPopup);
    QMetaObject::invokeMethod(errorPopup, "close");
    QTRY_VERIFY(!ItemTree::popupShown(m_window));
    m_manager->setScreen(QStringLiteral("ScanScreens"));
    QQuickItem *scan = screenItem(QStringLiteral("ScanScreens"));
    QVERIFY(scan);
    QTRY_VERIFY(scan->isVisible());
    QQuickItem *animation = findItem(scan, QStringLiteral("animation"));
    QVERIFY(animation);
    const QPoint placed = animation->mapToScene(QPointF(0, 0)).toPoint();
    QCOMPARE(placed, QPoint(0, 202));
    QCOMPARE(animation->property("smooth").toBool(), false);

    const QImage backdrop
        = QImage(QStringLiteral(":/qml/images/background.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(backdrop.size(), m_window->size());
    const int emptyColumns = 17;
    const QString frames = QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/artwork/frames/%1/%2.png");
    const char *folders[] = {"NFC", "Barcode"};
    QVector<QImage> whole[2];
    for (int mode = 0; mode < 2; ++mode) {
        for (int n = 0;; ++n) {
            const QString path = frames.arg(QLatin1String(folders[mode])).arg(n);
            if (!QFile::exists(path))
                break;
            const QImage frame(path);
            QVERIFY2(!frame.isNull(), qPrintable(path));
            QVERIFY2(!frame.hasAlphaChannel(), qPrintable(path + QStringLiteral(" is not opaque")));
            QCOMPARE(frame.size(), animation->size().toSize());
            whole[mode] << frame.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < frame.height(); ++y) {
                for (int x = 0; x < emptyColumns; ++x) {
                    const QRgb mine = frame.pixel(x, y);
                    const QRgb under = backdrop.pixel(placed.x() + x, placed.y() + y);
                    if (mine != under)
                        QFAIL(qPrintable(QStringLiteral("%1 at %2,%3: #%4, the backdrop there: #%5")
                                             .arg(path)
                                             .arg(x)
                                             .arg(y)
                                             .arg(mine & 0xffffff, 6, 16, QLatin1Char('0'))
                                             .arg(under & 0xffffff, 6, 16, QLatin1Char('0'))));
                }
            }
        }
        QCOMPARE(whole[mode].size(), scan->property("lastFrames").toList().value(mode).toInt() + 1);
    }

    // The words beside the animation would cover part of every frame.
    QQuickItem *words = findItem(scan, QStringLiteral("scanText"));
    QVERIFY(words);
    words->setVisible(false);
    const auto showWords = qScopeGuard([words] { words->setVisible(true); });

    // Backwards through each animation, then across from one to the other,
    // so a part is never only ever laid over the frame before it.
    QVector<QPair<int, int>> order;
    for (int mode = 0; mode < 2; ++mode) {
        for (int n = whole[mode].size() - 1; n >= 0; --n)
            order.append({mode, n});
    }
    order.append({0, 3});
    order.append({1, 4});
    order.append({0, 0});
    for (const auto &wanted : order) {
        // The idle timer may step on while the pictures load: what is compared
        // is the frame shown at the moment of the grab, until it is the one
        // wanted.
        QPair<int, int> shown {-1, -1};
        for (int attempt = 0; attempt < 10 && shown != wanted; ++attempt) {
            scan->setProperty("mode", wanted.first);
            scan->setProperty("frame", wanted.second);
            QTRY_VERIFY(!ItemTree::imagesLoading(m_window));
            shown = {scan->property("mode").toInt(), scan->property("frame").toInt()};
            const QImage shot = m_window->grabWindow()
                                    .convertToFormat(QImage::Format_RGB32)
                                    .copy(QRect(placed, animation->size().toSize()));
            const QImage &expected = whole[shown.first].value(shown.second);
            QVERIFY(!expected.isNull());
            if (shot != expected) {
                const QString file
                    = m_out.filePath(QStringLiteral("frame-%1-%2.png").arg(shown.first).arg(shown.second));
                shot.save(file);
                QFAIL(qPrintable(QStringLiteral("frame %1 of animation %2 is not shown as drawn: see %3")
                                     .arg(shown.second)
                                     .arg(shown.first)
                                     .arg(file)));
            }
        }
        QCOMPARE(shown, wanted);
    }
}

// Every screen is built at start, but a hidden one joins the window only once
// the first frame is out; one shown before that is in it, and shown, at once.
void tst_ScreenCapture::hiddenScreensJoinAfterTheFirstFrame()
{
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
    // Outlives the window, as the controller does.
    auto *manager = new ManagerStandIn(&engine, &engine);
    for (const char *name : {"board", "inspector", "eventLogManager", "network", "validatorManager"})
        engine.rootContext()->setContextProperty(QString::fromLatin1(name), &m_services);
    engine.load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    QCOMPARE(engine.rootObjects().size(), 1);
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QVERIFY(window);
    QQuickItem *root = window->contentItem();

    // Loaded, nothing drawn yet.
    QVERIFY(findItem(root, QStringLiteral("Busy")));
    QVERIFY(!findItem(root, QStringLiteral("Settings")));
    manager->setScreen(QStringLiteral("Login"));
    QQuickItem *login = findItem(root, QStringLiteral("Login"));
    QVERIFY(login);
    QVERIFY(login->isVisible());

    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QVariantMap screens = window->property("screens").toMap();
    QCOMPARE(screens.size(), 12);
    for (auto it = screens.cbegin(); it != screens.cend(); ++it) {
        const auto *screen = qobject_cast<QQuickItem *>(it.value().value<QObject *>());
        QVERIFY2(screen, qPrintable(it.key()));
        QTRY_VERIFY2(screen->parentItem() == login->parentItem(), qPrintable(it.key()));
        QCOMPARE(screen->isVisible(), it.key() == QLatin1String("Login"));
    }
}

QTEST_MAIN(tst_ScreenCapture)

#include "moc_ManagerStandIn.cpp"
#include "tst_ScreenCapture.moc"
