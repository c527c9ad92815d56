#include "GUIManager.h"

#include "Common/Config.h"
#include "Common/Logger.h"
#include "Common/StaleFiles.h"
#include "Common/TextureImageProvider.h"
#include "Common/TintedIconProvider.h"
#include "Model/Event.h"
#include "Model/EventLogin.h"
#include "Model/EventLogout.h"
#include "Model/IPv4.h"
#include "Model/Transaction.h"
#include "Model/ValidatorConfig.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QLocale>
#include <QQmlContext>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>
#include <QtQml>

#include <climits>
#include <memory>

namespace {
const QString c_prefix = QStringLiteral("[GUIManager] ");
const QString c_catalogue = QStringLiteral(":/qml/translations/Tallyport_el_GR.qm");
const QString c_validSound = QStringLiteral("/opt/vorn/tallyport/Valid.wav");
const QString c_invalidSound = QStringLiteral("/opt/vorn/tallyport/Invalid.wav");
constexpr int c_startBusyMs = 10000;
constexpr int c_powerBusyMs = 30000;
constexpr int c_loginMs = 15000;
constexpr int c_resultMs = 3000;
constexpr int c_exitDelayMs = 2000;
constexpr int c_boardExtraDelaySec = 60;
// Deny reasons that mean "already validated" (203 reads the same but is not one).
constexpr int c_alreadyValidTicket = 103;
constexpr int c_alreadyValidCard = 207;

const QString c_display = QStringLiteral("display");
} // namespace

GUIManager::GUIManager(Config &config, QObject *parent)
    : QObject(parent)
    , m_qmlContext(m_engine.rootContext())
    , m_config(config)
    // A child, so that tools driving the controller as the broker would can
    // reach it (findChild); it stays a member for its lifetime.
    , m_mqtt(this)
    , m_validator(m_mqtt, config.get(QStringLiteral("topics/blm")).toString())
    , m_board(m_mqtt, config.get(QStringLiteral("topics/board")).toString())
    , m_inspector(m_mqtt, config.get(QStringLiteral("topics/inspector")).toString())
    , m_network(m_mqtt, config.get(QStringLiteral("topics/network")).toString())
    , m_update(m_mqtt, config.get(QStringLiteral("topics/device")).toString())
    , m_clock(m_mqtt, config.get(QStringLiteral("topics/device")).toString())
    , m_session(config)
    , m_eventLog(config)
    , m_diagnostics(m_deviceId, m_board, m_network, m_validator)
{
    m_screenTimer.setSingleShot(true);
    m_displayOffTimer.setSingleShot(true);

    // A save of the device id cut short between writing its temporary and
    // renaming it leaves the temporary beside the file for good. Only at
    // start: later loads follow a path that a remote setting may point anywhere.
    StaleFiles::removeTemporaries(m_config.get(QStringLiteral("gui/deviceId")).toString(), c_prefix);
    // Before the logger: these lines go to the toolkit's default output.
    loadDeviceId();
    configureLogging();

    connect(&m_config, &Config::configChanged, this, &GUIManager::onConfigChanged);
    connect(&m_config, &Config::configFileChanged, this, &GUIManager::onConfigFileChanged);
    m_config.print();

    initQml();
    initMqtt();
    connectHandlers();
}

GUIManager::~GUIManager()
{
    // The screens go first: they bind to the proxies, which die before the engine.
    m_screenTimer.stop();
    m_displayOffTimer.stop();
    const auto roots = m_engine.rootObjects();
    for (QObject *root : roots)
        delete root;
}

void GUIManager::load()
{
    m_engine.load(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    // Once the first picture is out, not on its way.
    if (auto *window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().value(0))) {
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(
            window, &QQuickWindow::frameSwapped, this,
            [this, once] {
                disconnect(*once);
                warmUpResultScreens();
            },
            Qt::QueuedConnection);
    }
    setLanguage(m_config.get(QStringLiteral("gui/locale")).toString());
    m_eventLog.push(new Event(QStringLiteral("General"), QStringLiteral("Application started"), QString(),
                              QDateTime::currentDateTime()));
}

// ---------------------------------------------------------------------------
// Start-up

void GUIManager::configureLogging()
{
    manager::Logger *logger = manager::Logger::instance();
    logger->setLevel(m_config.get(QStringLiteral("log/level")).toInt());
    logger->setStderr(m_config.get(QStringLiteral("log/stderr")).toBool());
    logger->setSyslog(m_config.get(QStringLiteral("log/syslog")).toBool());
    logger->setColor(m_config.get(QStringLiteral("log/color")).toBool());
}

