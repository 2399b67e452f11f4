// korven built with a begin template that names an unknown macro deep inside
// a nested block, for the end-to-end test of template error reports.
#include <cstdio>

#include "app/test_support.hpp"
#include "wyx/platform/platform.hpp"

namespace qirt {
const TemplateLibrary& brokenTemplates();
}

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  return korven::runDriver(argc, argv, stdout,
                           qirt::brokenTemplates());
}
