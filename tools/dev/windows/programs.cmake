# Read into a learner's project by ./dev windows PATH (CMAKE_PROJECT_INCLUDE):
# once the project's CMakeLists.txt has been read, writes
# <build>/vantrel-programs.txt, one line for each program vantrel_add_program
# made: its name, its .exe and the assets it copies beside it, separated by
# tabs (the assets by ";"). A project that makes none (its programs come
# from plain add_executable) has every executable listed instead.
if(NOT CMAKE_SOURCE_DIR STREQUAL PROJECT_SOURCE_DIR OR COMMAND _vantrel_list_programs)
  return() # another project() of the same build, or a second one
endif()

# Appends to lines_variable the programs under folder: only those of
# vantrel_add_program (it sets VANTREL_ASSETS, if only to nothing) when
# only_programs is true, else every executable.
function(_vantrel_collect_programs folder only_programs lines_variable)
  set(lines "${${lines_variable}}")
  get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(imported ${target} IMPORTED)
    # A test program or tool of the project's own is no game.
    get_property(program TARGET ${target} PROPERTY VANTREL_ASSETS SET)
    if(type STREQUAL "EXECUTABLE" AND NOT imported AND (program OR NOT only_programs))
      get_target_property(assets ${target} VANTREL_ASSETS)
      if(NOT assets)
        set(assets "")
      endif()
      string(APPEND lines "${target}\t$<TARGET_FILE:${target}>\t${assets}\n")
    endif()
  endforeach()
  get_property(folders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS folders)
    # Vantrel's own folder, when the project builds it, holds no program of the learner's.
    if(NOT IS_DIRECTORY "${subfolder}/canvas")
      _vantrel_collect_programs("${subfolder}" ${only_programs} lines)
    endif()
  endforeach()
  set(${lines_variable} "${lines}" PARENT_SCOPE)
endfunction()

function(_vantrel_list_programs)
  set(lines "")
  _vantrel_collect_programs("${CMAKE_SOURCE_DIR}" TRUE lines)
  if(lines STREQUAL "")
    _vantrel_collect_programs("${CMAKE_SOURCE_DIR}" FALSE lines)
  endif()
  file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/vantrel-programs.txt" CONTENT "${lines}")
endfunction()

cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL _vantrel_list_programs)
