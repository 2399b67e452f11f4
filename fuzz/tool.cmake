# Fuzz targets of the template engine and the format library. For libFuzzer
# the engine's sources are compiled once more with the sanitizers and
# coverage, so the fuzzer sees inside them; the regular wyx_tool stays
# uninstrumented.
if(KORVEN_BUILD_FUZZ)
  get_target_property(_tool_sources wyx_tool SOURCES)
  get_target_property(_format_sources wyx_format SOURCES)
  get_target_property(_tool_dir wyx_tool SOURCE_DIR)
  list(APPEND _tool_sources ${_format_sources})
  list(TRANSFORM _tool_sources PREPEND "${_tool_dir}/")
  add_library(wyx_tool_fuzzing STATIC ${_tool_sources})
  target_compile_options(wyx_tool_fuzzing PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_libraries(wyx_tool_fuzzing PUBLIC wyx_io)
  set(_tool_lib wyx_tool_fuzzing)
else()
  set(_tool_lib wyx_tool)
endif()

korven_fuzzer(template_fuzzer SOURCES template_fuzzer.cpp LIBS ${_tool_lib})
korven_fuzzer(format_value_fuzzer SOURCES format_value_fuzzer.cpp LIBS ${_tool_lib})
