#include "Resources.h"

#include <QtGlobal>

static void initBundle()
{
    Q_INIT_RESOURCE(bundle);
}

namespace tallyport {
void initResources()
{
    static bool done = false;
    if (!done) {
        initBundle();
        done = true;
    }
}
} // namespace tallyport
