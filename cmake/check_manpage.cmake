# cmake -DGROFF=<groff> -DMANPAGE=<file> -DVERSION=<x.y.z> -P check_manpage.cmake
#
# Fails when groff reports anything while formatting the page (it exits 0 on
# warnings, so its error output is what counts) or when the page's title line
# names another version than the build.

execute_process(
  COMMAND ${GROFF} -man -Tutf8 -ww -z ${MANPAGE}
  RESULT_VARIABLE rc
  ERROR_VARIABLE diagnostics)
if(NOT rc EQUAL 0 OR NOT diagnostics STREQUAL "")
  message(FATAL_ERROR "groff reported problems in ${MANPAGE} (exit ${rc}):\n${diagnostics}")
endif()

file(STRINGS ${MANPAGE} title REGEX "^\\.TH ")
if(NOT title MATCHES "\"korven ${VERSION}\"")
  message(FATAL_ERROR "${MANPAGE}: title line does not name korven ${VERSION}: ${title}")
endif()
