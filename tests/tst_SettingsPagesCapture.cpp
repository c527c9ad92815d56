#include "ItemTree.h"
#include "ManagerStandIn.h"
#include "Resources.h"

#include <QDir>
#include <QFontDatabase>
#include <QQmlApplicationEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtTest>

// The controller stand-in plus the two objects the maintenance pages reach
// through it.
class SettingsManagerStandIn : public ManagerStandIn
{
    Q_OBJECT
    Q_PROPERTY(QObject *update READ update CONSTANT)
    Q_PROPERTY(QObject *diagnostics READ diagnostics CONSTANT)

public:
    SettingsManagerStandIn(QQmlEngine *engine, QObject *update, QObject *diagnostics, QObject *parent)
        : ManagerStandIn(engine, parent), m_update(update), m_diagnostics(diagnostics)
    {
    }
    QObject *update() const { return m_update; }
    QObject *diagnostics() const { return m_diagnostics; }

private:
    QObject *m_update;
    QObject *m_diagnostics;
};

// The proxies name a property "interface", which a QML document cannot
// declare; the stand-ins in the frame inherit it from here.
class InterfaceHolder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString interface READ interfaceName NOTIFY interfaceChanged)
    Q_PROPERTY(QString interfaceName READ interfaceName WRITE setInterfaceName NOTIFY interfaceChanged)

public:
    using QObject::QObject;
    QString interfaceName() const { return m_interface; }
    void setInterfaceName(const QString &value)
    {
        if (value == m_interface)
            return;
        m_interface = value;
        emit interfaceChanged();
    }

signals:
    void interfaceChanged();

private:
    QString m_interface;
};

// Renders the network, Ethernet, update and event-log pages in a frame like
// the maintenance screen's, in both languages, writes each one to
// build/screenshots/ and checks that every text shown fits its box and the
// screen.
using ItemTree::findItem;

class tst_SettingsPagesCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pages_data();
    void pages();
    void ethernetTabOpensConfiguration();

private:
    static bool clippedAway(QQuickItem *item);
    QQuickItem *open(const QString &document, const QString &title);
    void waitUntilSettled(bool popupOpen);
    QStringList fitProblems() const;
    QObject *standIn(const char *name) const;

    QQmlApplicationEngine *m_engine = nullptr;
    SettingsManagerStandIn *m_manager = nullptr;
    QQuickWindow *m_window = nullptr;
    QDir m_out;
    QStringList m_warnings;
};

QObject *tst_SettingsPagesCapture::standIn(const char *name) const
{
    return m_window->property(name).value<QObject *>();
}

void tst_SettingsPagesCapture::initTestCase()
{
    qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
    tallyport::initResources();
    QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")) >= 0);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QQuickStyle::setStyle(QStringLiteral("Material"));

    qmlRegisterType<InterfaceHolder>("Tallyport.Test", 1, 0, "InterfaceHolder");
    m_engine = new QQmlApplicationEngine(this);
    connect(m_engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
        for (const QQmlError &w : warnings)
            m_warnings << w.toString();
    });
    TintedIconProvider::install(m_engine);
    TextureImageProvider::install(m_engine);
    m_engine->load(QUrl::fromLocalFile(QStringLiteral(TALLYPORT_TEST_DATA_DIR "/settings/PageFrame.qml")));
    QCOMPARE(m_engine->rootObjects().size(), 1);
    m_window = qobject_cast<QQuickWindow *>(m_engine->rootObjects().first());
    QVERIFY(m_window);

    QQmlContext *context = m_engine->rootContext();
    m_manager
        = new SettingsManagerStandIn(m_engine, standIn("updateStandIn"), standIn("diagnosticsStandIn"), this);
    context->setContextProperty(QStringLiteral("board"), standIn("boardStandIn"));
    context->setContextProperty(QStringLiteral("inspector"), standIn("inspectorStandIn"));
    context->setContextProperty(QStringLiteral("validatorManager"), standIn("validatorStandIn"));
    context->setContextProperty(QStringLiteral("network"), standIn("networkStandIn"));
    context->setContextProperty(QStringLiteral("eventLogManager"), standIn("eventLogStandIn"));
    QVariant events;
    QVERIFY(QMetaObject::invokeMethod(m_window, "makeEvents", Q_RETURN_ARG(QVariant, events)));
    standIn("eventLogStandIn")->setProperty("data", events);

    QCOMPARE(m_window->size(), QSize(480, 800));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    // What the software renderer (boards without a GPU) draws goes beside the rest.
    m_out.setPath(QStringLiteral(TALLYPORT_BINARY_DIR "/screenshots"));
    if (m_window->rendererInterface()->graphicsApi() == QSGRendererInterface::Software)
        m_out.setPath(m_out.filePath(QStringLiteral("software")));
    QVERIFY(m_out.mkpath(QStringLiteral(".")));
}

