// korven optionsfile outputpath: writes the three format checking headers.
#include <cstdio>
#include <string>
#include <vector>

#include "app/driver.hpp"
#include "wyx/oo/platform.hpp"

int main(int argc, char** argv) {
  // A header that hits the file-size limit must not leave a temporary behind.
  wyx::platform::reportFileSizeLimitAsError();
  std::vector<std::string> operands(argv + (argc > 0 ? 1 : 0), argv + argc);
  return korven::runDriver(operands, stdout);
}