void GUIManager::initQml()
{
    QQuickStyle::setStyle(QStringLiteral("Material"));
    qInfo().noquote().nospace() << c_prefix << "QtQuick Style name is : " << QQuickStyle::name();

    qmlRegisterType<Transaction>("com.vorn.ticketing.transaction", 1, 0, "Transaction");
    qmlRegisterType<manager::Connection>("com.vorn.network.connection", 1, 0, "Connection");
    qmlRegisterType<IPv4>("com.vorn.network.ipv4", 1, 0, "IPv4");
    TintedIconProvider::install(&m_engine);
    TextureImageProvider::install(&m_engine);

    m_qmlContext->setContextProperty(QStringLiteral("manager"), this);
    m_qmlContext->setContextProperty(QStringLiteral("board"), &m_board);
    m_qmlContext->setContextProperty(QStringLiteral("inspector"), &m_inspector);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), Transaction().toMap());
    m_qmlContext->setContextProperty(QStringLiteral("eventLogManager"), &m_eventLog);
    m_qmlContext->setContextProperty(QStringLiteral("network"), &m_network);
    m_qmlContext->setContextProperty(QStringLiteral("validatorManager"), &m_validator);

    connect(&m_screenTimer, &QTimer::timeout, this, &GUIManager::onScreenTimeout);
    setScreen(QStringLiteral("Busy"), c_startBusyMs);
    setMessage(tr("Initializing"));
    setShowCursor(showCursor());
}

void GUIManager::connectHandlers()
{
    connect(&m_validator, &manager::Validator::statusChanged, this, &GUIManager::onValidatorStatusChanged);
    connect(&m_validator, &manager::Validator::reasonChanged, this, &GUIManager::onValidatorReasonChanged);
    connect(&m_board, &manager::Board::ignitionChanged, this, &GUIManager::onIgnitionChanged);
    connect(&m_board, &manager::Board::delayShutdownForChanged, this, &GUIManager::updateBoardShutdownDelay);
    connect(&m_session, &SessionManager::sessionActiveChanged, this, &GUIManager::onSessionActiveChanged);
    connect(&m_displayOffTimer, &QTimer::timeout, this, &GUIManager::onDisplayOffTimeout);
    connect(this, &GUIManager::screenChanged, this, &GUIManager::onScreenChanged);
    connect(&m_inspector, &manager::Inspector::systemRebootStarted, this, [this]() {
        setScreen(QStringLiteral("Busy"), c_powerBusyMs);
        setMessage(tr("Rebooting"));
    });
    connect(&m_inspector, &manager::Inspector::systemShutdownStarted, this, [this]() {
        setScreen(QStringLiteral("Busy"), c_powerBusyMs);
        setMessage(tr("Shutting down"));
    });

    connect(&m_validator, &manager::Validator::cardDetected, this, &GUIManager::onCardDetected);
    connect(&m_validator, &manager::Validator::cardRemoved, this, &GUIManager::onCardRemoved);
    connect(&m_validator, &manager::Validator::cardRetry, this, &GUIManager::onCardRetry);
    connect(&m_validator, &manager::Validator::ticketValidated, this, &GUIManager::onTicketValidated);
    connect(&m_validator, &manager::Validator::maintenanceBarcodeScanned, this,
            &GUIManager::onMaintenanceBarcodeScanned);
    connect(&m_session, &SessionManager::accessGranted, this, &GUIManager::settingsAccessGranted);
    connect(&m_session, &SessionManager::accessDenied, this, &GUIManager::settingsAccessDenied);
}

// ---------------------------------------------------------------------------
// Configuration-backed properties: no copy, every read asks the store, and the
// notifications come from onConfigChanged whoever made the change.

bool GUIManager::showCursor() const
{
    return m_config.get(QStringLiteral("gui/showCursor")).toBool();
}

void GUIManager::setShowCursor(bool value)
{
    if (value != showCursor())
        m_config.set(QStringLiteral("gui/showCursor"), value);
}

bool GUIManager::showErrorDesc() const
{
    return m_config.get(QStringLiteral("gui/showErrorDesc")).toBool();
}

void GUIManager::setShowErrorDesc(bool value)
{
    if (value != showErrorDesc())
        m_config.set(QStringLiteral("gui/showErrorDesc"), value);
}