void tst_SettingsPagesCapture::cleanupTestCase()
{
    delete m_engine;
    m_engine = nullptr;
}

// A list keeps a few rows beyond its edges ready; they are not on view.
bool tst_SettingsPagesCapture::clippedAway(QQuickItem *item)
{
    const QRectF rect = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    for (QQuickItem *p = item->parentItem(); p; p = p->parentItem()) {
        if (p->clip() && !p->mapRectToScene(QRectF(0, 0, p->width(), p->height())).intersects(rect))
            return true;
    }
    return false;
}

QQuickItem *tst_SettingsPagesCapture::open(const QString &document, const QString &title)
{
    m_window->setProperty("title", title);
    QVariant page;
    const bool called = QMetaObject::invokeMethod(
        m_window, "open", Q_RETURN_ARG(QVariant, page),
        Q_ARG(QVariant, QStringLiteral("qrc:/qml/screens/settings/%1.qml").arg(document)));
    return called ? page.value<QQuickItem *>() : nullptr;
}

void tst_SettingsPagesCapture::waitUntilSettled(bool popupOpen)
{
    // A popup of the page before closes with a short fade.
    if (!popupOpen) {
        QTRY_VERIFY(!ItemTree::popupShown(m_window));
    }

    // Icons load asynchronously and popups fade in; wait until both are done.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            const auto items = m_window->contentItem()->findChildren<QQuickItem *>();
            for (QQuickItem *item : items) {
                if (item->inherits("QQuickImageBase") && item->property("status").toInt() == 2)
                    return false;
                if (item->inherits("QQuickPopupItem") && item->isVisible() && item->opacity() < 1)
                    return false;
            }
            return true;
        }(),
        10000);
}

