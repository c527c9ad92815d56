#pragma once

#include <QVariantMap>

namespace tallyport {
// The built-in settings of every key the process knows, with the type each
// reader expects (integers, booleans, texts). Built once, on first use.
const QVariantMap &defaultSettings();
} // namespace tallyport
