#pragma once

#include <QVariantMap>

// Turns the application's command line into configuration overrides
// ("log/level", "mqtt/host", ..., "config"). Ends the process itself for help
// (status 0), version (status 0) and parse errors (status 1).
QVariantMap parseCLIArgs();
