# kivet-check, the command that checks programs headless against an
# expected folder: portable code on the C++ standard library and stb
# (kivet/check/), with the running of programs from the system's folder.
find_package(Threads REQUIRED)
file(GLOB KIVET_CHECK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/kivet/check/*.cpp)
if(KIVET_SYSTEM STREQUAL windows)
  list(APPEND KIVET_CHECK_SOURCES ${PROJECT_SOURCE_DIR}/kivet/platform/win32/program_run.cpp
       ${PROJECT_SOURCE_DIR}/kivet/platform/win32/wide_text.cpp
       ${PROJECT_SOURCE_DIR}/kivet/text_encoding.cpp)
else()
  list(APPEND KIVET_CHECK_SOURCES ${PROJECT_SOURCE_DIR}/kivet/platform/posix/program_run.cpp)
endif()
add_executable(kivet-check ${KIVET_CHECK_SOURCES})
target_include_directories(kivet-check PRIVATE ${PROJECT_SOURCE_DIR})
target_include_directories(kivet-check SYSTEM PRIVATE ${PROJECT_SOURCE_DIR}/third_party/stb)
target_compile_definitions(kivet-check PRIVATE KIVET_VERSION="${PROJECT_VERSION}")
target_link_libraries(kivet-check PRIVATE Threads::Threads)
set_target_properties(kivet-check PROPERTIES EXPORT_NAME check)
add_executable(kivet::check ALIAS kivet-check)
include(${PROJECT_SOURCE_DIR}/cmake/kivetCheck.cmake)
