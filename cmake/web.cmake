# The browser: KIVET built by emscripten's em++ into WebAssembly, each
# program a web page (.html with its .js and .wasm). Included from the
# top-level CMakeLists.txt when KIVET_SYSTEM is web; it defines the system
# layer (kivet_system: the canvas font and the POSIX file layer on
# emscripten's file system) and the windowed backend (kivet_web: the page),
# and kivet_web_flags, the compile and link flags every program on the
# library needs.
set(KIVET_WEB_DIR ${PROJECT_SOURCE_DIR}/kivet/platform/web)

# Programs are pages, the project's and, when the library is added with
# add_subdirectory, those of the project around it.
set(CMAKE_EXECUTABLE_SUFFIX .html)
if(NOT KIVET_TOP_LEVEL)
  set(CMAKE_EXECUTABLE_SUFFIX .html PARENT_SCOPE)
endif()

# Exceptions work as on the desktop (the airfield catches std::bad_alloc);
# bulk memory makes the core's row copies single instructions.
set(KIVET_WEB_COMPILE_OPTIONS -fexceptions -mbulk-memory)
string(JOIN " " KIVET_WEB_COMPILE_FLAGS ${KIVET_WEB_COMPILE_OPTIONS})
target_compile_options(kivet_core PUBLIC ${KIVET_WEB_COMPILE_OPTIONS})

add_library(kivet_system OBJECT ${KIVET_WEB_DIR}/canvas_font.cpp
            ${KIVET_WEB_DIR}/page_without_environment.cpp
            ${PROJECT_SOURCE_DIR}/kivet/platform/posix/script_file.cpp
            ${PROJECT_SOURCE_DIR}/kivet/platform/posix/picture_file.cpp)
target_link_libraries(kivet_system PUBLIC kivet_core)
set(KIVET_SYSTEM_LIBRARIES "")

add_library(kivet_web OBJECT ${KIVET_WEB_DIR}/web_platform.cpp ${KIVET_WEB_DIR}/canvas_rows.cpp
            ${KIVET_WEB_DIR}/web_only.cpp)
target_link_libraries(kivet_web PUBLIC kivet_base)

# The page's own JavaScript and its HTML, installed under share/kivet/web.
set(KIVET_WEB_FILES library_kivet_page.js library_kivet_keys.js library_kivet_menu.js
                    library_kivet_canvas.js library_kivet_dialog.js library_kivet_font.js
                    library_kivet_storage.js shell.html)
set(KIVET_WEB_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kivet/web)

# The flags, one token each so that they pass through CMake, pkg-config and
# a shell alike. ASYNCIFY lets kivet_main's blocking loop run unchanged: the
# page's waits suspend it; its stack must hold a deep program's frames.
# The runtime ends with the program (atexit handlers run, the page is told
# the status). The page calls two functions of the backend.
set(KIVET_WEB_LINK_FLAGS
    -fexceptions -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
    -sASYNCIFY_IMPORTS=kivet_page_wait,kivet_page_yield,kivet_page_sleep
    -sEXPORTED_FUNCTIONS=_main,_kivet_web_canvas_rows,_kivet_web_page_closing
    -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sMINIFY_HTML=0 -lidbfs.js)
string(JOIN " " KIVET_WEB_PC_FLAGS ${KIVET_WEB_LINK_FLAGS})
add_library(kivet_web_flags INTERFACE)
target_compile_options(kivet_web_flags INTERFACE ${KIVET_WEB_COMPILE_OPTIONS})
target_link_libraries(kivet_web_flags INTERFACE ${KIVET_WEB_LINK_FLAGS})
foreach(file ${KIVET_WEB_FILES})
  if(file MATCHES "\\.js$")
    set(option --js-library=)
  else()
    set(option --shell-file=)
  endif()
  target_link_libraries(kivet_web_flags INTERFACE
      $<BUILD_INTERFACE:${option}${KIVET_WEB_DIR}/${file}>
      $<INSTALL_INTERFACE:${option}$<INSTALL_PREFIX>/${KIVET_WEB_DATA_DIR}/${file}>)
  string(APPEND KIVET_WEB_PC_FLAGS " ${option}\${prefix}/${KIVET_WEB_DATA_DIR}/${file}")
  # A page is linked again when one of them changes.
  set_property(TARGET kivet_web_flags APPEND PROPERTY INTERFACE_LINK_DEPENDS
               $<BUILD_INTERFACE:${KIVET_WEB_DIR}/${file}>)
endforeach()
target_link_libraries(kivet_web PUBLIC kivet_web_flags)

set(KIVET_WINDOWED kivet_web)
set(KIVET_WINDOWED_LIBRARIES kivet_web_flags)

# The library's own tests run on Linux; the pages are tested in a browser
# from the Linux build (tests/web).
set(BUILD_TESTING OFF)

# Pages of the project's own, once the library is there: the test program
# of the browser tests, and a page that lists them all.
function(kivet_web_pages)
  if(NOT KIVET_TOP_LEVEL)
    return()
  endif()
  add_executable(web_events ${PROJECT_SOURCE_DIR}/tests/web/events_main.cpp)
  target_link_libraries(web_events PRIVATE kivet)
  set_target_properties(web_events PROPERTIES OUTPUT_NAME events
                        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  add_executable(web_game ${PROJECT_SOURCE_DIR}/tests/real_window/game_main.cpp)
  target_link_libraries(web_game PRIVATE kivet)
  set_target_properties(web_game PROPERTIES OUTPUT_NAME game
                        RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  configure_file(${KIVET_WEB_DIR}/index.html ${PROJECT_BINARY_DIR}/index.html COPYONLY)
endfunction()