QStringList tst_SettingsPagesCapture::fitProblems() const
{
    QStringList problems;
    const QRectF window(0, 0, m_window->width(), m_window->height());
    for (QQuickItem *item : ItemTree::visibleTextItems(m_window->contentItem())) {
        const QString text = item->property("text").toString();
        if (text.isEmpty() || item->opacity() == 0 || clippedAway(item))
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

void tst_SettingsPagesCapture::pages_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("setup");

    for (const QString &language : {QStringLiteral("el_GR"), QStringLiteral("en_IE")}) {
        auto row = [&](const char *document, const char *setup) {
            QString name = language + QLatin1Char('-') + QLatin1String(document);
            if (*setup)
                name += QLatin1Char('-') + QLatin1String(setup);
            QTest::newRow(qPrintable(name))
                << language << QString::fromLatin1(document) << QString::fromLatin1(setup);
        };
        row("Network", "general");
        row("Network", "ethernet");
        row("EthernetConfig", "");
        row("EthernetConfig", "refused");
        row("EthernetConfig", "clash");
        row("Update", "ready");
        row("Update", "disconnected");
        row("EventLog", "");
        row("EventLog", "expanded");
        row("Diagnostics", "");
        row("Diagnostics", "sensor");
        row("Diagnostics", "serial");
        row("Diagnostics", "report");
    }
}

void tst_SettingsPagesCapture::pages()
{
    QFETCH(QString, language);
    QFETCH(QString, document);
    QFETCH(QString, setup);

    m_manager->setLanguage(language);
    QObject *update = standIn("updateStandIn");
    const bool ready = setup != QLatin1String("disconnected");
    update->setProperty("status",
                        ready ? QStringLiteral("Ready to install") : QStringLiteral("Disconnected"));
    update->setProperty("pending", ready ? QStringLiteral("1.0.24") : QString());
    update->setProperty("progressPercent", ready ? 100 : 0);
    update->setProperty("progressMessage",
                        ready ? QStringLiteral("Download complete: tallyport_1.0.24_armhf.deb") : QString());

    m_warnings.clear();
    QQuickItem *page = open(document, document);
    QVERIFY(page);

    if (document == QLatin1String("Network")) {
        const bool second = setup == QLatin1String("ethernet");
        page->setProperty("currentIndex", second ? 1 : 0);
        QQuickItem *general = findItem(page, QStringLiteral("networkPriPage"));
        QVERIFY(general);
        // The tabs slide; wait until the chosen one has arrived.
        QTRY_COMPARE(general->mapToScene(QPointF(0, 0)).x(), second ? -480.0 : 0.0);
    }
    if (setup == QLatin1String("refused")) {
        QObject *mode = page->property("modeBox").value<QObject *>();
        QVERIFY(mode);
        mode->setProperty("currentIndex", 1);
        findItem(page, QStringLiteral("gatewayField"))->setProperty("text", QStringLiteral("192.168.10.256"));
        QVariant saved;
        QVERIFY(QMetaObject::invokeMethod(page, "save", Q_RETURN_ARG(QVariant, saved)));
        QVERIFY(!saved.toBool());
        QObject *info = page->property("infoPopup").value<QObject *>();
        QTRY_VERIFY(info->property("opened").toBool());
    }
    if (setup == QLatin1String("clash")) {
        // A report of the service changes the address being edited.
        QObject *mode = page->property("modeBox").value<QObject *>();
        mode->setProperty("currentIndex", 1);
        QVERIFY(QMetaObject::invokeMethod(mode, "activated", Q_ARG(int, 1)));
        findItem(page, QStringLiteral("addressField"))->setProperty("text", QStringLiteral("192.168.10.40"));
        QObject *config = standIn("networkStandIn")
                              ->property("ethernet")
                              .value<QObject *>()
                              ->property("config")
                              .value<QObject *>();
        config->setProperty("address", QStringLiteral("192.168.10.52"));
        QQuickItem *notes = findItem(page, QStringLiteral("notes"));
        QTRY_VERIFY(notes->isVisible());
    }
    if (setup == QLatin1String("expanded")) {
        QQuickItem *list = page->property("list").value<QQuickItem *>();
        QVERIFY(list);
        QTRY_VERIFY(list->property("count").toInt() > 0);
        QVERIFY(QMetaObject::invokeMethod(list, "positionViewAtBeginning"));
        QQuickItem *first = list->property("currentItem").value<QQuickItem *>();
        QVERIFY(first);
        first->setProperty("expanded", true);
    }
    if (document == QLatin1String("Diagnostics") && !setup.isEmpty()) {
        const char *popup = "questionPopup";
        if (setup == QLatin1String("sensor")) {
            QVERIFY(QMetaObject::invokeMethod(page, "runTest", Q_ARG(QVariant, setup)));
        } else if (setup == QLatin1String("serial")) {
            popup = "serialPopup";
            QVERIFY(QMetaObject::invokeMethod(page->property(popup).value<QObject *>(), "open"));
        } else {
            popup = "resultPopup";
            QVERIFY(QMetaObject::invokeMethod(
                standIn("diagnosticsStandIn"), "saveReportFinished", Q_ARG(bool, true),
                Q_ARG(QString, QStringLiteral("Report saved : K12345678_20261210.txt"))));
        }
        QTRY_VERIFY(page->property(popup).value<QObject *>()->property("opened").toBool());
    }
    waitUntilSettled(setup == QLatin1String("refused")
                     || (document == QLatin1String("Diagnostics") && !setup.isEmpty()));

    const QImage image = m_window->grabWindow();
    QCOMPARE(image.size(), QSize(480, 800));
    const QString file
        = m_out.filePath(QStringLiteral("settings-%1.png").arg(QLatin1String(QTest::currentDataTag())));
    QVERIFY2(image.save(file), qPrintable(file));

    QVERIFY(!ItemTree::visibleTextItems(m_window->contentItem()).isEmpty());
    const QStringList problems = fitProblems() + ItemTree::undrawnIcons(m_window);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join(QLatin1Char('\n'))));

    if (setup == QLatin1String("clash")) {
        QObject *ethernet = standIn("networkStandIn")->property("ethernet").value<QObject *>();
        ethernet->property("config").value<QObject *>()->setProperty("address",
                                                                     QStringLiteral("192.168.10.37"));
        ethernet->setProperty("method", QStringLiteral("auto"));
    }
    for (const char *popup : {"infoPopup", "questionPopup", "serialPopup", "resultPopup"}) {
        if (QObject *open = page->property(popup).value<QObject *>())
            QMetaObject::invokeMethod(open, "close");
    }
    waitUntilSettled(false);
    // Closing the message of a saved report leaves the page.
    QObject *stack = m_window->property("stack").value<QObject *>();
    if (setup == QLatin1String("report"))
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
    QTRY_VERIFY(!stack->property("busy").toBool());
}

// The configuration page goes onto the maintenance stack although the
// Ethernet tab that asks for it is not itself on the stack.
void tst_SettingsPagesCapture::ethernetTabOpensConfiguration()
{
    QQuickItem *page = open(QStringLiteral("Network"), QStringLiteral("Network"));
    QVERIFY(page);
    QQuickItem *ethernet = findItem(page, QStringLiteral("ethernetPage"));
    QVERIFY(ethernet);
    QObject *stack = m_window->property("stack").value<QObject *>();
    QCOMPARE(stack->property("depth").toInt(), 2);
    QVERIFY(QMetaObject::invokeMethod(ethernet, "configure"));
    QTRY_COMPARE(stack->property("depth").toInt(), 3);
    QTRY_COMPARE(stack->property("currentItem").value<QObject *>()->objectName(),
                 QStringLiteral("ethernetConfig"));
    // A second tap while the page is open adds nothing.
    QVERIFY(QMetaObject::invokeMethod(ethernet, "configure"));
    QCOMPARE(stack->property("depth").toInt(), 3);
}

QTEST_MAIN(tst_SettingsPagesCapture)

#include "moc_ManagerStandIn.cpp"
#include "tst_SettingsPagesCapture.moc"