int GUIManager::displayOffMin() const
{
    return m_config.get(QStringLiteral("gui/displayOffMin")).toInt();
}

void GUIManager::setDisplayOffMin(int value)
{
    if (value != displayOffMin())
        m_config.set(QStringLiteral("gui/displayOffMin"), value);
}

int GUIManager::shutdownDelaySec() const
{
    return m_config.get(QStringLiteral("gui/shutdownDelaySec")).toInt();
}

void GUIManager::setShutdownDelaySec(int value)
{
    if (value != shutdownDelaySec())
        m_config.set(QStringLiteral("gui/shutdownDelaySec"), value);
}

QColor GUIManager::screenSaverBg() const
{
    return QColor(m_config.get(QStringLiteral("gui/screenSaverBg")).toString());
}

QString GUIManager::screenSaverImg() const
{
    return m_config.get(QStringLiteral("gui/screenSaverImg")).toString();
}

int GUIManager::animSwitchSec() const
{
    return m_config.get(QStringLiteral("gui/animSwitchSec")).toInt();
}

void GUIManager::setAnimSwitchSec(int value)
{
    if (value != animSwitchSec())
        m_config.set(QStringLiteral("gui/animSwitchSec"), value);
}

// ---------------------------------------------------------------------------
// Language

void GUIManager::setLanguage(const QString &value)
{
    if (value == m_language)
        return;
    qInfo().noquote().nospace() << c_prefix << "Language changed : " << value;

    if (m_translator.isEmpty()) {
        qInfo().noquote().nospace() << c_prefix << "Loading translation file : " << c_catalogue;
        if (!m_translator.load(c_catalogue)) {
            qCritical().noquote().nospace() << c_prefix << "ERROR: Failed to load translation file";
            return;
        }
    }

    const QLocale locale(value);
    if (locale.language() == QLocale::English) {
        QCoreApplication::removeTranslator(&m_translator);
    } else if (!QCoreApplication::installTranslator(&m_translator)) {
        qCritical().noquote().nospace() << c_prefix << "ERROR: Failed to install translator";
        return;
    }
    QLocale::setDefault(locale);

    m_language = value;
    m_config.set(QStringLiteral("gui/locale"), value);
    emit languageChanged();
}

// ---------------------------------------------------------------------------
// Device id

void GUIManager::loadDeviceId()
{
    const QString path = m_config.get(QStringLiteral("gui/deviceId")).toString();
    qInfo().noquote().nospace() << c_prefix << "Loading device id from : " << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical().noquote().nospace() << c_prefix << "ERROR: Could not load device S/N from file : " << path
                                        << " (" << file.errorString() << ")";
        return;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty())
            continue;
        m_deviceId = line;
        emit deviceIdChanged();
        return;
    }
}

void GUIManager::setDeviceId(const QString &value)
{
    if (value == m_deviceId)
        return;
    qWarning().noquote().nospace() << c_prefix << "Device ID changed : " << value;
    m_deviceId = value;
    saveDeviceId();
    emit deviceIdChanged();
}

void GUIManager::saveDeviceId()
{
    const QString path = m_config.get(QStringLiteral("gui/deviceId")).toString();
    qInfo().noquote().nospace() << c_prefix << "Saving device id to : " << path;
    // The serial number must survive a power cut in the middle of the write (the
    // ignition may drop at any time): write beside it, then replace it whole.
    QSaveFile file(path);
    // Where only the file itself is writable (a read-only directory), keep the
    // device able to store its number rather than refuse.
    file.setDirectWriteFallback(true);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        ok = file.write(m_deviceId.toUtf8()) == m_deviceId.toUtf8().size();
        ok = file.commit() && ok;
    }
    if (!ok) {
        const QString error = file.errorString();
        qCritical().noquote().nospace()
            << c_prefix << "ERROR: Could not save device S/N to file : " << path << " (" << error << ")";
        emit errorOccured(error);
    }
}

void GUIManager::saveDeviceIdRequest(const QString &deviceId)
{
    qInfo().noquote().nospace() << c_prefix << "Save Device Id request : " << deviceId;
    setDeviceId(deviceId);
    setIdleScreen();
}

// ---------------------------------------------------------------------------
// Session slots

void GUIManager::settingsLoginRequest(const QString &pin)
{
    m_session.loginRequest(pin);
}

