#include "Toolkit.h"

#include <QByteArray>
#include <QtGlobal>

namespace {
void setUnlessSet(const char *name, const QByteArray &value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}
} // namespace

namespace tallyport {
void prepareToolkit()
{
    // The style settings (Material, dark theme, accent) live beside the
    // screens in the bundle, not at the bundle's root where the toolkit
    // looks by default.
    setUnlessSet("QT_QUICK_CONTROLS_CONF", QByteArrayLiteral(":/qml/qtquickcontrols2.conf"));
    // The window asks for its next frame at once, not 5 ms later as the
    // platform does by default to gather changes: what one message or touch
    // changes is changed in one go before the frame is drawn anyway, and the
    // frame a passenger waits for after a result should not wait longer.
    setUnlessSet("QT_QPA_UPDATE_IDLE_TIME", QByteArrayLiteral("0"));
}
} // namespace tallyport
