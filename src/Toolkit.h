#pragma once

namespace tallyport {
// Settings the toolkit reads from the environment, made before the
// application object exists. A value the operator set stays.
void prepareToolkit();
} // namespace tallyport
