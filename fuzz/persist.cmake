# Fuzz targets of the options-file reader. The persist and settings sources
# are compiled once more with the sanitizers and coverage instrumentation.
if(KORVEN_BUILD_FUZZ)
  get_target_property(_persist_sources persist SOURCES)
  get_target_property(_persist_dir persist SOURCE_DIR)
  list(TRANSFORM _persist_sources PREPEND "${_persist_dir}/")
  get_target_property(_settings_sources qirt_settings SOURCES)
  get_target_property(_settings_dir qirt_settings SOURCE_DIR)
  list(TRANSFORM _settings_sources PREPEND "${_settings_dir}/")
  add_library(persist_fuzzing STATIC ${_persist_sources} ${_settings_sources})
  target_compile_options(persist_fuzzing PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_libraries(persist_fuzzing PUBLIC wyx_io)
  set(_persist_lib persist_fuzzing)
else()
  set(_persist_lib qirt_settings)
endif()

korven_fuzzer(options_text_fuzzer SOURCES options_text_fuzzer.cpp LIBS ${_persist_lib})
korven_fuzzer(options_load_fuzzer SOURCES options_load_fuzzer.cpp LIBS ${_persist_lib})