void GUIManager::settingsLogoutRequest()
{
    m_session.logoutRequest();
}

void GUIManager::onSessionActiveChanged()
{
    if (m_session.sessionActive()) {
        if (const User *user = m_session.user())
            m_eventLog.push(new EventLogin(*user));
    } else {
        setIdleScreen();
        m_eventLog.push(new EventLogout());
    }
    publishStatus();
}

// ---------------------------------------------------------------------------
// Screens

void GUIManager::setScreen(const QString &value)
{
    if (value == m_screen)
        return;
    qInfo().noquote().nospace() << c_prefix << "Setting screen : " << value;
    m_screen = value;
    m_screenTimer.stop();
    emit screenChanged();
}

void GUIManager::setScreen(const QString &value, int timeout)
{
    qInfo().noquote().nospace() << c_prefix << "Setting screen : " << value << " (timeout=" << timeout
                                << " msec)";
    m_screenTimer.start(timeout);
    m_screen = value;
    emit screenChanged();
}

void GUIManager::setMessage(const QString &value)
{
    if (value == m_message)
        return;
    m_message = value;
    emit messageChanged();
}

void GUIManager::onScreenTimeout()
{
    qInfo().noquote().nospace() << c_prefix << "Screen timeout : " << m_screen;
    setIdleScreen();
}

void GUIManager::setIdleScreen()
{
    m_screenTimer.stop();
    if (m_deviceId.isEmpty()) {
        setScreen(QStringLiteral("InitPage"));
        return;
    }
    if (m_session.sessionActive())
        return;

    const QString status = m_validator.status();
    if (status == QLatin1String("init")) {
        setScreen(QStringLiteral("Busy"));
        setMessage(tr("Please Wait"));
    } else if (status == QLatin1String("out-of-service")) {
        setScreen(QStringLiteral("OutOfService"));
        m_validator.disableRfid();
        m_validator.disableBarcode();
    } else if (status == QLatin1String("online") || status == QLatin1String("degraded")) {
        m_validator.enableRfid();
        m_validator.enableBarcode();
        setScreen(QStringLiteral("ScanScreens"));
    } else {
        setOutOfOrderScreen(validatorReason());
        m_validator.disableRfid();
        m_validator.disableBarcode();
    }
}

QString GUIManager::validatorReason() const
{
    QString reason = m_validator.reasonCode();
    if (showErrorDesc())
        reason += QLatin1Char('\n') + m_validator.reason();
    return reason;
}

void GUIManager::setOutOfOrderScreen(const QString &message)
{
    // Without a serial number the device can only show the page that asks for
    // it; covering that page would leave nobody a way to commission the device.
    if (m_deviceId.isEmpty() || m_screen == QLatin1String("Login") || !m_board.ignition()
        || m_session.sessionActive())
        return;
    setScreen(QStringLiteral("OutOfOrder"));
    setMessage(message);
}

void GUIManager::onValidatorStatusChanged()
{
    qInfo().noquote().nospace() << c_prefix << "Validator status changed : " << m_validator.status();
    setIdleScreen();
}

void GUIManager::onValidatorReasonChanged()
{
    qWarning().noquote().nospace() << c_prefix << "Validator reason changed : " << m_validator.reasonCode()
                                   << ' ' << m_validator.reason();
    if (m_validator.status() != QLatin1String("init"))
        setMessage(validatorReason());
}

void GUIManager::setMaintenanceScreen()
{
    if (m_session.sessionActive())
        setScreen(QStringLiteral("Settings"));
    else if (m_screen == QLatin1String("Login"))
        setIdleScreen();
    else
        setScreen(QStringLiteral("Login"), c_loginMs);
}

void GUIManager::onScreenChanged()
{
    const int minutes = displayOffMin();
    // The store refuses what a timer cannot hold; a value that got past it
    // (below 0) switches nothing off rather than being logged as started.
    if (minutes <= 0)
        return;
    if (m_screen == QLatin1String("OutOfOrder") || m_screen == QLatin1String("OutOfService")) {
        qInfo().noquote().nospace() << c_prefix << "Staring Display OFF timer : " << minutes << " min(s)";
        const qint64 ms = qint64(m_displayOffUnit.count()) * minutes;
        m_displayOffTimer.start(int(qMin<qint64>(ms, INT_MAX)));
        return;
    }
    if (m_displayOffTimer.isActive()) {
        qInfo().noquote().nospace() << c_prefix << "Stopping Display OFF timer.";
        m_displayOffTimer.stop();
    }
    if (!m_board.peripheralPower(c_display)) {
        qInfo().noquote().nospace() << c_prefix << "Turning on Display.";
        m_board.setPeripheralPower(c_display, true);
    }
}

