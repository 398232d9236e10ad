# Helpers shared by the library, the demonstration program, the examples and
# the tests.

# Warnings every Vantrel target is built with; errors too when asked (CI).
function(vantrel_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(VANTREL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(VANTREL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# Builds the framework as the static library <target> whose canvas opens
# <default_font> at construction. The project itself builds it once as
# `vantrel`; the tests build a second copy whose default font is missing.
function(vantrel_add_library target default_font)
  add_library(${target} STATIC
    ${PROJECT_SOURCE_DIR}/types/color.cpp
    ${PROJECT_SOURCE_DIR}/types/direction.cpp
    ${PROJECT_SOURCE_DIR}/canvas/assets.cpp
    ${PROJECT_SOURCE_DIR}/canvas/canvas.cpp
    ${PROJECT_SOURCE_DIR}/canvas/draw.cpp
    ${PROJECT_SOURCE_DIR}/canvas/sound.cpp)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel>)
  target_compile_features(${target} PUBLIC cxx_std_17)
  target_compile_definitions(${target} PRIVATE
    "VANTREL_DEFAULT_FONT_PATH=\"${default_font}\"")
  target_link_libraries(${target}
    PUBLIC SDL2::SDL2 SDL2_ttf::SDL2_ttf SDL2_mixer::SDL2_mixer
    PRIVATE PkgConfig::SDL2_GFX)
  set_target_properties(${target} PROPERTIES EXPORT_NAME vantrel)
  vantrel_set_warnings(${target})
  if(EMSCRIPTEN)
    vantrel_web_library(${target})
  endif()
endfunction()

# Builds a program that uses the framework, the way a learner's would: linked
# to vantrel::vantrel (and, where the platform's entry point is not main, as
# on Windows, to SDL2main, which calls the program's main).
function(vantrel_add_program target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE vantrel::vantrel)
  if(TARGET SDL2::SDL2main AND WIN32)
    target_link_libraries(${target} PRIVATE SDL2::SDL2main)
  endif()
  vantrel_set_warnings(${target})
  if(EMSCRIPTEN)
    # In the browser, a web page with the sounds, images and fonts beside it.
    vantrel_web_assets(assets "${CMAKE_CURRENT_SOURCE_DIR}")
    vantrel_web_program(${target} ASSETS ${assets})
  endif()
endfunction()
