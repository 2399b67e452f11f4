# Fuzz target of the checking library; for libFuzzer built with its parser
# instrumented.
if(KORVEN_BUILD_FUZZ)
  get_target_property(_format_sources qirt_format SOURCES)
  get_target_property(_format_dir qirt_format SOURCE_DIR)
  get_target_property(_parser_sources wyx_format SOURCES)
  get_target_property(_parser_dir wyx_format SOURCE_DIR)
  list(TRANSFORM _format_sources PREPEND "${_format_dir}/")
  list(TRANSFORM _parser_sources PREPEND "${_parser_dir}/")
  add_library(qirt_format_fuzzing STATIC ${_format_sources} ${_parser_sources})
  target_include_directories(qirt_format_fuzzing PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(qirt_format_fuzzing PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  set(_format_lib qirt_format_fuzzing)
else()
  set(_format_lib qirt_format)
endif()

korven_fuzzer(format_check_fuzzer SOURCES format_check_fuzzer.cpp LIBS ${_format_lib})
