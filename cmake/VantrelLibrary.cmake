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
    ${PROJECT_SOURCE_DIR}/canvas/clock.cpp
    ${PROJECT_SOURCE_DIR}/canvas/input.cpp
    ${PROJECT_SOURCE_DIR}/canvas/draw.cpp
    ${PROJECT_SOURCE_DIR}/canvas/shapes.cpp
    ${PROJECT_SOURCE_DIR}/canvas/text.cpp
    ${PROJECT_SOURCE_DIR}/canvas/image_file.cpp
    ${PROJECT_SOURCE_DIR}/canvas/images.cpp
    ${PROJECT_SOURCE_DIR}/canvas/recording.cpp
    ${PROJECT_SOURCE_DIR}/canvas/recording_settings.cpp
    ${PROJECT_SOURCE_DIR}/canvas/sound.cpp)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel>)
  target_compile_features(${target} PUBLIC cxx_std_17)
  target_compile_definitions(${target} PRIVATE
    "VANTREL_DEFAULT_FONT_PATH=\"${default_font}\"")
  target_link_libraries(${target}
    PUBLIC SDL2::SDL2 SDL2_ttf::SDL2_ttf SDL2_mixer::SDL2_mixer SDL2_image::SDL2_image
    PRIVATE PkgConfig::SDL2_GFX)
  set_target_properties(${target} PROPERTIES EXPORT_NAME vantrel)
  vantrel_set_warnings(${target})
endfunction()
