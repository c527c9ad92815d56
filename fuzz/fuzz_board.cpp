#include "Peripheral/Board.h"
#include "ProxyTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Board>(data, size, QStringLiteral("vorn/board"),
                                          {QStringLiteral("/info"), QStringLiteral("/status"),
                                           QStringLiteral("/config"), QStringLiteral("/display"),
                                           QStringLiteral("/power"), QStringLiteral("/event"),
                                           QStringLiteral("/audio")});
}
