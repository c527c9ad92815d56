#include "ControllerTarget.h"

// A maintenance barcode read while a technician is logged in: the payload
// reaches the controller's handler, which applies the validator and network
// settings it carries.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static fuzz::ControllerTarget *target = [] {
        auto *created
            = fuzz::ControllerTarget::create({QStringLiteral("vorn/blm/barcode/maintenance/scanned")});
        created->manager().settingsLoginRequest(QStringLiteral("4826"));
        return created;
    }();
    target->run(data, size);
    return 0;
}
