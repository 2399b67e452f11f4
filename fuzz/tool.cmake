# Fuzz targets of the template engine and the format library.
korven_fuzzing_library(wyx_tool_fuzzing wyx_tool wyx_format)
korven_fuzzer(template_fuzzer SOURCES template_fuzzer.cpp LIBS wyx_tool_fuzzing)
korven_fuzzer(format_value_fuzzer SOURCES format_value_fuzzer.cpp LIBS wyx_tool_fuzzing)
