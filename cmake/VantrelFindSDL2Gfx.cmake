# Finds SDL2_gfx, which ships no CMake package of its own, and provides it as
# the target SDL2_gfx::SDL2_gfx. Used by the build and by the installed
# vantrelConfig.cmake.
#
# Where pkg-config is the norm (Linux, BSD, macOS), through SDL2_gfx.pc. On
# Windows, pkg-config is usually absent, and where present (MSYS2) SDL2_gfx.pc
# requires sdl2, whose flags turn every program linked to it into a GUI
# program without a console: there, vcpkg's package when present, else the
# header and the library themselves (set SDL2_GFX_INCLUDE_DIR and
# SDL2_GFX_LIBRARY when they are somewhere CMake does not look).
if(NOT TARGET SDL2_gfx::SDL2_gfx)
  if(WIN32)
    find_package(unofficial-sdl2-gfx CONFIG QUIET)
    add_library(SDL2_gfx::SDL2_gfx INTERFACE IMPORTED)
    if(TARGET unofficial::sdl2-gfx::SDL2_gfx)
      target_link_libraries(SDL2_gfx::SDL2_gfx INTERFACE unofficial::sdl2-gfx::SDL2_gfx)
    else()
      find_path(SDL2_GFX_INCLUDE_DIR SDL2_gfxPrimitives.h PATH_SUFFIXES SDL2)
      find_library(SDL2_GFX_LIBRARY NAMES SDL2_gfx)
      if(NOT SDL2_GFX_INCLUDE_DIR OR NOT SDL2_GFX_LIBRARY)
        message(FATAL_ERROR "SDL2_gfx was not found (header: ${SDL2_GFX_INCLUDE_DIR}, "
          "library: ${SDL2_GFX_LIBRARY}). Install it (vcpkg: sdl2-gfx; MSYS2: "
          "mingw-w64-x86_64-SDL2_gfx), add its folder to CMAKE_PREFIX_PATH, or set "
          "SDL2_GFX_INCLUDE_DIR and SDL2_GFX_LIBRARY.")
      endif()
      target_include_directories(SDL2_gfx::SDL2_gfx INTERFACE "${SDL2_GFX_INCLUDE_DIR}")
      target_link_libraries(SDL2_gfx::SDL2_gfx INTERFACE "${SDL2_GFX_LIBRARY}" SDL2::SDL2)
    endif()
  else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(SDL2_GFX REQUIRED IMPORTED_TARGET SDL2_gfx)
    add_library(SDL2_gfx::SDL2_gfx INTERFACE IMPORTED)
    target_link_libraries(SDL2_gfx::SDL2_gfx INTERFACE PkgConfig::SDL2_GFX)
  endif()
endif()
