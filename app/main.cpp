// korven optionsfile outputpath: writes the three format checking headers.
#include <cstdio>

#include "app/driver.hpp"
#include "wyx/platform/platform.hpp"

// Windows hands the wide entry point its operands in UTF-16; POSIX gives
// bytes, which the platform layer decodes without losing any.
#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  // A header that hits the file-size limit must not leave a temporary behind.
  wyx::platform::reportFileSizeLimitAsError();
  return korven::runDriver(argc, argv, stdout);
}
