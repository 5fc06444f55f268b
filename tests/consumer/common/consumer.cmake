# The consumer program's target, shared by both ways of getting Kurvo. The
# project declares C++17 and strict warnings, as many users' projects do;
# Kurvo's headers must build under both.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
add_executable(kurvo-consumer ${CMAKE_CURRENT_LIST_DIR}/consumer.cpp ${KURVO_CONSUMER_EVERY_HEADER})
# The program's own folders come first, so that a Kurvo header that reached
# for "chart/..." or "base/..." would find these.
target_include_directories(kurvo-consumer BEFORE PRIVATE ${CMAKE_CURRENT_LIST_DIR}/own)
target_compile_options(kurvo-consumer PRIVATE -Wall -Wextra -Wpedantic -Werror)
target_link_libraries(kurvo-consumer PRIVATE Kurvo::kurvo)
