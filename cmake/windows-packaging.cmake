# The portable Windows zip: tavrin-<version>-win32.zip or -win64.zip, one
# folder holding the programs, the README and the licence, to unpack and run
# from anywhere (nothing to install, no DLL beside the programs).
#   cd build-windows-x86_64 && cpack        (scripts/windows.sh does this)
# Included by cmake/packaging.cmake in a Windows build instead of the Linux
# desktop files and the .deb; cmake/windows-installer.cmake adds the installer.

# The README and the licence as Notepad opens them: .txt names, CRLF lines.
# Another document joins them by name here.
set(TAVRIN_WINDOWS_DOCS README.md:README.txt LICENSE:LICENSE.txt)
foreach(_doc IN LISTS TAVRIN_WINDOWS_DOCS)
  string(REPLACE ":" ";" _doc "${_doc}")
  list(GET _doc 0 _from)
  list(GET _doc 1 _to)
  set(_source ${PROJECT_SOURCE_DIR}/${_from})
  file(READ ${_source} _text)
  string(REPLACE "\r\n" "\n" _text "${_text}")
  string(REPLACE "\n" "\r\n" _text "${_text}")
  file(WRITE ${PROJECT_BINARY_DIR}/windows/${_to} "${_text}")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_source})
  install(FILES ${PROJECT_BINARY_DIR}/windows/${_to} DESTINATION .)
endforeach()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_windows_arch win64)
else()
  set(_windows_arch win32)
endif()
# The package's name, vendor and description are packaging.cmake's.
set(CPACK_PACKAGE_VERSION ${TAVRIN_VERSION_TEXT})
set(CPACK_SYSTEM_NAME ${_windows_arch})
set(CPACK_PACKAGE_FILE_NAME tavrin-${TAVRIN_VERSION_TEXT}-${_windows_arch})
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The installer, tavrin-<version>-<arch>-setup.exe, beside the zip.
include(${CMAKE_CURRENT_LIST_DIR}/windows-installer.cmake)
include(CPack)
