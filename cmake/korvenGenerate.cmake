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
# korven_check_formats(<target> [OPTIONS <file> | FUNCTIONS <name>...]
#                      [COMPILE_TIME_CHECKS] [DEBUG] [MODE <throw|observe|abort>])
#
# Checks the printf- and scanf-family calls of the C++ sources of <target>
# (an executable or a library that compiles sources): generates the headers,
# force-includes the routing header qirt/format_stdio.hpp into every C++ unit
# of <target>, defines QIRT_FORMAT_CHECK there and links korven::format. C
# units are left alone. Without the call nothing is routed or checked.
#
# OPTIONS      an options file of the project's own, as for
#              korven_generate_headers().
# FUNCTIONS    the functions to route, when there is no OPTIONS; default:
#              KORVEN_STANDARD_FORMAT_FUNCTIONS, the C library's functions
#              that the routing header declares for this platform. A name
#              the routing header does not know is the program's own, which
#              the program declares itself:
#                FUNCTIONS ${KORVEN_STANDARD_FORMAT_FUNCTIONS} log_printf
# COMPILE_TIME_CHECKS
#              sets CompileTimeChecks in the options file the function
#              writes, so the compiler keeps checking literal formats. It
#              does not rewrite a file given with OPTIONS: set the property
#              there instead (giving both is an error).
# DEBUG        defines QIRT_FORMAT_CHECK_DEBUG: messages name the file, line
#              and function of the call.
# MODE         defines QIRT_FORMAT_MODE=<mode>, what a mismatch does.
#
# The headers go to korven_generated/<target>_format_headers under the
# current binary directory; <target>_format_headers is the INTERFACE library
# that korven_generate_headers() makes of them.
#
# This file serves both the installed package and a source tree added with
# add_subdirectory; it only expects korven::korven to exist when a function
# is called, unless KORVEN_EXECUTABLE is set.

# The C library's functions whose wrappers qirt/format_stdio.hpp declares, as
# the target platform has them; in the cache so that a project that adds the
# korven tree as a subdirectory sees them too.
set(korven_standard_functions
    printf fprintf sprintf snprintf scanf fscanf sscanf
    wprintf fwprintf swprintf wscanf fwscanf swscanf)
if(WIN32)
  list(APPEND korven_standard_functions
       _snprintf _snwprintf
       printf_s fprintf_s sprintf_s _snprintf_s wprintf_s fwprintf_s swprintf_s _snwprintf_s
       scanf_s fscanf_s sscanf_s wscanf_s fwscanf_s swscanf_s)
endif()
set(KORVEN_STANDARD_FORMAT_FUNCTIONS "${korven_standard_functions}" CACHE INTERNAL
    "the C library's format functions that qirt/format_stdio.hpp declares")
unset(korven_standard_functions)

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

function(korven_check_formats target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "COMPILE_TIME_CHECKS;DEBUG" "OPTIONS;MODE" "FUNCTIONS")
  set(fail "korven_check_formats(${target})")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${fail}: unexpected arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "${fail}: there is no target ${target}")
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(imported ${target} IMPORTED)
  if(imported OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
    message(FATAL_ERROR "${fail}: ${target} compiles no sources of this project; "
                        "name the executables and libraries whose calls are to be checked")
  endif()
  if(ARG_OPTIONS AND ARG_FUNCTIONS)
    message(FATAL_ERROR "${fail}: the options file ${ARG_OPTIONS} names the functions; "
                        "give OPTIONS or FUNCTIONS, not both")
  endif()
  if(ARG_OPTIONS AND ARG_COMPILE_TIME_CHECKS)
    message(FATAL_ERROR "${fail}: COMPILE_TIME_CHECKS sets the property in the options file "
                        "that the function writes; with OPTIONS, set "
                        "Persistent.CompileTimeChecks = True in ${ARG_OPTIONS} instead")
  endif()
  if(DEFINED ARG_MODE AND NOT ARG_MODE MATCHES "^(throw|observe|abort)$")
    message(FATAL_ERROR "${fail}: MODE is throw, observe or abort, not '${ARG_MODE}'")
  endif()
  set(headers ${target}_format_headers)
  if(TARGET ${headers})
    message(FATAL_ERROR "${fail}: ${target} is checked already (the target ${headers} exists)")
  endif()

  if(ARG_OPTIONS)
    set(options "${ARG_OPTIONS}")
  else()
    set(options "${CMAKE_CURRENT_BINARY_DIR}/korven_generated/${target}.options.txt")
    _korven_write_options("${fail}" "${options}" "${ARG_COMPILE_TIME_CHECKS}" ${ARG_FUNCTIONS})
  endif()
  korven_generate_headers(${headers} OPTIONS "${options}")

  # What target_link_libraries(PRIVATE) would add, without it: a project's
  # older calls of target_link_libraries without a keyword (allowed as long
  # as every call on the target has none) stay valid.
  set_property(TARGET ${target} APPEND PROPERTY LINK_LIBRARIES ${headers})
  if(type MATCHES "^(STATIC|OBJECT)_LIBRARY$")
    set_property(TARGET ${target} APPEND PROPERTY INTERFACE_LINK_LIBRARIES
                 "$<LINK_ONLY:korven::format>")
  endif()

  set(definitions QIRT_FORMAT_CHECK)
  if(ARG_DEBUG)
    list(APPEND definitions QIRT_FORMAT_CHECK_DEBUG)
  endif()
  if(DEFINED ARG_MODE)
    list(APPEND definitions QIRT_FORMAT_MODE=${ARG_MODE})
  endif()
  list(TRANSFORM definitions PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
  list(TRANSFORM definitions APPEND ">")
  target_compile_definitions(${target} PRIVATE ${definitions})
  if(MSVC OR CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
    set(force_include "/FIqirt/format_stdio.hpp")
  else()
    set(force_include "SHELL:-include qirt/format_stdio.hpp")
  endif()
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${force_include}>")
endfunction()

# Writes the options file of korven_check_formats(): the given names or the
# standard functions, with as many fixed parameters as _snprintf_s needs
# where it is among them. The file keeps its time stamp while its text stays
# the same, so configuring again generates nothing.
function(_korven_write_options fail file compile_time_checks)
  set(names ${ARGN})
  if(NOT names)
    set(names ${KORVEN_STANDARD_FORMAT_FUNCTIONS})
  endif()
  set(text "object Options: TPersistenceWrapper\n")
  if("_snprintf_s" IN_LIST names OR "_snwprintf_s" IN_LIST names)
    string(APPEND text "  Persistent.MaxFixedParams = 3\n")
  endif()
  string(APPEND text "  Persistent.FormatNames.Strings = (")
  foreach(name IN LISTS names)
    if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      message(FATAL_ERROR "${fail}: '${name}' in FUNCTIONS is not a function name")
    endif()
    string(APPEND text "\n    '${name}'")
  endforeach()
  string(APPEND text ")\n")
  if(compile_time_checks)
    string(APPEND text "  Persistent.CompileTimeChecks = True\n")
  endif()
  string(APPEND text "end\n")
  file(CONFIGURE OUTPUT "${file}" CONTENT "${text}" @ONLY)
endfunction()
