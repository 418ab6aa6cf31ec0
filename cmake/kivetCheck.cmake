# kivet_add_check: a CTest test that checks a program with kivet-check
# against an expected folder made by kivet-check --make-expected:
#
#   kivet_add_check(NAME house PROGRAM house EXPECTED ${CMAKE_CURRENT_SOURCE_DIR}/expected
#                   SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/house.scr [ANSWERS file] [FRAMES 20 40]
#                   [FILES file...] [TIME_LIMIT seconds] [TOLERANCE pixels] [REPORT dir])
#
# PROGRAM is a target of the project; the test passes when kivet-check
# gives it "pass", and its output shows the verdict otherwise. Without
# FRAMES the frames of the expected folder are checked, without FILES the
# files it keeps are put beside the program; without REPORT the
# report goes to NAME-report in the build folder.
function(kivet_add_check)
  cmake_parse_arguments(CHECK "" "NAME;PROGRAM;EXPECTED;SCRIPT;ANSWERS;TIME_LIMIT;TOLERANCE;REPORT"
                        "FRAMES;FILES" ${ARGN})
  foreach(required NAME PROGRAM EXPECTED SCRIPT)
    if(NOT CHECK_${required})
      message(FATAL_ERROR "kivet_add_check: ${required} is missing")
    endif()
  endforeach()
  if(CHECK_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kivet_add_check: unknown arguments ${CHECK_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT CHECK_REPORT)
    set(CHECK_REPORT ${CMAKE_CURRENT_BINARY_DIR}/${CHECK_NAME}-report)
  endif()
  set(command $<TARGET_FILE:kivet::check> --expected ${CHECK_EXPECTED} --script ${CHECK_SCRIPT}
              --report ${CHECK_REPORT} --jobs 1)
  if(CHECK_ANSWERS)
    list(APPEND command --answers ${CHECK_ANSWERS})
  endif()
  if(CHECK_FRAMES)
    string(REPLACE ";" "," frames "${CHECK_FRAMES}")
    list(APPEND command --frames ${frames})
  endif()
  foreach(file ${CHECK_FILES})
    list(APPEND command --file ${file})
  endforeach()
  if(CHECK_TIME_LIMIT)
    list(APPEND command --time-limit ${CHECK_TIME_LIMIT})
  endif()
  if(CHECK_TOLERANCE)
    list(APPEND command --tolerance ${CHECK_TOLERANCE})
  endif()
  add_test(NAME ${CHECK_NAME} COMMAND ${command} $<TARGET_FILE:${CHECK_PROGRAM}>)
endfunction()