void GUIManager::onDisplayOffTimeout()
{
    qWarning().noquote().nospace() << c_prefix << "WARN: Turning off Display due to inactivity.";
    m_board.setPeripheralPower(c_display, false);
}

void GUIManager::onIgnitionChanged()
{
    if (m_board.ignition()) {
        m_eventLog.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition on"), QString(),
                                  QDateTime::currentDateTime()));
        m_inspector.abortShutdown();
        setIdleScreen();
    } else {
        m_eventLog.push(new Event(QStringLiteral("Board"), QStringLiteral("Ignition off"), QString(),
                                  QDateTime::currentDateTime()));
        m_session.logoutRequest();
        m_inspector.scheduleShutdown(shutdownDelaySec());
        setScreen(QStringLiteral("ScreenSaver"));
    }
}

void GUIManager::updateBoardShutdownDelay()
{
    // The board keeps power a minute longer than the system needs to shut down.
    // The store keeps the delay within what a timer holds; the sum is made
    // where it cannot overflow all the same.
    const int delay = int(qMin<qint64>(qint64(shutdownDelaySec()) + c_boardExtraDelaySec, INT_MAX));
    if (m_board.delayShutdownFor() == delay)
        return;
    qWarning().noquote().nospace() << c_prefix << "WARN: Updating board shutdown delay to : " << delay
                                   << " sec(s) (prev=" << m_board.delayShutdownFor() << ")";
    m_board.setDelayShutdownFor(delay);
}

void GUIManager::shutdownRequest()
{
    setScreen(QStringLiteral("Busy"), c_powerBusyMs);
    setMessage(tr("Shutting down"));
    m_inspector.systemShutdown();
}

void GUIManager::rebootRequest()
{
    setScreen(QStringLiteral("Busy"), c_powerBusyMs);
    setMessage(tr("Rebooting"));
    m_inspector.systemReboot();
}

void GUIManager::exitRequest()
{
    setScreen(QStringLiteral("Busy"), c_powerBusyMs);
    setMessage(tr("Exiting"));
    QTimer::singleShot(c_exitDelayMs, this, []() { QCoreApplication::exit(0); });
}

// ---------------------------------------------------------------------------
// Validation feedback

void GUIManager::onCardDetected(const QString &uid, const QString &type)
{
    qWarning().noquote().nospace()
        << c_prefix << QStringLiteral("Validator card detected : uid=%1, type=%2").arg(uid, type);
}

void GUIManager::onCardRemoved()
{
    qWarning().noquote().nospace() << c_prefix << "Validator card removed";
}

void GUIManager::onCardRetry()
{
    qWarning().noquote().nospace() << c_prefix << "Validator card retry";
    if (m_session.sessionActive())
        return;
    m_inspector.audioPlay(c_invalidSound);
    setScreen(QStringLiteral("Retry"), c_resultMs);
}

// The result screens are handed a result of each kind once, while none is
// shown and before any passenger's: the first passenger's result would
// otherwise pay for the first evaluation of their bindings and the first
// layout of their texts, and the passenger's sound waits behind that work.
void GUIManager::warmUpResultScreens()
{
    if (m_resultSeen)
        return;
    // One of each screen's kinds: a card and a barcode accepted, one already
    // validated, one refused.
    const char *samples[] = {
        R"({"result": true, "type": 2, "fareProductName": "Sample",
            "card": {"balanceBefore": 2500, "balanceAfter": 2380}})",
        R"({"result": true, "type": 0, "fareProductName": "Sample", "barcode": {"transferRemainingMin": 45}})",
        R"({"result": false, "type": 2, "fareProductName": "Sample", "denyReason": {"id": 207}})",
        R"({"result": false, "type": 5, "fareProductName": "Sample", "denyReason": {"id": 250}})"};
    for (const char *sample : samples) {
        const Transaction transaction(QJsonDocument::fromJson(sample).object());
        m_qmlContext->setContextProperty(QStringLiteral("transaction"), transaction.toMap());
    }
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), Transaction().toMap());
}

