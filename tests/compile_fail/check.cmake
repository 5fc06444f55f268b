# Builds one compile-failure target and checks that its source stops the
# build exactly where it says and with the messages it names.
#
#   cmake -DBUILD_DIR=<build> -DTARGET=<target> -DSOURCE=<file.cpp> -P check.cmake
#
# A source line ending in "// stops: <message>" must be reported with an
# error whose text is <message>; no other line may be, and the compiler may
# not fall back on listing overloads that do not fit.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
get_filename_component(name ${SOURCE} NAME)
file(STRINGS ${SOURCE} lines)

set(failures "")
if(result EQUAL 0)
  string(APPEND failures "the build succeeded\n")
endif()
foreach(bad "no matching" "candidate" "ambiguous" "deleted function")
  if(output MATCHES "${bad}")
    string(APPEND failures "the compiler reports \"${bad}\"\n")
  endif()
endforeach()

set(number 0)
set(expected 0)
foreach(line IN LISTS lines)
  math(EXPR number "${number} + 1")
  # The call on this line is named in the diagnostics either way (as the
  # place of the error or as where the failing instantiation is required).
  string(REGEX MATCH "${name}:${number}:[0-9]+:" reported "${output}")
  if(line MATCHES "// stops: (.*)$")
    math(EXPR expected "${expected} + 1")
    if(NOT reported)
      string(APPEND failures "line ${number} is not reported\n")
    endif()
    string(FIND "${output}" "${CMAKE_MATCH_1}" at)
    if(at EQUAL -1)
      string(APPEND failures "line ${number}: no message \"${CMAKE_MATCH_1}\"\n")
    endif()
  elseif(reported)
    string(APPEND failures "line ${number} is reported but should compile\n")
  endif()
endforeach()

string(REGEX MATCHALL "static assertion failed" asserts "${output}")
list(LENGTH asserts asserted)
if(NOT asserted EQUAL expected)
  string(APPEND failures "${asserted} failed assertions for ${expected} marked lines\n")
endif()

if(failures)
  message(FATAL_ERROR "${name}:\n${failures}--- compiler output:\n${output}")
endif()
message(STATUS "${name}: ${expected} calls stop the build with their message")
