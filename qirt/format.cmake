# The checking library, korven's second product: qirt/format.hpp and the
# compiled checks. It needs only the specifier parser, not the generator.
add_library(qirt_format STATIC
  format_check.cpp
  format_dialect.cpp
  format_error.cpp
)
add_library(korven::format ALIAS qirt_format)
target_include_directories(qirt_format PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
target_link_libraries(qirt_format PRIVATE wyx_format)
# The public header is C++11; the library itself is built as the project is.
target_compile_features(qirt_format INTERFACE cxx_std_11)
set_target_properties(qirt_format PROPERTIES
  EXPORT_NAME format
  POSITION_INDEPENDENT_CODE ON)
set_target_properties(wyx_format PROPERTIES EXPORT_NAME format_parser)

# qirt_format_test_headers(<target> <options file>)
# Generates the three headers with this build's korven into the include
# directory of the INTERFACE library <target>, which also links the checking
# library. For tests in this tree, where korven is built along.
function(qirt_format_test_headers target options)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.stamp)
  # korven keeps unchanged headers as they are, hence the stamp.
  add_custom_command(
    OUTPUT ${stamp}
    BYPRODUCTS ${dir}/format_definition_begin.hpp ${dir}/format_definition_end.hpp
               ${dir}/format_typelist.hpp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND korven ${options} ${dir}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${options} korven
    COMMENT "Generating format headers for ${target}"
    VERBATIM)
  add_library(${target} INTERFACE ${stamp})
  target_include_directories(${target} INTERFACE ${dir})
  target_link_libraries(${target} INTERFACE qirt_format)
endfunction()

korven_test(qirt_format_test
  SOURCES
    format_check_test.cpp
  LIBS qirt_format)
