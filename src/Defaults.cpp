#include "Defaults.h"

#include <QString>

namespace tallyport {
const QVariantMap &defaultSettings()
{
    static const QVariantMap settings {
        {QStringLiteral("log/level"), 2},
        {QStringLiteral("log/syslog"), true},
        {QStringLiteral("log/stderr"), true},
        {QStringLiteral("log/color"), false},
        {QStringLiteral("mqtt/host"), QStringLiteral("localhost")},
        {QStringLiteral("mqtt/port"), 1883},
        {QStringLiteral("mqtt/username"), QString()},
        {QStringLiteral("mqtt/password"), QString()},
        {QStringLiteral("mqtt/base"), QStringLiteral("vorn/ui")},
        {QStringLiteral("gui/settingsPin"), QStringLiteral("4826")},
        {QStringLiteral("gui/showCursor"), true},
        {QStringLiteral("gui/deviceId"), QStringLiteral("/etc/serialnumber")},
        {QStringLiteral("gui/locale"), QStringLiteral("el_GR")},
        {QStringLiteral("gui/displayOffMin"), 3},
        {QStringLiteral("gui/shutdownDelaySec"), 60},
        {QStringLiteral("gui/showErrorDesc"), false},
        {QStringLiteral("gui/screenSaverBg"), QStringLiteral("black")},
        {QStringLiteral("gui/screenSaverImg"), QStringLiteral("qrc:/qml/images/Icons/vorn.png")},
        // Milliseconds, whatever the name says; stored files rely on it.
        {QStringLiteral("gui/animSwitchSec"), 0},
        {QStringLiteral("topics/barcode"), QStringLiteral("vorn/barcode")},
        {QStringLiteral("topics/blm"), QStringLiteral("vorn/blm")},
        {QStringLiteral("topics/board"), QStringLiteral("vorn/board")},
        {QStringLiteral("topics/inspector"), QStringLiteral("vorn/inspector")},
        {QStringLiteral("topics/network"), QStringLiteral("vorn/network")},
        {QStringLiteral("topics/device"), QStringLiteral("vorn/device")},
    };
    return settings;
}
} // namespace tallyport
