# The library as this build folder builds it, as a CMake package in
# <build>/package/: a project of one's own finds it there (find_package(vantrel)
# with vantrel_DIR=<build>/package, or an include() of its vantrelConfig.cmake)
# and then compiles only its own files. The package names the checkout's
# headers and CMake helpers where they are, so it works only on this machine,
# with this checkout; an installed Vantrel is what travels.

include(CMakePackageConfigHelpers)

set(_vantrel_built "${PROJECT_BINARY_DIR}/package")
export(TARGETS vantrel NAMESPACE vantrel:: FILE "${_vantrel_built}/vantrelTargets.cmake")
write_basic_package_version_file("${_vantrel_built}/vantrelConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
configure_file("${PROJECT_SOURCE_DIR}/cmake/vantrelBuiltConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/vantrelBuiltConfig.cmake" @ONLY)
# The library's own path is known only when the build is generated.
file(GENERATE OUTPUT "${_vantrel_built}/vantrelConfig.cmake"
  INPUT "${PROJECT_BINARY_DIR}/vantrelBuiltConfig.cmake")