void GUIManager::onTicketValidated(const Transaction &transaction)
{
    m_resultSeen = true;
    const QVariantMap map = transaction.toMap();
    qWarning().noquote().nospace() << c_prefix
                                   << "Validator ticket validated : " << static_cast<int>(transaction.type());
    qWarning().noquote().nospace() << c_prefix << "Valid : " << (transaction.valid() ? "true" : "false");
    qWarning().noquote().nospace() << c_prefix << "Contents : " << map;

    // The sound is asked for before the screens take the new result: handing
    // them the map re-evaluates every binding of the result screens, which
    // the passenger's feedback need not wait for.
    const bool session = m_session.sessionActive();
    if (!session)
        m_inspector.audioPlay(transaction.valid() ? c_validSound : c_invalidSound);
    m_qmlContext->setContextProperty(QStringLiteral("transaction"), map);
    if (session)
        return;

    const int reason = transaction.denyReasonId();
    if (transaction.valid())
        setScreen(QStringLiteral("Valid"), c_resultMs);
    else if (reason == c_alreadyValidTicket || reason == c_alreadyValidCard)
        setScreen(QStringLiteral("AlreadyValid"), c_resultMs);
    else
        setScreen(QStringLiteral("Invalid"), c_resultMs);
}

// ---------------------------------------------------------------------------
// Presence on the broker

QString GUIManager::baseTopic() const
{
    return m_config.get(QStringLiteral("mqtt/base")).toString();
}

void GUIManager::initMqtt()
{
    // Runs again on every change of the broker settings: the handlers stay those
    // of the first run.
    connect(&m_mqtt, &manager::MqttClient::connected, this, &GUIManager::onMqttConnected,
            Qt::UniqueConnection);
    connect(&m_mqtt, &manager::MqttClient::disconnected, this, &GUIManager::onMqttDisconnected,
            Qt::UniqueConnection);
    connect(&m_mqtt, &manager::MqttClient::error, this, &GUIManager::onMqttError, Qt::UniqueConnection);
    connect(&m_mqtt, &manager::MqttClient::received, this, &GUIManager::onMqttReceived, Qt::UniqueConnection);

    m_mqtt.setClientId(QCoreApplication::applicationName() + QLatin1Char('_')
                       + QString::number(QCoreApplication::applicationPid()));
    m_mqtt.setWillTopic(baseTopic() + QStringLiteral("/status"));
    m_mqtt.setWillMessage(QByteArrayLiteral("{\"service\": false}"));
    m_mqtt.setHostname(m_config.get(QStringLiteral("mqtt/host")).toString());
    m_mqtt.setPort(m_config.get(QStringLiteral("mqtt/port")).toUInt());
    m_mqtt.setUsername(m_config.get(QStringLiteral("mqtt/username")).toString());
    m_mqtt.setPassword(m_config.get(QStringLiteral("mqtt/password")).toString());
    // Remembered by the client before the connection, so every connection
    // carries each request topic exactly once.
    subscribeToTopics();
    // The client applies new settings only from its next attempt: drop a live
    // (or pending) connection so that they take effect now.
    if (m_mqtt.state() != manager::MqttClient::Disconnected)
        m_mqtt.disconnect();
    m_mqtt.connect();
    setMessage(QStringLiteral("Connecting"));
}

void GUIManager::subscribeToTopics()
{
    const QString base = baseTopic();
    for (const char *suffix : {"/info/get", "/status/get", "/config/get", "/config/set"}) {
        const QString topic = base + QLatin1String(suffix);
        if (m_requestTopics.contains(topic))
            continue;
        m_requestTopics.insert(topic);
        m_mqtt.subscribe(topic, 0);
    }
}

void GUIManager::publish(const QJsonObject &object, const QString &suffix)
{
    m_mqtt.publish(QJsonDocument(object).toJson(QJsonDocument::Indented), baseTopic() + suffix, 0, false);
}

void GUIManager::publishInfo()
{
    publish(QJsonObject {{QStringLiteral("version"), QCoreApplication::applicationVersion()}},
            QStringLiteral("/info"));
}

void GUIManager::publishStatus()
{
    publish(QJsonObject {{QStringLiteral("technician"), m_session.sessionActive()},
                         {QStringLiteral("service"), true}},
            QStringLiteral("/status"));
}

void GUIManager::publishConfig()
{
    publish(m_config.toJson(), QStringLiteral("/config"));
}

