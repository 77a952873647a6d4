#include "platform/qt/reader_requests.h"

namespace platform::qt {

// This platform's bridge asks the text interface for one range at a time.
void CheckReaderRequests() {}

} // namespace platform::qt
