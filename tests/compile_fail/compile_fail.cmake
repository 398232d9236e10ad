# Included by tests/CMakeLists.txt: a palette name or Color one argument too
# early must stop the build with a message naming what is missing. The two
# targets are left out of the normal build; their tests build them (one at a
# time, as they share the build tree).
add_library(compile_trap OBJECT EXCLUDE_FROM_ALL compile_fail/palette_trap.cpp)
target_link_libraries(compile_trap PRIVATE vantrel::vantrel)
target_compile_definitions(compile_trap PRIVATE VANTREL_TRAPS)
add_library(compile_trap_control OBJECT EXCLUDE_FROM_ALL compile_fail/palette_trap.cpp)
target_link_libraries(compile_trap_control PRIVATE vantrel::vantrel)
add_test(NAME compile.Fails.ColourBeforeTheLastNumber
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DTARGET=compile_trap
    "-DEXPECT=2:drawRoundedBox needs a corner radius before the colour;1:drawCircle needs a radius before the colour;1:drawFilledCircle needs a radius before the colour;1:drawLine needs four coordinates before the colour;1:drawRectangle needs four coordinates before the colour;1:drawPixel needs x and y before the colour"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/compile_fail/check.cmake)
add_test(NAME compile.Builds.EveryColourArgumentInPlace
  COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target compile_trap_control)
set_tests_properties(compile.Fails.ColourBeforeTheLastNumber
  compile.Builds.EveryColourArgumentInPlace PROPERTIES
  TIMEOUT 180 RESOURCE_LOCK vantrel_build_tree)