void GUIManager::onMqttConnected()
{
    qInfo().noquote().nospace() << c_prefix << "Connected to MQTT broker";
    setMessage(QStringLiteral("Connected"));
    publishInfo();
    publishStatus();
    publishConfig();
}

void GUIManager::onMqttDisconnected()
{
    qWarning().noquote().nospace() << c_prefix << "WARN: Disconnected from MQTT broker";
    setOutOfOrderScreen(QStringLiteral("Disconnected"));
}

void GUIManager::onMqttError(const QString &error)
{
    qCritical().noquote().nospace() << c_prefix << "ERROR: " << error;
}

void GUIManager::onMqttReceived(const QByteArray &data, const QByteArray &topic)
{
    processMqttMessage(data, topic);
}

void GUIManager::processMqttMessage(const QByteArray &data, const QByteArray &topic)
{
    if (!topic.contains(baseTopic().toUtf8()))
        return;
    qInfo().noquote().nospace() << c_prefix << "Message received : " << QString::fromUtf8(topic);
    qDebug().noquote().nospace() << c_prefix << "Data : " << manager::Logger::payload(data);
    const QJsonDocument document = QJsonDocument::fromJson(data);

    if (topic.contains("/info/get"))
        publishInfo();
    else if (topic.contains("/status/get"))
        publishStatus();
    else if (topic.contains("/config/get"))
        publishConfig();
    else if (topic.contains("/config/set"))
        m_config.fromJson(document.object());
}

// ---------------------------------------------------------------------------
// Configuration changes

void GUIManager::onConfigChanged(const QVariantMap &changes)
{
    qDebug().noquote().nospace() << c_prefix << "Config changed : "
                                 << manager::Logger::payload(
                                        QJsonDocument(QJsonObject::fromVariantMap(changes)).toJson());

    // One edit of the file or one remote set may change several keys at once:
    // each of them takes effect, in this order.
    if (changes.contains(QStringLiteral("gui/deviceId"))) {
        qInfo().noquote().nospace() << c_prefix << "Device id changed. Re-loading";
        loadDeviceId();
    }
    if (changes.contains(QStringLiteral("gui/showCursor"))) {
        qInfo().noquote().nospace() << c_prefix
                                    << "Cursor changed : " << (showCursor() ? "visible" : "hidden");
        emit showCursorChanged();
    }
    if (changes.contains(QStringLiteral("gui/displayOffMin"))) {
        qInfo().noquote().nospace() << c_prefix << "Display OFF interval changed : " << displayOffMin()
                                    << " min(s)";
        emit displayOffMinChanged();
    }
    if (changes.contains(QStringLiteral("gui/shutdownDelaySec"))) {
        qInfo().noquote().nospace() << c_prefix << "Shutdown delay changed : " << shutdownDelaySec()
                                    << " sec(s)";
        updateBoardShutdownDelay();
        emit shutdownDelaySecChanged();
    }
    if (changes.contains(QStringLiteral("gui/locale")))
        setLanguage(m_config.get(QStringLiteral("gui/locale")).toString());
    if (changes.contains(QStringLiteral("gui/showErrorDesc"))) {
        qInfo().noquote().nospace() << c_prefix << "Show Error description changed : "
                                    << (showErrorDesc() ? "YES" : "NO");
        setMessage(validatorReason());
        emit showErrorDescChanged();
    }
    if (changes.contains(QStringLiteral("gui/screenSaverBg"))) {
        qInfo().noquote().nospace() << c_prefix << "Screen-saver background changed : "
                                    << m_config.get(QStringLiteral("gui/screenSaverBg")).toString();
        emit screenSaverBgChanged();
    }
    if (changes.contains(QStringLiteral("gui/screenSaverImg"))) {
        qInfo().noquote().nospace() << c_prefix << "Screen-saver image changed : " << screenSaverImg();
        emit screenSaverImgChanged();
    }
    if (changes.contains(QStringLiteral("gui/animSwitchSec"))) {
        qInfo().noquote().nospace() << c_prefix << "GIFs animation changed : " << animSwitchSec()
                                    << " msec(s)";
        emit animSwitchSecChanged();
    }

    const QStringList keys = changes.keys();
    if (!keys.filter(QRegularExpression(QStringLiteral("log\\/.+"))).isEmpty()) {
        qInfo().noquote().nospace() << c_prefix << "Log configuration changed. Applying.";
        configureLogging();
    }
    if (!keys.filter(QRegularExpression(QStringLiteral("mqtt\\/.+"))).isEmpty()) {
        qInfo().noquote().nospace() << c_prefix << "MQTT configuration changed. Applying.";
        initMqtt();
    }

    publishConfig();
}

