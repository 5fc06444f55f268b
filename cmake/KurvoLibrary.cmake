# The library target kurvo (alias Kurvo::kurvo) and kurvo_internal, the form
# the project's own tests, demo and benchmarks link.
#
# Static (the default): libkurvo.a, compiled as it always was.
#
# Shared (KURVO_SHARED): libkurvo.so.<version> with the SONAME
# libkurvo.so.<major>.<minor> while the major version is 0 (a 0.x minor
# release may change the interface, see CHANGELOG.md) and libkurvo.so.<major>
# from 1.0 on. Everything is compiled with hidden visibility; only what the
# public headers mark KURVO_EXPORT is in the dynamic symbol table. The tests
# and benchmarks reach internal functions the shared library hides, so they
# link a static twin made of the very same object files: the code is
# compiled once for both.

# What compiling the library and using it both need.
function(kurvo_usage_requirements target scope)
  target_compile_features(${target} ${scope} cxx_std_20)
  target_include_directories(${target} ${scope}
    $<BUILD_INTERFACE:${KURVO_STAGED_INCLUDE}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${target} ${scope} Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
endfunction()

set(kurvo_sources ${KURVO_SOURCES} ${KURVO_HEADERS} ${CMAKE_CURRENT_SOURCE_DIR}/chart/cursors/cursors.qrc)
if(KURVO_SHARED)
  add_library(kurvo_objects OBJECT ${kurvo_sources})
  set(kurvo_compiled kurvo_objects)
  set_target_properties(kurvo_objects PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # Nobody interposes the library's functions, so calls between them may be
  # inlined as in the static library.
  target_compile_options(kurvo_objects PRIVATE -fno-semantic-interposition)
  kurvo_usage_requirements(kurvo_objects PUBLIC)

  add_library(kurvo SHARED $<TARGET_OBJECTS:kurvo_objects>)
  if(PROJECT_VERSION_MAJOR EQUAL 0)
    set(kurvo_soversion ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
  else()
    set(kurvo_soversion ${PROJECT_VERSION_MAJOR})
  endif()
  set_target_properties(kurvo PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${kurvo_soversion}
                                         LINKER_LANGUAGE CXX)
  # Every symbol the library uses must be found when it is linked, not
  # when a program loads it.
  target_link_options(kurvo PRIVATE -Wl,--no-undefined)

  add_library(kurvo_static_twin STATIC $<TARGET_OBJECTS:kurvo_objects>)
  set_target_properties(kurvo_static_twin PROPERTIES LINKER_LANGUAGE CXX)
  kurvo_usage_requirements(kurvo_static_twin PUBLIC)
  target_link_libraries(kurvo_static_twin PUBLIC Qt6::Svg)
  target_compile_definitions(kurvo_static_twin INTERFACE KURVO_STATIC)
else()
  add_library(kurvo STATIC ${kurvo_sources})
  set(kurvo_compiled kurvo)
  # Programs (and the library's own files) see KURVO_EXPORT as nothing.
  target_compile_definitions(kurvo PUBLIC KURVO_STATIC)
  if(KURVO_BUILD_DESIGNER AND Qt6UiPlugin_FOUND)
    # The Designer plugin is a shared object with the library inside.
    set_target_properties(kurvo PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
endif()
add_library(Kurvo::kurvo ALIAS kurvo)
kurvo_usage_requirements(kurvo PUBLIC)
target_link_libraries(kurvo PRIVATE Qt6::Svg)
set_target_properties(kurvo PROPERTIES EXPORT_NAME kurvo)

# The compiled sources: moc for the chart's signals, rcc for the cursors.
set_target_properties(${kurvo_compiled} PROPERTIES AUTOMOC ON AUTORCC ON)
target_compile_definitions(${kurvo_compiled} PRIVATE KURVO_BUILDING_LIBRARY)
target_compile_options(${kurvo_compiled} PRIVATE -Wall -Wextra -Wpedantic -fno-math-errno)
target_include_directories(${kurvo_compiled} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(${kurvo_compiled} PRIVATE Qt6::Svg)

# The project's own tests, demo and benchmarks reach internal headers by
# their source paths ("chart/display_list.h"); users only get <kurvo/...>.
add_library(kurvo_internal INTERFACE)
if(KURVO_SHARED)
  target_link_libraries(kurvo_internal INTERFACE kurvo_static_twin)
else()
  target_link_libraries(kurvo_internal INTERFACE kurvo)
endif()
target_include_directories(kurvo_internal INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
