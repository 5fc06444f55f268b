# Install rules and package files: the library, the public headers, the
# CMake package (installed and for this build folder), kurvo.pc and the
# licence.
include(CMakePackageConfigHelpers)

set(KURVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kurvo)
install(TARGETS kurvo EXPORT KurvoTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(header IN LISTS KURVO_PUBLIC_HEADERS)
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kurvo/${dir})
endforeach()
install(FILES include/kurvo/kurvo.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kurvo)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kurvo)

# find_package(Kurvo) against an installed prefix ...
install(EXPORT KurvoTargets NAMESPACE Kurvo:: DESTINATION ${KURVO_CMAKE_DIR})
# ... and against this build folder (-DKurvo_DIR=<build> or
# CMAKE_PREFIX_PATH=<build>), with the staged headers and the built library.
export(EXPORT KurvoTargets NAMESPACE Kurvo:: FILE ${CMAKE_CURRENT_BINARY_DIR}/KurvoTargets.cmake)
configure_package_config_file(cmake/KurvoConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/KurvoConfig.cmake
  INSTALL_DESTINATION ${KURVO_CMAKE_DIR})
# Until 1.0 a minor version may change the interface (CHANGELOG.md), so a
# request for 0.1 accepts 0.1.x only; from 1.0 on, the same major version.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(kurvo_compatibility SameMinorVersion)
else()
  set(kurvo_compatibility SameMajorVersion)
endif()
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KurvoConfigVersion.cmake
  COMPATIBILITY ${kurvo_compatibility})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KurvoConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/KurvoConfigVersion.cmake
  DESTINATION ${KURVO_CMAKE_DIR})

# kurvo.pc: the Qt modules the headers include are required; Qt Svg is
# used inside the library only, so only a static link needs it.
if(KURVO_SHARED)
  set(KURVO_PC_REQUIRES "Qt6Widgets Qt6PrintSupport Qt6Gui Qt6Core")
  set(KURVO_PC_REQUIRES_PRIVATE "Qt6Svg")
  set(KURVO_PC_DEFINES "")
else()
  set(KURVO_PC_REQUIRES "Qt6Widgets Qt6PrintSupport Qt6Gui Qt6Core Qt6Svg")
  set(KURVO_PC_REQUIRES_PRIVATE "")
  set(KURVO_PC_DEFINES " -DKURVO_STATIC")
endif()
set(kurvo_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE ${kurvo_pc_dir})
  message(FATAL_ERROR "Kurvo: CMAKE_INSTALL_LIBDIR must be relative to the prefix for kurvo.pc, not ${CMAKE_INSTALL_LIBDIR}")
endif()
# From <prefix>/<libdir>/pkgconfig back up to <prefix>.
string(REGEX REPLACE "[^/]+" ".." KURVO_PC_PREFIX_FROM_PCDIR ${kurvo_pc_dir})
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${dir}})
    set(KURVO_PC_${dir} ${CMAKE_INSTALL_${dir}})
  else()
    set(KURVO_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
configure_file(cmake/kurvo.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kurvo.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kurvo.pc DESTINATION ${kurvo_pc_dir})
