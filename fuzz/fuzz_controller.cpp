#include "ControllerTarget.h"

// The controller's own topics: the three state requests and the remote
// configuration.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static fuzz::ControllerTarget *target = fuzz::ControllerTarget::create(
        {QStringLiteral("vorn/ui/config/set"), QStringLiteral("vorn/ui/status/get"),
         QStringLiteral("vorn/ui/info/get"), QStringLiteral("vorn/ui/config/get")});
    target->run(data, size);
    return 0;
}
