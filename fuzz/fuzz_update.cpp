#include "Peripheral/Update.h"
#include "ProxyTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Update>(
        data, size, QStringLiteral("vorn/device"),
        {QStringLiteral("/status"), QStringLiteral("/update/software/status"),
         QStringLiteral("/update/software/progress"), QStringLiteral("/update/software/progess")});
}
