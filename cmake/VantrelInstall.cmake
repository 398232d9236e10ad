# Install rules, the one description of an install's layout: the library, its headers (under include/vantrel, so that
# clients still write #include "canvas/canvas.h") and a CMake package, so a
# program can use an installed Vantrel with find_package(vantrel).

include(CMakePackageConfigHelpers)

set(VANTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vantrel)

install(TARGETS vantrel EXPORT vantrelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/canvas/canvas.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/canvas)
install(FILES ${PROJECT_SOURCE_DIR}/types/color.h ${PROJECT_SOURCE_DIR}/types/direction.h
  ${PROJECT_SOURCE_DIR}/types/geometry.h ${PROJECT_SOURCE_DIR}/types/random.h
  ${PROJECT_SOURCE_DIR}/types/css_colors.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/types)
install(EXPORT vantrelTargets NAMESPACE vantrel:: DESTINATION ${VANTREL_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vantrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vantrelConfig.cmake
  INSTALL_DESTINATION ${VANTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vantrelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vantrelConfig.cmake
  ${PROJECT_BINARY_DIR}/vantrelConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/VantrelFindSDL2Gfx.cmake
  DESTINATION ${VANTREL_CMAKE_DIR})

if(TARGET vantrel-run)
  install(TARGETS vantrel-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The demo is a component of its own, so that a prefix of everything else can
# be installed from a build that made only the library and the tools
# (tools/dev/grading_stage.sh lays out ./dev grade's prefix that way).
if(TARGET vantrel-demo)
  install(TARGETS vantrel-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
endif()

# vantrel-grade: grades a folder of programs against a reference, each in a
# sandbox. The script finds the rest from its own place: its helper in
# libexec/vantrel, its sourced parts in share/vantrel/grading, and vantrel-run,
# the library and the headers as installed here.
if(TARGET vantrel-grade-tool AND TARGET vantrel-run)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/installed/grading/vantrel-grade
    DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS vantrel-grade-tool RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vantrel)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/installed/grading/inside.sh
    DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/grading)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/installed/grading/sandbox.sh
    ${PROJECT_SOURCE_DIR}/tools/installed/grading/steps.sh
    ${PROJECT_SOURCE_DIR}/tools/installed/grading/defaults.sh
    DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/grading)
endif()

# ---- Starting a program of one's own ------------------------------------------
# vantrel_add_program comes with the CMake package (vantrelConfig.cmake
# includes it), so an installed Vantrel builds the examples and new projects.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/VantrelProgram.cmake DESTINATION ${VANTREL_CMAKE_DIR})

# pkg-config: g++ main.cpp $(pkg-config --cflags --libs vantrel). The prefix
# is written relative to the .pc file, so the package also works unpacked
# somewhere else (dpkg -x, a copied prefix). Vantrel is a static library, so
# every library it uses is required, not private.
set(VANTREL_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  # Folders given as absolute paths cannot move with the file.
  set(VANTREL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(VANTREL_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(VANTREL_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  # From <prefix>/lib/pkgconfig back up to <prefix>: "${pcfiledir}/../..".
  file(RELATIVE_PATH _vantrel_up "/prefix/${VANTREL_PC_DIR}" "/prefix")
  string(REGEX REPLACE "/$" "" _vantrel_up "${_vantrel_up}")
  set(VANTREL_PC_PREFIX "\${pcfiledir}/${_vantrel_up}")
  set(VANTREL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(VANTREL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
set(VANTREL_PC_REQUIRES "sdl2 >= 2.0.10, SDL2_gfx, SDL2_ttf, SDL2_mixer, SDL2_image")
configure_file(${PROJECT_SOURCE_DIR}/cmake/vantrel.pc.in ${PROJECT_BINARY_DIR}/vantrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantrel.pc DESTINATION ${VANTREL_PC_DIR})

# vantrel-new PATH: makes a new project from the template in share/vantrel.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/installed/vantrel-new DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/templates/project/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/template)

# vantrel-playground: the web playground. It makes its kit from the sources
# (share/vantrel/source, as a checkout holds them) with the same scripts as
# ./dev playground, and offers the examples as starts.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/installed/vantrel-playground DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/CMakeLists.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/source)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/cmake ${PROJECT_SOURCE_DIR}/canvas ${PROJECT_SOURCE_DIR}/types
  ${PROJECT_SOURCE_DIR}/web ${PROJECT_SOURCE_DIR}/templates ${PROJECT_SOURCE_DIR}/examples
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/source USE_SOURCE_PERMISSIONS)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/source/tools
  USE_SOURCE_PERMISSIONS)

# The Debian package (./dev package): whatever the rules above install.
include(${PROJECT_SOURCE_DIR}/cmake/VantrelPackage.cmake)
