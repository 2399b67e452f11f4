# Fuzz targets of the options-file reader and the settings.
korven_fuzzing_library(persist_fuzzing persist qirt_settings)
korven_fuzzer(options_text_fuzzer SOURCES options_text_fuzzer.cpp LIBS persist_fuzzing)
korven_fuzzer(options_load_fuzzer SOURCES options_load_fuzzer.cpp LIBS persist_fuzzing)
