# kivet_add_files(target file...): the files a program reads, its pictures,
# made part of it where a program has no folder of its own. In the browser
# they are put into the page (into its .wasm), under /page/, where the
# library looks for a picture that is not in the working directory. On the
# desktop a program reads them from its working directory, and this does
# nothing. Each file is named as the program names it, relative to the
# calling CMakeLists.txt's folder.
function(kivet_add_files target)
  if(NOT EMSCRIPTEN)
    return()
  endif()
  foreach(file ${ARGN})
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(IS_ABSOLUTE ${file})
      get_filename_component(file ${file} NAME)
    endif()
    target_link_options(${target} PRIVATE "SHELL:--embed-file ${path}@/page/${file}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${path})
  endforeach()
endfunction()
