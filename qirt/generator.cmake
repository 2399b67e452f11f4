# The header generator: library `qirt`, with the templates of
# qirt/templates/ compiled in as data.

# qirt_embed_templates(<output.cpp> <function> <template files...>)
# Generates <output.cpp> defining `const qirt::TemplateLibrary& qirt::<function>()`
# that holds the given files byte for byte, each under its file name without
# extension. Rebuilt when a template changes.
function(qirt_embed_templates output function)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_templates.cmake)
  # '|' rather than ';' so the list survives the command line in one piece.
  string(REPLACE ";" "|" inputs "${ARGN}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DFUNCTION=${function} -DINPUTS=${inputs}
            -P ${script}
    DEPENDS ${ARGN} ${script}
    COMMENT "Embedding templates into ${output}"
    VERBATIM)
endfunction()

set(QIRT_TEMPLATES
  ${CMAKE_CURRENT_SOURCE_DIR}/templates/format_definition_begin.tpl
  ${CMAKE_CURRENT_SOURCE_DIR}/templates/format_definition_end.tpl
  ${CMAKE_CURRENT_SOURCE_DIR}/templates/format_typelist.tpl
)
qirt_embed_templates(${CMAKE_CURRENT_BINARY_DIR}/builtin_templates.cpp builtInTemplates
                     ${QIRT_TEMPLATES})

add_library(qirt STATIC
  declaration_macros.cpp
  expansion_output.cpp
  formatheadergenerator.cpp
  header_files.cpp
  header_output.cpp
  header_size.cpp
  output_stream.cpp
  parameter_lists.cpp
  template_library.cpp
  typelist_macros.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/builtin_templates.cpp
)
target_link_libraries(qirt PUBLIC wyx_tool qirt_settings)

# What a replaced header keeps of the old file differs between the systems;
# on Windows the platform layer's tests check its attributes.
if(WIN32)
  set(header_files_platform_test "")
else()
  set(header_files_platform_test header_files_posix_test.cpp)
endif()
korven_test(qirt_generator_test
  SOURCES
    generator_test.cpp
    header_files_test.cpp
    ${header_files_platform_test}
    parameter_lists_test.cpp
    template_library_test.cpp
  LIBS qirt)
