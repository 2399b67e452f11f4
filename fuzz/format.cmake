# Fuzz target of the checking library.
korven_fuzzing_library(qirt_format_fuzzing qirt_format wyx_format)
korven_fuzzer(format_check_fuzzer SOURCES format_check_fuzzer.cpp LIBS qirt_format_fuzzing)
