#pragma once

namespace tallyport {
// The screens' bundle lives in the static core library; static libraries only
// register their resources when asked to.
void initResources();
} // namespace tallyport
