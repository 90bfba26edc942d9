# Builds the .deb with CPack into WORK_DIR and reads it back with dpkg-deb.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB -B ${WORK_DIR} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${log}")
endif()
file(GLOB deb ${WORK_DIR}/*.deb)
list(LENGTH deb n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "expected one .deb, found: ${deb}")
endif()

execute_process(COMMAND ${DPKG_DEB} --contents ${deb} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb --contents failed")
endif()
set(wanted ./usr/bin/tavrin-convert ./usr/share/man/man1/tavrin-convert.1
    ./usr/share/bash-completion/completions/tavrin-convert
    ./usr/share/doc/tavrin/copyright ./usr/share/doc/tavrin/changelog)
if(EXPECT_WINDOW)
  list(APPEND wanted ./usr/bin/tavrin ./usr/share/man/man1/tavrin.1 ./usr/share/applications/
       ./usr/share/metainfo/ ./usr/share/icons/hicolor/48x48/apps/)
endif()
foreach(path IN LISTS wanted)
  string(FIND "${contents}" " ${path}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${path} is not in the package:\n${contents}")
  endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} --field ${deb} Package Version Depends Recommends
                OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "Package: tavrin\n" OR NOT fields MATCHES "Version: ${VERSION}\n")
  message(FATAL_ERROR "unexpected control fields:\n${fields}")
endif()
# Both programs link the C library; the window also Qt, and it is drawn
# with fonts from two packages, which apt then installs by default.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  if(NOT fields MATCHES "Depends: [^\n]*libc6")
    message(FATAL_ERROR "Depends lacks the C library:\n${fields}")
  endif()
  if(EXPECT_WINDOW AND NOT fields MATCHES "Depends: [^\n]*libqt6widgets6")
    message(FATAL_ERROR "Depends lacks Qt:\n${fields}")
  endif()
endif()
if(EXPECT_WINDOW AND NOT fields MATCHES "Recommends: fonts-liberation, fonts-urw-base35\n")
  message(FATAL_ERROR "Recommends does not name the window's fonts:\n${fields}")
endif()

# Debian's own checker: no error and no warning. A tag the package must
# live with is overridden in the package itself
# (usr/share/lintian/overrides/tavrin), with its reason, never here.
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} --no-cfg --fail-on error,warning ${deb}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "lintian (exit ${rc}):\n${out}${err}")
  endif()
  message(STATUS "lintian: no errors or warnings\n${out}")
else()
  message(STATUS "lintian not installed: not run")
endif()
