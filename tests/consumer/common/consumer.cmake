# The consumer program's target, shared by every way of getting Kurvo. The
# project declares C++17 and strict warnings, as many users' projects do;
# Kurvo's headers must build under both (the package lifts the target to
# C++20). -DKURVO_CONSUMER_STANDARD=20 declares C++20 instead.
set(KURVO_CONSUMER_STANDARD 17 CACHE STRING "C++ standard the consumer project declares")
set(CMAKE_CXX_STANDARD ${KURVO_CONSUMER_STANDARD})
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
add_executable(kurvo-consumer ${CMAKE_CURRENT_LIST_DIR}/consumer.cpp)
# The program's own folders come first, so that a Kurvo header that reached
# for "chart/..." or "base/..." would find these.
target_include_directories(kurvo-consumer BEFORE PRIVATE ${CMAKE_CURRENT_LIST_DIR}/own)
target_compile_options(kurvo-consumer PRIVATE -Wall -Wextra -Wpedantic -Werror)
target_link_libraries(kurvo-consumer PRIVATE Kurvo::kurvo)

# Every installed header compiled alone, each in a file of its own: a header
# that needs another one included before it fails here.
if(KURVO_CONSUMER_HEADERS)
  foreach(header IN LISTS KURVO_CONSUMER_HEADERS)
    string(MAKE_C_IDENTIFIER ${header} name)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/alone/${name}.cpp)
    file(WRITE ${file}.new "#include <${header}>\n")
    configure_file(${file}.new ${file} COPYONLY)
    list(APPEND alone ${file})
  endforeach()
  add_library(kurvo-every-header OBJECT ${alone})
  target_compile_options(kurvo-every-header PRIVATE -Wall -Wextra -Wpedantic -Werror)
  target_link_libraries(kurvo-every-header PRIVATE Kurvo::kurvo)
  add_dependencies(kurvo-consumer kurvo-every-header)
endif()
