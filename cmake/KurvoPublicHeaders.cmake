# The headers a program that uses Kurvo may include, relative to the source
# root. Only these are installed (under <prefix>/include/kurvo/) and only
# these are visible to a project that adds Kurvo as a subdirectory, through
# the same <kurvo/...> paths; everything else in the source folders is the
# library's own business.
set(KURVO_PUBLIC_HEADERS
  canvas/kurvo_export.h
  canvas/Qorn_object.h
  canvas/Qorn_canvas.h
  canvas/custom_control.h
  canvas/qt_interop.h
  base/Qorn_qornbase.h
  base/crosshair.h
  base/dtlabel.h
  base/enums.h
  base/errors.h
  base/marks.h
  base/nicestep.h
  base/pixel_math.h
  base/textlabel.h
  scale/Qorn_Scale.h
  scale/ticks.h
  chart/Qorn_kurvo.h
  chart/background.h
  chart/commands.h
  chart/display_list.h
  chart/export.h
  chart/joint_layers.h
  chart/legend.h
  chart/sample_view.h
  chart/scale_props.h
  chart/series.h
  chart/theme.h)

# Links the public headers, and copies the umbrella header
# include/kurvo/kurvo.h, into <staging>/kurvo/, the layout they are
# installed in, so that a build against the source tree sees exactly what
# an installed package offers.
#
# A public header reaches the others by paths relative to itself
# ("../base/enums.h"), the only form that resolves both here and after
# installation without putting the project's folders on the user's include
# path. The check below stops the configure step when a public header uses
# another form or includes a header that is not public, because either
# would only show up as a broken installed package.
function(kurvo_stage_public_headers source_root staging)
  file(REMOVE_RECURSE ${staging}/kurvo)
  foreach(header IN LISTS KURVO_PUBLIC_HEADERS)
    if(NOT EXISTS ${source_root}/${header})
      message(FATAL_ERROR "Public header ${header} does not exist; update KURVO_PUBLIC_HEADERS in cmake/KurvoPublicHeaders.cmake.")
    endif()
    get_filename_component(dir ${header} DIRECTORY)
    file(STRINGS ${source_root}/${header} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
      if(NOT included MATCHES "^\\.\\./")
        message(FATAL_ERROR "Public header ${header} includes \"${included}\"; write it relative to the header, as \"../${included}\".")
      endif()
      get_filename_component(target "${dir}/${included}" ABSOLUTE BASE_DIR /kurvo-root)
      string(REGEX REPLACE "^/kurvo-root/" "" target "${target}")
      if(NOT target IN_LIST KURVO_PUBLIC_HEADERS)
        message(FATAL_ERROR "Public header ${header} includes ${target}, which is not public; add it to KURVO_PUBLIC_HEADERS in cmake/KurvoPublicHeaders.cmake or drop the include.")
      endif()
    endforeach()
    file(MAKE_DIRECTORY ${staging}/kurvo/${dir})
    file(CREATE_LINK ${source_root}/${header} ${staging}/kurvo/${header} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  file(STRINGS ${source_root}/include/kurvo/kurvo.h includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
    if(NOT included IN_LIST KURVO_PUBLIC_HEADERS)
      message(FATAL_ERROR "include/kurvo/kurvo.h includes ${included}, which is not public; add it to KURVO_PUBLIC_HEADERS in cmake/KurvoPublicHeaders.cmake.")
    endif()
  endforeach()
  # The umbrella header is copied, not linked: it reaches the others as
  # "base/...", which resolves only beside the staged folders, and g++
  # replaces the path of a header found on a system include path (as a
  # program that imports the build folder's package finds it) by its real
  # path when that is shorter. Editing it reruns the configure step.
  configure_file(${source_root}/include/kurvo/kurvo.h ${staging}/kurvo/kurvo.h COPYONLY)
endfunction()
