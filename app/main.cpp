// korven optionsfile outputpath: writes the three format checking headers.
#include <cstdio>
#include <string>
#include <vector>

#include "app/driver.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> operands(argv + (argc > 0 ? 1 : 0), argv + argc);
  return korven::runDriver(operands, stdout);
}
