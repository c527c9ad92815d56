#include "Peripheral/Validator.h"
#include "ProxyTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz::runProxy<manager::Validator>(
        data, size, QStringLiteral("vorn/blm"),
        {QStringLiteral("/info"), QStringLiteral("/status"), QStringLiteral("/config"),
         QStringLiteral("/rfid/retry"), QStringLiteral("/rfid/removed"), QStringLiteral("/rfid/scanned"),
         QStringLiteral("/barcode/scanned"), QStringLiteral("/barcode/maintenance/scanned")},
        {QStringLiteral("vorn/rfid/card/found"), QStringLiteral("vorn/rfid/card/removed")});
}
