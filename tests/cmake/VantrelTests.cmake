# How tests/CMakeLists.txt registers its tests: the settings they share and a
# function for each kind (GoogleTest file, leak check, example driven end to
# end, the demo failing, consumer build, any other program or script).

find_package(GTest REQUIRED)
include(GoogleTest)

# Headless SDL for every in-process test: no window system, no sound card,
# and the software renderer so that pixels read back exactly.
set(VANTREL_HEADLESS_ENV SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software)

# Cross-built for Windows, the programs run under the emulator (Wine) that
# CMAKE_CROSSCOMPILING_EMULATOR names; tests that cannot run there are
# registered as skipped, with the reason in their output. A test program
# that Wine never started (it ends at once with no output) is started again,
# once; tools/testing/windows/wine-run.sh tells that case from a program that ran by
# the start marker every test program carries.
set(VANTREL_EMULATED OFF)
set(VANTREL_EMULATOR_ENV)
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(VANTREL_EMULATED ON)
  set(VANTREL_EMULATOR_ENV VANTREL_WINE_RETRY=1)
endif()

# The sanitizer build (preset "asan"): valgrind cannot run its programs, and
# LeakSanitizer checks their leaks instead.
set(VANTREL_SANITIZED OFF)
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*address")
  set(VANTREL_SANITIZED ON)
endif()

# Why a test is registered as skipped under Wine.
set(VANTREL_E2E_SKIPPED
  "the end-to-end tests drive Linux programs through the X11 helper; under Wine the demo's screenshot is checked by ./dev windows --zip instead")
set(VANTREL_CONSUMER_SKIPPED
  "the consumer builds are native: they would build and run a Linux program, which tests nothing of Windows")

# vantrel_skip_test(<name> <reason> [<property> <value>...]): registers <name>
# as a test that is skipped here, printing why.
function(vantrel_skip_test name reason)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "SKIPPED: ${reason}")
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED: " ${ARGN})
endfunction()

# vantrel_test(<name> [SKIP_IF <condition>... BECAUSE <reason>]
#              [ONLY_IF <condition>...] [BUILDS <program> <source>... [LINKS <lib>...]]
#              COMMAND <command>... [SLOW] [TIMEOUT <s>] [ENVIRONMENT <VAR=value>...]
#              [LABELS <label>...] [PROPERTIES <property> <value>...])
# Registers <name>, which runs <command>. Where the SKIP_IF condition holds
# (VANTREL_EMULATED, say, or VANTREL_EMULATED OR WIN32) it is registered as
# skipped instead, printing BECAUSE; else where the ONLY_IF condition does
# not, it is not registered at all. BUILDS first builds the helper program
# the command runs, unless an earlier test did. SLOW labels it "slow": it
# takes a minute or more, and the test preset "quick" leaves it out. (An
# argument with a semicolon in it would arrive in parts: such a command is
# registered with add_test itself.)
function(vantrel_test name)
  # BECAUSE takes several values: a reason with a semicolon arrives in parts.
  cmake_parse_arguments(ARG "SLOW" "TIMEOUT"
    "SKIP_IF;BECAUSE;ONLY_IF;BUILDS;LINKS;COMMAND;ENVIRONMENT;LABELS;PROPERTIES" ${ARGN})
  if(NOT "${ARG_SKIP_IF}" STREQUAL "")
    if(${ARG_SKIP_IF})
      string(JOIN ";" reason ${ARG_BECAUSE})
      vantrel_skip_test(${name} "${reason}")
      return()
    endif()
  endif()
  if(NOT "${ARG_ONLY_IF}" STREQUAL "")
    if(NOT (${ARG_ONLY_IF}))
      return()
    endif()
  endif()
  if(ARG_BUILDS)
    list(POP_FRONT ARG_BUILDS program)
    if(NOT TARGET ${program})
      add_executable(${program} ${ARG_BUILDS})
      if(ARG_LINKS)
        target_link_libraries(${program} PRIVATE ${ARG_LINKS})
      endif()
      vantrel_set_warnings(${program})
    endif()
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  if(ARG_SLOW)
    list(APPEND ARG_LABELS slow)
  endif()
  foreach(property TIMEOUT ENVIRONMENT LABELS)
    if(NOT "${ARG_${property}}" STREQUAL "")
      set_tests_properties(${name} PROPERTIES ${property} "${ARG_${property}}")
    endif()
  endforeach()
  if(ARG_PROPERTIES)
    set_tests_properties(${name} PROPERTIES ${ARG_PROPERTIES})
  endif()
