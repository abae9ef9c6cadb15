# The layers point one way: the drawing and the menus never reach up into the program, and the
# plain libraries never include Qt. Run with -DROOT=<source dir>; fails listing each offence.
set(offences "")

function(scan folder pattern why)
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(f IN LISTS files)
    # A subsystem's forms/ folder is allowed the widgets.
    if(f MATCHES "/forms/")
      continue()
    endif()
    file(STRINGS "${f}" lines REGEX "${pattern}")
    foreach(line IN LISTS lines)
      file(RELATIVE_PATH rel "${ROOT}" "${f}")
      list(APPEND offences "${rel}: ${line}  (${why})")
    endforeach()
  endforeach()
  set(offences "${offences}" PARENT_SCOPE)
endfunction()

foreach(folder src/display src/ui)
  scan(${folder} "^[ \t]*#[ \t]*include[ \t]*\"app/" "display and ui never include app")
endforeach()
foreach(folder src/core src/device src/acquisition src/trigger src/generator src/analyzers src/decoders
               src/files src/calibration)
  scan(${folder} "^[ \t]*#[ \t]*include[ \t]*<Q" "plain C++ libraries include no Qt header")
endforeach()
# The session and its controllers are plain C++ too; only app/window and SingleInstance use Qt.
file(GLOB appFiles "${ROOT}/src/app/*.h" "${ROOT}/src/app/*.cpp")
foreach(f IN LISTS appFiles)
  if(f MATCHES "SingleInstance")
    continue()
  endif()
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH rel "${ROOT}" "${f}")
    list(APPEND offences "${rel}: ${line}  (the session is plain C++)")
  endforeach()
endforeach()

if(offences)
  list(JOIN offences "\n" text)
  message(FATAL_ERROR "Forbidden includes:\n${text}")
endif()
