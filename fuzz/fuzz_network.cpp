#include "Peripheral/Network.h"
#include "ProxyTarget.h"

// The Ethernet proxy lives inside the network proxy, on the same client.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Network>(data, size, QStringLiteral("vorn/network"),
                                            {QStringLiteral("/info"), QStringLiteral("/status"),
                                             QStringLiteral("/ethernet/state"),
                                             QStringLiteral("/ethernet/config")});
}
