# Installs the build under a made-up prefix inside a scratch folder (DESTDIR)
# and fails when install_manifest.txt (which lists the files without DESTDIR)
# names a file outside that prefix: such
# a file would go to the system's own folders whatever the prefix. Also
# checks that the programs, the file manager's module (when built), the
# desktop entry's icon and tessaprint's window module are there, and that the
# installed tessaprint finds its core.
# cmake -DBUILD=<build folder> -DSCRATCH=<scratch folder> [-DMODULE=<file name>] -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
set(prefix /tessaprint-prefix)
set(root ${SCRATCH}${prefix})
set(manifest ${BUILD}/install_manifest.txt)
file(REMOVE_RECURSE ${SCRATCH})
# The manifest of the user's own install is put back afterwards.
if(EXISTS ${manifest})
  file(RENAME ${manifest} ${manifest}.kept)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${SCRATCH} ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
  RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
# A failed install may have written no manifest; its own words say why.
set(installed)
if(EXISTS ${manifest})
  file(STRINGS ${manifest} installed)
  file(REMOVE ${manifest})
endif()
if(EXISTS ${manifest}.kept)
  file(RENAME ${manifest}.kept ${manifest})
endif()
if(failed)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(outside)
foreach(f IN LISTS installed)
  string(FIND "${f}" "${prefix}/" at)
  if(NOT at EQUAL 0)
    list(APPEND outside ${f})
  endif()
endforeach()
if(outside)
  list(JOIN outside "\n  " outside)
  message(FATAL_ERROR "installed outside the prefix ${prefix}:\n  ${outside}")
endif()

set(expected bin/tessaprint bin/ferrowick bin/menuvane share/dbus-1/services/com.brindlecove.Tessaprint.service
  share/applications/com.brindlecove.Tessaprint.desktop)
file(STRINGS ${root}/share/applications/com.brindlecove.Tessaprint.desktop icon REGEX "^Icon=")
string(REPLACE "Icon=" "" icon "${icon}")
if(NOT icon)
  message(FATAL_ERROR "the desktop entry names no icon")
endif()
list(APPEND expected share/icons/hicolor/scalable/apps/${icon}.svg share/icons/hicolor/48x48/apps/${icon}.png)
foreach(f IN LISTS expected)
  if(NOT "${prefix}/${f}" IN_LIST installed OR NOT EXISTS "${root}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The installed program finds its core and window module in its private
# library folder: a command line without an input reaches the core's
# parser (exit code 2), and --help needs neither.
foreach(args "--help;0" "/T;${SCRATCH}/none.pdf;2")
  list(POP_BACK args want)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH} ${root}/bin/tessaprint ${args}
    RESULT_VARIABLE got OUTPUT_QUIET ERROR_VARIABLE why TIMEOUT 60)
  if(NOT got EQUAL want)
    message(FATAL_ERROR "installed tessaprint ${args} gave ${got}, not ${want}: ${why}")
  endif()
endforeach()
file(GLOB window_module ${root}/lib*/tessaprint/libtessaprint_window.so)
if(NOT window_module)
  message(FATAL_ERROR "not installed: the window module beside the private libraries")
endif()
if(MODULE)
  list(FILTER installed INCLUDE REGEX "^${prefix}/lib/.*nautilus/extensions-4/${MODULE}$")
  if(NOT installed)
    message(FATAL_ERROR "the file manager's module ${MODULE} is not in a nautilus/extensions-4 folder of the prefix")
  endif()
endif()
file(REMOVE_RECURSE ${SCRATCH})
