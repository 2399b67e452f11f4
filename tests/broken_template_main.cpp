// korven built with a begin template that names an unknown macro deep inside
// a nested block, for the end-to-end test of template error reports.
#include <cstdio>
#include <string>
#include <vector>

#include "app/driver.hpp"

namespace qirt {
const TemplateLibrary& brokenTemplates();
}

int main(int argc, char** argv) {
  std::vector<std::string> operands(argv + (argc > 0 ? 1 : 0), argv + argc);
  return korven::runDriver(operands, stdout, qirt::brokenTemplates());
}
