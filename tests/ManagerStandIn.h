#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QLocale>
#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTranslator>
#include <QVariantMap>

#include "Common/TextureImageProvider.h"
#include "Common/TintedIconProvider.h"

// Test-side stand-in for the controller as the screens see it: the same
// property names, notifications and slots, with the language switch done the
// controller's way (one catalogue, installed for every language but English).
class ManagerStandIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QString deviceId READ deviceId WRITE setDeviceId NOTIFY deviceIdChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString dynTr READ dynTr NOTIFY languageChanged)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(bool showCursor READ showCursor WRITE setShowCursor NOTIFY showCursorChanged)
    Q_PROPERTY(int animSwitchSec READ animSwitchSec WRITE setAnimSwitchSec NOTIFY animSwitchSecChanged)
    Q_PROPERTY(QColor screenSaverBg READ screenSaverBg WRITE setScreenSaverBg NOTIFY screenSaverBgChanged)
    Q_PROPERTY(
        QString screenSaverImg READ screenSaverImg WRITE setScreenSaverImg NOTIFY screenSaverImgChanged)
    Q_PROPERTY(int maintenanceRequests READ maintenanceRequests NOTIFY maintenanceRequestsChanged)
    Q_PROPERTY(QString savedDeviceId READ savedDeviceId NOTIFY savedDeviceIdChanged)

public:
    explicit ManagerStandIn(QQmlEngine *engine, QObject *parent = nullptr) : QObject(parent), m_engine(engine)
    {
        m_engine->rootContext()->setContextProperty(QStringLiteral("manager"), this);
        m_engine->rootContext()->setContextProperty(QStringLiteral("transaction"), QVariantMap());
        TintedIconProvider::install(m_engine);
        TextureImageProvider::install(m_engine);
    }
    ~ManagerStandIn() override { QCoreApplication::removeTranslator(&m_translator); }

    QString screen() const { return m_screen; }
    void setScreen(const QString &value)
    {
        if (value == m_screen)
            return;
        m_screen = value;
        emit screenChanged();
    }
    QString deviceId() const { return m_deviceId; }
    void setDeviceId(const QString &value)
    {
        if (value == m_deviceId)
            return;
        m_deviceId = value;
        emit deviceIdChanged();
    }
    QString language() const { return m_language; }
    void setLanguage(const QString &value)
    {
        if (value == m_language)
            return;
        if (m_translator.isEmpty()
            && !m_translator.load(QStringLiteral(":/qml/translations/Tallyport_el_GR.qm")))
            qFatal("catalogue missing from the bundle");
        if (QLocale(value).language() == QLocale::English)
            QCoreApplication::removeTranslator(&m_translator);
        else
            QCoreApplication::installTranslator(&m_translator);
        QLocale::setDefault(QLocale(value));
        m_language = value;
        emit languageChanged();
    }
    QString dynTr() const { return QString(); }
    QString message() const { return m_message; }
    void setMessage(const QString &value)
    {
        if (value == m_message)
            return;
        m_message = value;
        emit messageChanged();
    }
    bool showCursor() const { return m_showCursor; }
    void setShowCursor(bool value)
    {
        if (value == m_showCursor)
            return;
        m_showCursor = value;
        emit showCursorChanged();
    }
    int animSwitchSec() const { return m_animSwitchSec; }
    void setAnimSwitchSec(int value)
    {
        if (value == m_animSwitchSec)
            return;
        m_animSwitchSec = value;
        emit animSwitchSecChanged();
    }
    QColor screenSaverBg() const { return m_screenSaverBg; }
    void setScreenSaverBg(const QColor &value)
    {
        if (value == m_screenSaverBg)
            return;
        m_screenSaverBg = value;
        emit screenSaverBgChanged();
    }
    QString screenSaverImg() const { return m_screenSaverImg; }
    void setScreenSaverImg(const QString &value)
    {
        if (value == m_screenSaverImg)
            return;
        m_screenSaverImg = value;
        emit screenSaverImgChanged();
    }
    int maintenanceRequests() const { return m_maintenanceRequests; }
    QString savedDeviceId() const { return m_savedDeviceId; }

    // What the controller does with every validation result.
    Q_INVOKABLE void setTransaction(const QVariantMap &map)
    {
        m_engine->rootContext()->setContextProperty(QStringLiteral("transaction"), map);
    }

public slots:
    void setMaintenanceScreen()
    {
        ++m_maintenanceRequests;
        emit maintenanceRequestsChanged();
    }
    void saveDeviceIdRequest(const QString &deviceId)
    {
        m_savedDeviceId = deviceId;
        emit savedDeviceIdChanged();
    }

signals:
    void screenChanged();
    void deviceIdChanged();
    void languageChanged();
    void messageChanged();
    void showCursorChanged();
    void animSwitchSecChanged();
    void screenSaverBgChanged();
    void screenSaverImgChanged();
    void maintenanceRequestsChanged();
    void savedDeviceIdChanged();
    void errorOccured(const QString &error);

private:
    QQmlEngine *m_engine;
    QTranslator m_translator;
    QString m_screen;
    QString m_deviceId;
    QString m_language;
    QString m_message;
    bool m_showCursor = false;
    int m_animSwitchSec = 0;
    QColor m_screenSaverBg = QColor(Qt::black);
    QString m_screenSaverImg = QStringLiteral("qrc:/qml/images/Icons/vorn.png");
    int m_maintenanceRequests = 0;
    QString m_savedDeviceId;
};
