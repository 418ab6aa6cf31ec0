# Installs the library as a package: its public headers under
# include/kivet/, libkivet.a, the command kivet-check (not in the browser's
# build), a CMake package (find_package(kivet 1.0) gives
# kivet::kivet) and kivet.pc for pkg-config; and its documentation under
# share/doc/kivet: the README, the change log, the guide and the examples'
# sources with their check files, and the licences of what the library
# carries (the face KIVET-font, made from DejaVu Sans; stb).
include(CMakePackageConfigHelpers)

set(KIVET_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kivet)
set(KIVET_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS kivet EXPORT kivetTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET kivet-check)
  # The check command, kivet::check in the package, with kivet_add_check.
  install(TARGETS kivet-check EXPORT kivetTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/kivetCheck.cmake DESTINATION ${KIVET_CMAKE_DIR})
endif()
if(KIVET_SYSTEM STREQUAL web)
  # The page's JavaScript and HTML, which every program's link names.
  install(TARGETS kivet_web_flags EXPORT kivetTargets)
  list(TRANSFORM KIVET_WEB_FILES PREPEND ${KIVET_WEB_DIR}/ OUTPUT_VARIABLE KIVET_WEB_PATHS)
  install(FILES ${KIVET_WEB_PATHS} DESTINATION ${KIVET_WEB_DATA_DIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/kivet/kivet.h ${PROJECT_SOURCE_DIR}/kivet/display.h
              ${PROJECT_SOURCE_DIR}/kivet/keys.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kivet)

install(EXPORT kivetTargets NAMESPACE kivet:: DESTINATION ${KIVET_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/kivetConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/kivetConfig.cmake
              ${PROJECT_SOURCE_DIR}/cmake/kivet_files.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/kivetConfigVersion.cmake
        DESTINATION ${KIVET_CMAKE_DIR})

# kivet.pc finds the prefix from its own place, so the package can be
# installed under any prefix (cmake --install --prefix) and moved.
# What the library needs beside itself: pkg-config modules on Linux, the
# system's libraries on Windows; in the browser the page's flags, in a
# kivet.pc of its own (kivet-web.pc.in).
if(KIVET_SYSTEM STREQUAL windows)
  set(KIVET_PC_REQUIRES "")
  set(KIVET_PC_LIBS " -luser32 -lgdi32")
else()
  set(KIVET_PC_REQUIRES "gtk+-3.0 x11 wayland-client cairo pangocairo")
  set(KIVET_PC_LIBS "")
endif()
file(RELATIVE_PATH KIVET_PC_TO_PREFIX /prefix/${KIVET_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" KIVET_PC_TO_PREFIX "${KIVET_PC_TO_PREFIX}")
if(KIVET_SYSTEM STREQUAL web)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kivet-web.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivet.pc @ONLY)
else()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kivet.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivet.pc @ONLY)
endif()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivet.pc DESTINATION ${KIVET_PKGCONFIG_DIR})

# The documents keep the source tree's shape, so the links between them
# (README to docs/guide.md, the guide to ../examples/shapes.png) still lead
# somewhere once installed.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/performance.md
              ${PROJECT_SOURCE_DIR}/docs/screenshot.png ${PROJECT_SOURCE_DIR}/docs/windows.png
              ${PROJECT_SOURCE_DIR}/docs/browser.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(FILES ${PROJECT_SOURCE_DIR}/third_party/dejavu/LICENSE
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/third_party/dejavu)
install(FILES ${PROJECT_SOURCE_DIR}/third_party/stb/LICENSE
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/third_party/stb)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.cpp" PATTERN "*.scr" PATTERN "*.in" PATTERN "*.out" PATTERN "*.txt"
                       PATTERN "*.png")
