# The kivet package: find_package(kivet) gives the target kivet::kivet, the
# library with its process entry, which brings the flags of what it needs
# with it: on Linux GTK, cairo and Pango; on Windows the system's own
# user32 and gdi32; in the browser the page's flags. kivet_add_files(target
# file...) puts a program's pictures into its page (kivet_files.cmake). On
# Linux and Windows it also gives kivet::check, the command kivet-check, and
# the function kivet_add_check (kivetCheck.cmake), a CTest test that checks
# a program.
include(${CMAKE_CURRENT_LIST_DIR}/kivet_files.cmake)

# Built for the browser (emscripten's toolchain), it needs nothing else, and
# programs linked with it are web pages: .html with their .js and .wasm.
if(EMSCRIPTEN)
  set(CMAKE_EXECUTABLE_SUFFIX .html)
  include(${CMAKE_CURRENT_LIST_DIR}/kivetTargets.cmake)
  return()
endif()
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/kivetTargets.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/kivetCheck.cmake)
  return()
endif()

include(CMakeFindDependencyMacro)
find_dependency(PkgConfig)

pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(CAIRO QUIET IMPORTED_TARGET cairo)
pkg_check_modules(PANGO QUIET IMPORTED_TARGET pangocairo)
pkg_check_modules(DISPLAY_CLIENTS QUIET IMPORTED_TARGET x11 wayland-client)
if(NOT TARGET PkgConfig::GTK3 OR NOT TARGET PkgConfig::CAIRO OR NOT TARGET PkgConfig::PANGO
   OR NOT TARGET PkgConfig::DISPLAY_CLIENTS)
  set(kivet_FOUND FALSE)
  set(kivet_NOT_FOUND_MESSAGE
      "kivet needs the pkg-config modules gtk+-3.0, x11, wayland-client, cairo and pangocairo (on Debian: libgtk-3-dev)")
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/kivetTargets.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/kivetCheck.cmake)
