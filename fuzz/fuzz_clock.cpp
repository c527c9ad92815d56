#include "Peripheral/Clock.h"
#include "ProxyTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Clock>(
        data, size, QStringLiteral("vorn/device"),
        {QStringLiteral("/clock/ntp/status"), QStringLiteral("/clock/ntp/config")});
}
