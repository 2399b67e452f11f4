# korven_generate_headers(<target> OPTIONS <file> [OUTPUT_DIR <dir>])
#
# Runs korven at build time and creates the INTERFACE library <target>, whose
# include directory holds format_definition_begin.hpp,
# format_definition_end.hpp and format_typelist.hpp, and which links the
# checking library korven::format (qirt/format.hpp). Link <target> to every
# target that includes them. The headers are regenerated when the options file
# or the korven executable changes, and at no other time; a header whose text
# comes out the same keeps its timestamp, so nothing is recompiled for it.
#
# OPTIONS     the options file; a relative path is taken from the current
#             source directory.
# OUTPUT_DIR  where the headers go; a relative path is taken from the current
#             binary directory. Default: korven_generated/<target> under the
#             current binary directory. It is created when the headers are
#             generated.
#
# The tool is the target korven::korven unless the cache variable
# KORVEN_EXECUTABLE names another program (for instance a host build of korven
# in a cross build).
#
# This file serves both the installed package and a source tree added with
# add_subdirectory; it only expects korven::korven to exist when the function
# is called, unless KORVEN_EXECUTABLE is set.

include_guard(GLOBAL)

set(KORVEN_EXECUTABLE "" CACHE FILEPATH
    "korven program that generates the format headers (empty: the korven::korven target)")

function(korven_generate_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OPTIONS;OUTPUT_DIR" "")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "korven_generate_headers: unexpected arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_OPTIONS)
    message(FATAL_ERROR "korven_generate_headers: OPTIONS <file> is required")
  endif()

  cmake_path(ABSOLUTE_PATH ARG_OPTIONS BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
             NORMALIZE OUTPUT_VARIABLE options_file)
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR "korven_generated/${target}")
  endif()
  cmake_path(ABSOLUTE_PATH ARG_OUTPUT_DIR BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
             NORMALIZE OUTPUT_VARIABLE output_dir)
  # korven takes the directory without a trailing separator as well as with
  # one; strip it so the include directory and the command agree.
  string(REGEX REPLACE "(.)/+$" "\\1" output_dir "${output_dir}")

  if(KORVEN_EXECUTABLE)
    set(tool "${KORVEN_EXECUTABLE}")
    set(tool_depends "${KORVEN_EXECUTABLE}")
  elseif(TARGET korven::korven)
    set(tool "$<TARGET_FILE:korven::korven>")
    # Naming the target orders the build after korven's and, for a built or
    # an imported executable alike, makes a newer korven regenerate the
    # headers.
    set(tool_depends korven::korven)
  else()
    message(FATAL_ERROR "korven_generate_headers: neither the target korven::korven "
                        "nor the cache variable KORVEN_EXECUTABLE is available")
  endif()

  set(headers
      "${output_dir}/format_definition_begin.hpp"
      "${output_dir}/format_definition_end.hpp"
      "${output_dir}/format_typelist.hpp")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.korven-stamp")

  # korven leaves a header untouched when its bytes did not change, so that
  # the sources including it are not recompiled. The command therefore
  # records its run in a stamp file, its one OUTPUT; the headers are
  # BYPRODUCTS, which the build system checks again after the run instead of
  # taking them for new. (Ninja also reruns the command when a header has
  # gone missing; the Makefile generators notice only the stamp.)
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS ${headers}
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${output_dir}"
    COMMAND "${tool}" "${options_file}" "${output_dir}"
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS "${options_file}" ${tool_depends}
    COMMENT "Generating format headers for ${target} from ${ARG_OPTIONS}"
    VERBATIM)

  # An INTERFACE library with sources owns the custom command, and targets
  # that link it are built after it.
  add_library(${target} INTERFACE "${stamp}" ${headers})
  target_include_directories(${target} INTERFACE "${output_dir}")
  if(TARGET korven::format)
    target_link_libraries(${target} INTERFACE korven::format)
  endif()
endfunction()
