// Must precede the Quick Test header, which picks its main() by it.
#define QUICK_TEST_SOURCE_DIR TALLYPORT_SOURCE_DIR "/tests/qml"

#include "ManagerStandIn.h"
#include "Resources.h"

#include <QFontDatabase>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

// Qt Quick Test runner for the QML files under tests/qml. Every test file gets
// a fresh engine with the bundle, the Material style and a stand-in controller.
class QmlSetup : public QObject
{
    Q_OBJECT

public:
    QmlSetup()
    {
        qputenv("QT_QUICK_CONTROLS_CONF", ":/qml/qtquickcontrols2.conf");
        qputenv("QT_IM_MODULE", "freevirtualkeyboard");
    }

public slots:
    void applicationAvailable()
    {
        tallyport::initResources();
        QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf"));
        QQuickStyle::setStyle(QStringLiteral("Material"));
    }

    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral(TALLYPORT_SOURCE_DIR "/tools/stand-ins/qml"));
        new ManagerStandIn(engine, engine);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_qml, QmlSetup)

#include "moc_ManagerStandIn.cpp"
#include "tst_qml.moc"
