# Install rules, the CMake package for users, the Debian package and the check
# of the manual page. Included at the end of the top-level CMakeLists.txt, also
# when korven is added to another project with add_subdirectory.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# korven_generate_headers() for this build and for projects that add this tree
# with add_subdirectory (functions are global, so the caller sees it too).
include(${CMAKE_CURRENT_LIST_DIR}/korvenGenerate.cmake)

# The same name the installed package gives the imported tool.
if(TARGET korven AND NOT TARGET korven::korven)
  add_executable(korven::korven ALIAS korven)
endif()

# A project that adds this tree with add_subdirectory gets no korven files in
# its own install or package unless it asks for them.
option(KORVEN_INSTALL "Install korven and build its Debian package" ${PROJECT_IS_TOP_LEVEL})

if(KORVEN_INSTALL AND TARGET korven)
  set(KORVEN_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/korven")

  install(TARGETS korven RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The checking library: korven::format, with the specifier parser it links.
  install(TARGETS qirt_format wyx_format EXPORT korvenTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/checker/include/qirt
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT korvenTargets NAMESPACE korven:: DESTINATION ${KORVEN_CMAKE_DIR})
  if(WIN32)
    # No manual pages there; the README travels with the program instead.
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  else()
    install(FILES ${PROJECT_SOURCE_DIR}/doc/korven.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/korvenConfig.cmake.in
    ${PROJECT_BINARY_DIR}/korvenConfig.cmake
    INSTALL_DESTINATION ${KORVEN_CMAKE_DIR}
    PATH_VARS CMAKE_INSTALL_BINDIR)
  # The package holds the checking library, built for this architecture, so
  # it serves builds for this architecture only.
  write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/korvenConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
  install(FILES
    ${PROJECT_BINARY_DIR}/korvenConfig.cmake
    ${PROJECT_BINARY_DIR}/korvenConfigVersion.cmake
    ${CMAKE_CURRENT_LIST_DIR}/korvenGenerate.cmake
    DESTINATION ${KORVEN_CMAKE_DIR})

  # `cmake --build <dir> --target package`: a Debian package, or for Windows
  # a ZIP that a project finds with find_package once unpacked.
  set(KORVEN_PACKAGE_MAINTAINER "korven developers <korven@localhost>" CACHE STRING
      "Maintainer field of the Debian package")
  if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME windows-x86_64)
  else()
    set(CPACK_GENERATOR DEB)
  endif()
  set(CPACK_PACKAGE_NAME korven)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "format-checked printf and scanf calls: header generator and checking library")
  string(CONCAT CPACK_PACKAGE_DESCRIPTION
      "korven reads an options file and writes format_definition_begin.hpp,\n"
      "format_definition_end.hpp and format_typelist.hpp, which route calls of\n"
      "printf-like functions through format-checking wrappers, and the checking\n"
      "library they call (qirt/format.hpp, libqirt_format.a). The package also\n"
      "holds a CMake package with korven_generate_headers() and korven::format.")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVEN_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_STRIP_FILES ON)
  find_program(KORVEN_DPKG_SHLIBDEPS dpkg-shlibdeps)
  mark_as_advanced(KORVEN_DPKG_SHLIBDEPS)
  if(KORVEN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    message(STATUS "dpkg-shlibdeps not found: the Debian package will list no dependencies")
  endif()
  # Only the binary package is wanted; keep package_source from sweeping up
  # build trees if someone runs it.
  set(CPACK_SOURCE_GENERATOR TGZ)
  set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/generated/")
  include(CPack)
endif()

# The manual page must render without a single groff warning.
if(KORVEN_BUILD_TESTS)
  find_program(KORVEN_GROFF groff)
  mark_as_advanced(KORVEN_GROFF)
  add_test(NAME korven_manpage
           COMMAND ${CMAKE_COMMAND}
                   -DGROFF=${KORVEN_GROFF}
                   -DMANPAGE=${PROJECT_SOURCE_DIR}/doc/korven.1
                   -DVERSION=${PROJECT_VERSION}
                   -P ${CMAKE_CURRENT_LIST_DIR}/check_manpage.cmake)
  if(NOT KORVEN_GROFF)
    set_tests_properties(korven_manpage PROPERTIES DISABLED TRUE)
  endif()
endif()
