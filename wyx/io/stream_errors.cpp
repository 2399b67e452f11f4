#include "wyx/io/stream_errors.hpp"

namespace wyx::io {

void raiseStreamOpenError() { throw EStreamOpenError(kStreamOpenErrorMessage); }
void raiseStreamSetPosError() { throw EStreamSetPosError(kStreamSetPosErrorMessage); }
void raiseStreamReadError() { throw EStreamReadError(kStreamReadErrorMessage); }
void raiseStreamWriteError() { throw EStreamWriteError(kStreamWriteErrorMessage); }

}  // namespace wyx::io
