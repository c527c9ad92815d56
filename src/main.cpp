#include "CommandLine.h"
#include "Common/Config.h"
#include "Common/Watchdog.h"
#include "Defaults.h"
#include "GUIManager.h"
#include "Resources.h"
#include "Toolkit.h"

#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQuickWindow>

int main(int argc, char *argv[])
{
    // Must be set before the application object exists: text fields then use
    // the device's on-screen keyboard.
    qputenv("QT_IM_MODULE", QByteArrayLiteral("freevirtualkeyboard"));
    tallyport::prepareToolkit();

    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Tallyport"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tallyport"));
    QGuiApplication::setApplicationVersion(QStringLiteral("1.0.21-1-g4a2310e"));
    QGuiApplication::setOrganizationName(QStringLiteral("vorn"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("vorn.example"));

    const QVariantMap overrides = parseCLIArgs();
    const QString filename = overrides.contains(QStringLiteral("config"))
        ? overrides.value(QStringLiteral("config")).toString()
        : QStringLiteral("gui.conf");

    Config config(filename, tallyport::defaultSettings());
    config.addOverrides(overrides);

    tallyport::initResources();
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/DejaVuSans.ttf")) < 0) {
        qWarning().noquote().nospace() << "WARN: Cannot load font :/qml/fonts/DejaVuSans.ttf";
    }
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));

    // Declared after the store: destroyed first, then the store, then the
    // application object.
    GUIManager manager(config);
    manager.load();

    Watchdog watchdog;
    const QList<QObject *> roots = manager.engine().rootObjects();
    watchdog.watch(roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(roots.first()));

    return app.exec();
}