void GUIManager::onConfigFileChanged()
{
    qWarning().noquote().nospace() << c_prefix << "WARN: Configuration file changed!";
    m_config.print();
}

// ---------------------------------------------------------------------------
// Maintenance barcode

void GUIManager::onMaintenanceBarcodeScanned(const QJsonObject &data)
{
    qInfo().noquote().nospace() << c_prefix << "Maintenance Barcode scanned";
    if (!m_session.sessionActive()) {
        qWarning().noquote().nospace() << c_prefix << "WARN: Maintenance session is not active. Ignoring.";
        return;
    }

    QStringList applied;
    // Settings the barcode carries but that cannot be applied as they stand.
    bool refused = false;
    if (data.contains(QStringLiteral("validator"))) {
        const QString text
            = data.value(QStringLiteral("validator")).toObject().value(QStringLiteral("obc")).toString();
        const QUrl url(text, QUrl::TolerantMode);
        // The tolerant parse takes "hello" or "http://" too, with no host: the
        // validator would be sent an empty OBC host while the technician
        // hears the valid sound.
        if (url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty()) {
            qInfo().noquote().nospace() << c_prefix << "Applying Validator configuration";
            // The list is shown in a popup on the display, where anyone standing by can
            // read it: the password stays off it.
            applied << QStringLiteral("OBC : %1").arg(url.toString(QUrl::RemovePassword));
            m_validator.config()->setObuUrl(url);
            m_validator.saveConfig();
        } else {
            qWarning().noquote().nospace()
                << c_prefix << "WARN: OBC URL is not valid : " << manager::Logger::payload(text);
        }
    }

    const QJsonObject network = data.value(QStringLiteral("network")).toObject();
    if (network.contains(QStringLiteral("eth0"))) {
        const QJsonObject eth0 = network.value(QStringLiteral("eth0")).toObject();
        const auto text = [&eth0](const char *key) {
            return eth0.value(QLatin1String(key)).toString();
        };
        const QString method = text("method");
        const QString address = text("address");
        const QString netmask = text("netmask");
        const QString gateway = text("gateway");
        const QString dns0 = text("dns0");
        const QString dns1 = text("dns1");

        manager::Ethernet *ethernet = m_network.ethernet();
        const IPv4::Problem problem = IPv4::check(method,
                                                  {{QStringLiteral("address"), address},
                                                   {QStringLiteral("netmask"), netmask},
                                                   {QStringLiteral("gateway"), gateway},
                                                   {QStringLiteral("dns0"), dns0},
                                                   {QStringLiteral("dns1"), dns1}});
        if (problem != IPv4::NoProblem) {
            qWarning().noquote().nospace()
                << c_prefix << "WARN: Ethernet configuration refused : " << IPv4::problemText(problem);
            refused = true;
        } else if (ethernet->interface() == QLatin1String("eth0")) {
            applied << QStringLiteral("Method : %1").arg(method)
                    << QStringLiteral("Address : %1").arg(address)
                    << QStringLiteral("Netmask : %1").arg(netmask)
                    << QStringLiteral("Gateway : %1").arg(gateway) << QStringLiteral("DNS #0 : %1").arg(dns0)
                    << QStringLiteral("DNS #1 : %1").arg(dns1);
            const bool manual = method == QLatin1String("manual");
            ethernet->setMethod(manual ? QStringLiteral("manual") : QStringLiteral("auto"));
            IPv4 *config = ethernet->config();
            config->setAddress(manual ? address : QString());
            config->setMask(manual ? netmask : QString());
            config->setGateway(manual ? gateway : QString());
            config->setDns0(manual ? dns0 : QString());
            config->setDns1(manual ? dns1 : QString());
            qInfo().noquote().nospace() << c_prefix << "Applying Ethernet configuration to eth0";
            ethernet->save();
        } else {
            qWarning().noquote().nospace()
                << c_prefix << "WARN: Active ethernet interface is not 'eth0' : " << ethernet->interface();
        }
    }

    if (refused)
        m_inspector.audioPlay(c_invalidSound);
    if (applied.isEmpty())
        return;
    if (!refused) {
        m_inspector.audioPlay(c_validSound);
        m_board.setLedValid();
    }
    emit barcodeConfigurationApplied(applied);
}