endfunction()

# _vantrel_test_program(<name> <source>...): a test program carrying the start
# marker, with the tests' folder on its include path and
# VANTREL_TEST_BINARY_DIR naming the folder it runs in.
function(_vantrel_test_program name)
  add_executable(${name} ${ARGN} ${CMAKE_CURRENT_SOURCE_DIR}/started_marker.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    "VANTREL_TEST_BINARY_DIR=\"${CMAKE_CURRENT_BINARY_DIR}\"")
  vantrel_set_warnings(${name})
endfunction()

# vantrel_add_gtest(<name> SOURCES <file>... [LIBRARY <lib>] [LINK <lib>...]
#                   [TIMEOUT <s>] [ENVIRONMENT <VAR=value>...])
# Builds <name> against the framework (LIBRARY, by default vantrel::vantrel,
# and LINK besides) and registers each TEST in it as a CTest entry
# "<name>.<Suite>.<Case>" with the headless environment (plus ENVIRONMENT)
# and a timeout.
function(vantrel_add_gtest name)
  cmake_parse_arguments(ARG "" "LIBRARY;TIMEOUT" "SOURCES;LINK;ENVIRONMENT" ${ARGN})
  if(NOT ARG_LIBRARY)
    set(ARG_LIBRARY vantrel::vantrel)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 30)
  endif()
  # Under Wine every test starts a Windows process (and loads SDL's drivers)
  # several times more slowly, and more so on a loaded machine; the timeout
  # stays a guard against hangs, not a measure of speed.
  if(VANTREL_EMULATED AND ARG_TIMEOUT LESS 120)
    set(ARG_TIMEOUT 120)
  endif()
  _vantrel_test_program(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARY} GTest::gtest_main ${ARG_LINK})
  target_compile_definitions(${name} PRIVATE "VANTREL_TEST_FONT=\"${VANTREL_DEFAULT_FONT}\"")
  gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_PREFIX "${name}." TEST_LIST tests)
  set_tests_properties(${tests} PROPERTIES
    ENVIRONMENT "${VANTREL_HEADLESS_ENV};${VANTREL_EMULATOR_ENV};${ARG_ENVIRONMENT}"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()

# vantrel_leak_check(<name> <source>): builds <source> as the program <name>
# and runs it under memcheck. Any block definitely lost fails it, and so does
# the program itself when a block it made through the canvas outlives the
# canvas (memcheck would count that one as still reachable). Such tests carry
# the label "valgrind", which the sanitizer build leaves out.
find_program(VANTREL_VALGRIND valgrind)
if(NOT VANTREL_VALGRIND AND NOT WIN32)
  message(WARNING "valgrind not found: the leak checks will fail until it is installed")
endif()
function(vantrel_leak_check name source)
  _vantrel_test_program(${name} ${source})
  target_link_libraries(${name} PRIVATE vantrel::vantrel)
  vantrel_use_sdl_main(${name})
  set(more LABELS valgrind)
  if(WIN32)
    # No memcheck for Windows programs: the program's own account of the
    # blocks it made through the canvas is the check there.
    set(command ${name})
    set(more)
  elseif(VANTREL_VALGRIND)
    set(command ${VANTREL_VALGRIND} --tool=memcheck --leak-check=full
      --errors-for-leak-kinds=definite --error-exitcode=1 $<TARGET_FILE:${name}>)
  else()
    # Without valgrind the check cannot run; it fails rather than pass unseen.
    set(command ${CMAKE_COMMAND} -E echo
      "valgrind was not found: install valgrind to run the leak check")
    list(APPEND more PROPERTIES FAIL_REGULAR_EXPRESSION "valgrind was not found")
  endif()
  vantrel_test(${name} COMMAND ${command} TIMEOUT 120
    ENVIRONMENT ${VANTREL_HEADLESS_ENV} ${VANTREL_EMULATOR_ENV} ${more})
endfunction()

# vantrel_e2e_test(<example> [NEEDS <target>...] [ARGS <argument>...]
#                  <vantrel_test arguments>...)
# The example vantrel-<example>, where it is built, driven in a virtual X
# display and closed with vantrel-xclose, by
#   bash <example>_e2e.sh PROGRAM XCLOSE HEADLESS_SH [ARGS...] OUTPUT_FOLDER
# ENVIRONMENT is by default no sound card and SDL's X11 driver. Skipped
# under Wine; left out where vantrel-xclose or a NEEDS target is not built.
function(vantrel_e2e_test example)
  cmake_parse_arguments(ARG "" "" "ENVIRONMENT;NEEDS;ARGS" ${ARGN})
  if(NOT TARGET vantrel-${example})
    return()
  endif()
  if(NOT ARG_ENVIRONMENT)
    set(ARG_ENVIRONMENT SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11)
  endif()
  set(built TARGET vantrel-xclose)
  foreach(target IN LISTS ARG_NEEDS)
    list(APPEND built AND TARGET ${target})
  endforeach()
  vantrel_test(${example}_e2e SKIP_IF VANTREL_EMULATED BECAUSE "${VANTREL_E2E_SKIPPED}"
    ONLY_IF ${built}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${example}_e2e.sh
      $<TARGET_FILE:vantrel-${example}> $<TARGET_FILE:vantrel-xclose>
      ${PROJECT_SOURCE_DIR}/tools/testing/headless.sh ${ARG_ARGS} ${CMAKE_CURRENT_BINARY_DIR}/${example}_e2e
    ENVIRONMENT ${ARG_ENVIRONMENT} ${ARG_UNPARSED_ARGUMENTS})
endfunction()

# vantrel_demo_failure(<name> <program> <texts expected on stderr, "|" between>
#                      <vantrel_test arguments>...)
# demo.Failure.<name>: demo_failure.sh checks that <program> fails saying
# each text. Under the emulator it runs the program through it; Windows
# reports abort() as exit status 3, where a shell reports SIGABRT as 134.
function(vantrel_demo_failure name program expected)
  string(REPLACE "|" ";" expected "${expected}")
  set(runner)
  set(timeout 30)
  if(VANTREL_EMULATED)
    set(runner --status 3 --emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
    set(timeout 120)
  endif()
  vantrel_test(demo.Failure.${name}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/demo_failure.sh ${runner}
      $<TARGET_FILE:${program}> ${expected}
    TIMEOUT ${timeout} ENVIRONMENT ${VANTREL_HEADLESS_ENV} ${ARGN})
endfunction()

# vantrel_consumer_test(<name> <vantrel_test arguments>...): a user's project
# built against Vantrel (tests/consumers/), by default within 300 s. Native
# only: under Wine it is registered as skipped, with VANTREL_CONSUMER_SKIPPED
# as the reason unless BECAUSE gives another.
function(vantrel_consumer_test name)
  if(NOT "BECAUSE" IN_LIST ARGN)
    list(APPEND ARGN BECAUSE "${VANTREL_CONSUMER_SKIPPED}")
  endif()
  vantrel_test(${name} SKIP_IF VANTREL_EMULATED TIMEOUT 300 ${ARGN})
endfunction()
