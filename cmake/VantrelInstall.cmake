# Install rules: the library, its headers (under include/vantrel, so that
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
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/types)
install(EXPORT vantrelTargets NAMESPACE vantrel:: DESTINATION ${VANTREL_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vantrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vantrelConfig.cmake
  INSTALL_DESTINATION ${VANTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vantrelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vantrelConfig.cmake
  ${PROJECT_BINARY_DIR}/vantrelConfigVersion.cmake
  DESTINATION ${VANTREL_CMAKE_DIR})

if(TARGET vantrel-run)
  install(TARGETS vantrel-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET vantrel-demo)
  install(TARGETS vantrel-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
