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
set(wanted ./usr/bin/tavrin-convert ./usr/share/man/man1/tavrin-convert.1)
if(EXPECT_WINDOW)
  list(APPEND wanted ./usr/bin/tavrin ./usr/share/applications/ ./usr/share/metainfo/
       ./usr/share/icons/hicolor/48x48/apps/)
endif()
foreach(path IN LISTS wanted)
  string(FIND "${contents}" " ${path}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${path} is not in the package:\n${contents}")
  endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} --field ${deb} Package Version Depends
                OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "Package: tavrin\n" OR NOT fields MATCHES "Version: ${VERSION}\n")
  message(FATAL_ERROR "unexpected control fields:\n${fields}")
endif()
# tavrin-convert is linked statically (cli/CMakeLists.txt), so the libraries
# to depend on are the window's: the C library and Qt.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS AND EXPECT_WINDOW)
  if(NOT fields MATCHES "Depends: [^\n]*libc6" OR NOT fields MATCHES "libqt6widgets6")
    message(FATAL_ERROR "Depends lacks the C library or Qt:\n${fields}")
  endif()
endif()
