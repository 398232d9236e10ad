# vantrel_add_program(<name> <source>... [ASSETS <file-or-folder>...])
#
# Builds the program <name> from its sources, linked to Vantrel the way every
# Vantrel program is: to vantrel::vantrel, and, where the platform's entry
# point is not main (Windows), to SDL2main, which calls the program's main;
# with the compiler's usual warnings turned on, since they catch many
# beginners' mistakes.
#
# ASSETS names files or folders (relative to the calling CMakeLists.txt) that
# the program opens by relative paths: each is copied beside the built
# program whenever it changes, since a program looks for a file first in the
# working directory and then in the folder it is in. A folder keeps its name,
# so "assets" lets the program play "assets/beep.wav" wherever it is started.
# Built for the browser (cmake/VantrelWeb.cmake), the program becomes a web
# page that carries its assets instead.
#
# This file is installed with Vantrel's CMake package: a project that finds
# Vantrel with find_package(vantrel) or adds it with add_subdirectory has
# this command too.
function(vantrel_add_program target)
  cmake_parse_arguments(ARG "" "" "ASSETS" ${ARGN})
  if(NOT ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vantrel_add_program(${target}): name at least one source file")
  endif()
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE vantrel::vantrel)
  if(COMMAND vantrel_use_sdl_main)
    vantrel_use_sdl_main(${target}) # Vantrel's own build: also the DLLs beside it
  elseif(TARGET SDL2::SDL2main AND WIN32)
    target_link_libraries(${target} PRIVATE SDL2::SDL2main)
  endif()
  if(COMMAND vantrel_set_warnings)
    vantrel_set_warnings(${target}) # Vantrel's own build: errors too in CI
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()

  # The assets, for tools that pack the program with them (./dev windows PATH).
  set(assets)
  foreach(asset IN LISTS ARG_ASSETS)
    get_filename_component(source "${asset}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND assets "${source}")
  endforeach()
  set_property(TARGET ${target} PROPERTY VANTREL_ASSETS "${assets}")

  if(EMSCRIPTEN AND COMMAND vantrel_web_program)
    # In a browser the page carries the assets, at the top of its files.
    vantrel_web_program(${target} ASSETS ${ARG_ASSETS})
    return()
  endif()
  foreach(asset IN LISTS ARG_ASSETS)
    get_filename_component(source "${asset}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(name "${source}" NAME)
    if(IS_DIRECTORY "${source}")
      add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_directory "${source}" "$<TARGET_FILE_DIR:${target}>/${name}"
        VERBATIM)
    elseif(EXISTS "${source}")
      add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "${source}" "$<TARGET_FILE_DIR:${target}>/${name}"
        VERBATIM)
    else()
      message(FATAL_ERROR "vantrel_add_program(${target}): the asset ${source} does not exist")
    endif()
  endforeach()
endfunction()
