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
    ${PROJECT_SOURCE_DIR}/types/geometry.cpp
    ${PROJECT_SOURCE_DIR}/types/random.cpp
    ${PROJECT_SOURCE_DIR}/canvas/assets.cpp
    ${PROJECT_SOURCE_DIR}/canvas/canvas.cpp
    ${PROJECT_SOURCE_DIR}/canvas/renderer_choice.cpp
    ${PROJECT_SOURCE_DIR}/canvas/clock.cpp
    ${PROJECT_SOURCE_DIR}/canvas/file_write.cpp
    ${PROJECT_SOURCE_DIR}/canvas/input.cpp
    ${PROJECT_SOURCE_DIR}/canvas/gamepads.cpp
    ${PROJECT_SOURCE_DIR}/canvas/signals.cpp
    ${PROJECT_SOURCE_DIR}/canvas/shapes_straight.cpp
    ${PROJECT_SOURCE_DIR}/canvas/shapes_round.cpp
    ${PROJECT_SOURCE_DIR}/canvas/shapes_far.cpp
    ${PROJECT_SOURCE_DIR}/canvas/shapes_clip.cpp
    ${PROJECT_SOURCE_DIR}/canvas/text.cpp
    ${PROJECT_SOURCE_DIR}/canvas/image_file.cpp
    ${PROJECT_SOURCE_DIR}/canvas/images.cpp
    ${PROJECT_SOURCE_DIR}/canvas/targets.cpp
    ${PROJECT_SOURCE_DIR}/canvas/camera.cpp
    ${PROJECT_SOURCE_DIR}/canvas/window.cpp
    ${PROJECT_SOURCE_DIR}/canvas/widgets.cpp
    ${PROJECT_SOURCE_DIR}/canvas/recording.cpp
    ${PROJECT_SOURCE_DIR}/canvas/recording_settings.cpp
    ${PROJECT_SOURCE_DIR}/canvas/sound.cpp
    ${PROJECT_SOURCE_DIR}/canvas/sound_header.cpp
    ${PROJECT_SOURCE_DIR}/canvas/sound_file.cpp
    ${PROJECT_SOURCE_DIR}/canvas/effects.cpp
    ${PROJECT_SOURCE_DIR}/canvas/music.cpp
    ${PROJECT_SOURCE_DIR}/canvas/saved.cpp)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel>)
  target_compile_features(${target} PUBLIC cxx_std_17)
  target_compile_definitions(${target} PRIVATE
    "VANTREL_DEFAULT_FONT_PATH=\"${default_font}\"")
  target_link_libraries(${target}
    PUBLIC SDL2::SDL2 SDL2_ttf::SDL2_ttf SDL2_mixer::SDL2_mixer SDL2_image::SDL2_image
    PRIVATE SDL2_gfx::SDL2_gfx)
  set_target_properties(${target} PROPERTIES EXPORT_NAME vantrel)
  vantrel_set_warnings(${target})
  if(EMSCRIPTEN)
    vantrel_web_library(${target})
  endif()
endfunction()

# Folder whose DLLs every program needs beside it on Windows (SDL2 and its
# add-ons, the compiler's runtime); empty where they are found otherwise.
if(VANTREL_WINDOWS_DEPS)
  set(_vantrel_dll_dir "${VANTREL_WINDOWS_DEPS}/bin")
else()
  set(_vantrel_dll_dir "")
endif()
set(VANTREL_RUNTIME_DLL_DIR "${_vantrel_dll_dir}" CACHE PATH
  "Windows: folder whose DLLs are copied beside every program built here")

# Copies the DLLs of VANTREL_RUNTIME_DLL_DIR into the current build folder, so
# that the programs built there start without PATH or WINEPATH set.
function(vantrel_copy_runtime_dlls)
  if(WIN32 AND VANTREL_RUNTIME_DLL_DIR)
    file(GLOB dlls "${VANTREL_RUNTIME_DLL_DIR}/*.dll")
    if(dlls)
      file(COPY ${dlls} DESTINATION ${CMAKE_CURRENT_BINARY_DIR})
    endif()
  endif()
endfunction()

# Gives a program whose main includes SDL the entry point SDL expects: on
# Windows SDL renames main to SDL_main (so main must be declared
# int main(int argc, char* argv[])), and SDL2main supplies the real one.
function(vantrel_use_sdl_main target)
  if(WIN32 AND TARGET SDL2::SDL2main)
    target_link_libraries(${target} PRIVATE SDL2::SDL2main)
  endif()
  vantrel_copy_runtime_dlls()
endfunction()
