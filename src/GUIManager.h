#pragma once

#include "Common/MqttClient.h"
#include "Diagnostics.h"
#include "EventManager.h"
#include "Peripheral/Board.h"
#include "Peripheral/Clock.h"
#include "Peripheral/Inspector.h"
#include "Peripheral/Network.h"
#include "Peripheral/Update.h"
#include "Peripheral/Validator.h"
#include "SessionManager.h"

#include <QColor>
#include <QJsonObject>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <QVariantMap>

#include <chrono>

class Config;
class QQmlContext;
class Transaction;

// The controller: owns the MQTT client, every service proxy, the maintenance
// session and the event log, decides which screen the window shows, and is the
// bridge between all of them and the QML screens ("manager" in QML).
class GUIManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QString deviceId READ deviceId WRITE setDeviceId NOTIFY deviceIdChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString dynTr READ dynTr NOTIFY languageChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool showCursor READ showCursor WRITE setShowCursor NOTIFY showCursorChanged)
    Q_PROPERTY(bool showErrorDesc READ showErrorDesc WRITE setShowErrorDesc NOTIFY showErrorDescChanged)
    Q_PROPERTY(int displayOffMin READ displayOffMin WRITE setDisplayOffMin NOTIFY displayOffMinChanged)
    Q_PROPERTY(
        int shutdownDelaySec READ shutdownDelaySec WRITE setShutdownDelaySec NOTIFY shutdownDelaySecChanged)
    Q_PROPERTY(QColor screenSaverBg READ screenSaverBg NOTIFY screenSaverBgChanged)
    Q_PROPERTY(QString screenSaverImg READ screenSaverImg NOTIFY screenSaverImgChanged)
    Q_PROPERTY(Diagnostics *diagnostics READ diagnostics NOTIFY diagnosticsChanged)
    Q_PROPERTY(manager::Update *update READ update NOTIFY updateChanged)
    Q_PROPERTY(manager::Clock *clock READ clock NOTIFY clockChanged)
    Q_PROPERTY(int animSwitchSec READ animSwitchSec WRITE setAnimSwitchSec NOTIFY animSwitchSecChanged)

public:
    explicit GUIManager(Config &config, QObject *parent = nullptr);
    ~GUIManager() override;

    // Loads the main screen document, applies the language and records the start.
    void load();

    QString screen() const { return m_screen; }
    QString deviceId() const { return m_deviceId; }
    void setDeviceId(const QString &value);
    QString language() const { return m_language; }
    void setLanguage(const QString &value);
    QString dynTr() const { return {}; }
    QString message() const { return m_message; }

    bool showCursor() const;
    void setShowCursor(bool value);
    bool showErrorDesc() const;
    void setShowErrorDesc(bool value);
    int displayOffMin() const;
    void setDisplayOffMin(int value);
    int shutdownDelaySec() const;
    void setShutdownDelaySec(int value);
    QColor screenSaverBg() const;
    QString screenSaverImg() const;
    int animSwitchSec() const;
    void setAnimSwitchSec(int value);

    Diagnostics *diagnostics() { return &m_diagnostics; }
    manager::Update *update() { return &m_update; }
    manager::Clock *clock() { return &m_clock; }

    // Length of the unit of "gui/displayOffMin". A minute on the device; test
    // harnesses and the simulator shorten it so the display-off path can be
    // driven without waiting real minutes.
    void setDisplayOffUnit(std::chrono::milliseconds unit) { m_displayOffUnit = unit; }

    QQmlApplicationEngine &engine() { return m_engine; }

public Q_SLOTS:
    void setScreen(const QString &value);
    void setScreen(const QString &value, int timeout);
    void setIdleScreen();
    void setOutOfOrderScreen(const QString &message);
    void setMaintenanceScreen();
    void shutdownRequest();
    void rebootRequest();
    void exitRequest();

    void settingsLoginRequest(const QString &pin);
    void settingsLogoutRequest();
    void saveDeviceIdRequest(const QString &deviceId);

Q_SIGNALS:
    void screenChanged();
    void deviceIdChanged();
    void languageChanged();
    void messageChanged();
    void showCursorChanged();
    void showErrorDescChanged();
    void displayOffMinChanged();
    void shutdownDelaySecChanged();
    void screenSaverBgChanged();
    void screenSaverImgChanged();
    void diagnosticsChanged();
    void updateChanged();
    void clockChanged();
    void animSwitchSecChanged();

    void settingsAccessGranted();
    void settingsAccessDenied();
    void errorOccured(const QString &error);
    void barcodeConfigurationApplied(const QStringList &configList);

private:
    // Screen logic
    void warmUpResultScreens();
    void setMessage(const QString &value);
    void onScreenTimeout();
    void onScreenChanged();
    void onValidatorStatusChanged();
    void onValidatorReasonChanged();
    void onDisplayOffTimeout();
    void onIgnitionChanged();
    void updateBoardShutdownDelay();
    void onSessionActiveChanged();
    QString validatorReason() const;

    // Validation feedback
    void onCardDetected(const QString &uid, const QString &type);
    void onCardRemoved();
    void onCardRetry();
    void onTicketValidated(const Transaction &transaction);

    // Start-up
    void loadDeviceId();
    void saveDeviceId();
    void configureLogging();
    void initQml();
    void connectHandlers();

    // Presence and remote configuration
    void initMqtt();
    void subscribeToTopics();
    void publishInfo();
    void publishStatus();
    void publishConfig();
    void publish(const QJsonObject &object, const QString &suffix);
    QString baseTopic() const;
    void onMqttConnected();
    void onMqttDisconnected();
    void onMqttError(const QString &error);
    void onMqttReceived(const QByteArray &data, const QByteArray &topic);
    void processMqttMessage(const QByteArray &data, const QByteArray &topic);
    void onConfigChanged(const QVariantMap &changes);
    void onConfigFileChanged();
    void onMaintenanceBarcodeScanned(const QJsonObject &data);

    QString m_screen;
    QString m_deviceId;
    QString m_language;
    QString m_message;
    QQmlApplicationEngine m_engine;
    QQmlContext *m_qmlContext = nullptr;
    QTranslator m_translator;
    Config &m_config;
    manager::MqttClient m_mqtt;
    manager::Validator m_validator;
    manager::Board m_board;
    manager::Inspector m_inspector;
    manager::Network m_network;
    manager::Update m_update;
    manager::Clock m_clock;
    QTimer m_screenTimer;
    QTimer m_displayOffTimer;
    SessionManager m_session;
    EventManager m_eventLog;
    Diagnostics m_diagnostics;

    std::chrono::milliseconds m_displayOffUnit = std::chrono::minutes(1);
    // Request topics already handed to the client, which renews them itself on
    // every connection; asking again would only pile up duplicates.
    QSet<QString> m_requestTopics;
    bool m_resultSeen = false;
};
