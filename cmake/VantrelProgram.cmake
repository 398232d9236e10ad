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
  # canvas/canvas.h (with SDL's headers under it) is compiled once into a
  # precompiled header, which every source file of the program then starts
  # from: after an edit, rebuilding a one-file program no longer parses some
  # 60,000 lines of headers again. Each source file sees canvas.h's names
  # whether or not it includes it. The browser build goes without (its link
  # step dominates); CMAKE_DISABLE_PRECOMPILE_HEADERS=ON turns it off.
  if(NOT EMSCRIPTEN)
    target_precompile_headers(${target} PRIVATE
      "$<$<COMPILE_LANGUAGE:CXX>:\"canvas/canvas.h\">")
  endif()

  # A faster linker than GNU ld's default where the compiler takes one: with
  # it, linking a small program takes a third of the time. Not when the
  # project chose a linker itself.
  if(NOT EMSCRIPTEN AND NOT WIN32 AND NOT APPLE AND NOT CMAKE_EXE_LINKER_FLAGS MATCHES "-fuse-ld=")
    include(CheckLinkerFlag)
    foreach(linker gold lld)
      check_linker_flag(CXX "-fuse-ld=${linker}" VANTREL_LINKER_${linker})
      if(VANTREL_LINKER_${linker})
        target_link_options(${target} PRIVATE "-fuse-ld=${linker}")
        break()
      endif()
    endforeach()
  endif()

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
