# Builds one target that must fail, and checks that the compiler's output
# holds each expected message as often as asked.
#
#   cmake -DBUILD_DIR=<dir> -DTARGET=<target> "-DEXPECT=<count>:<text>;..." -P check.cmake

execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
  message(FATAL_ERROR "${TARGET} built, but every call in it should have stopped the build")
endif()
set(missing "")
foreach(expected IN LISTS EXPECT)
  string(FIND "${expected}" ":" colon)
  string(SUBSTRING "${expected}" 0 ${colon} count)
  math(EXPR start "${colon} + 1")
  string(SUBSTRING "${expected}" ${start} -1 text)
  string(REGEX MATCHALL "${text}" found "${output}")
  list(LENGTH found seen)
  if(seen LESS count)
    string(APPEND missing "\n  \"${text}\": expected ${count} time(s), seen ${seen}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "the build failed, but not with every expected message:${missing}\n"
    "Compiler output:\n${output}")
endif()
message(STATUS "the build stopped with every expected message")
