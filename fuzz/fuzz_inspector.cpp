#include "Peripheral/Inspector.h"
#include "ProxyTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Inspector>(
        data, size, QStringLiteral("vorn/inspector"),
        {QStringLiteral("/info"), QStringLiteral("/status"), QStringLiteral("/audio"),
         QStringLiteral("/stats/cpu"), QStringLiteral("/stats/memory"), QStringLiteral("/stats/disk")});
}
