# The check of one call against the snprintf call it guards, side by side.
add_executable(format_check_bench format_check_bench.cpp)
target_link_libraries(format_check_bench PRIVATE qirt_format benchmark::benchmark)
