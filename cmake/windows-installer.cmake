# The Windows installer: CPack's NSIS generator with the template in nsis/,
# included by windows-packaging.cmake, whose names and architecture
# (CPACK_SYSTEM_NAME) it takes. It installs what the install rules install
# (tavrin-convert.exe, Tavrin.exe once the window is built, the README and
# the licence) under Program Files, with a Start-menu shortcut to the
# window, an uninstaller and the Add/Remove Programs entry.
#
#   cd build-windows-x86_64 && cpack -G NSIS      (tavrin-1.00-win64-setup.exe)
#   cpack alone makes the zip and the installer.
#
# The installer runs silently with /S, and so does Uninstall.exe.
# NSIS.template.in says what the two promise: nothing of the user's touched,
# one Tavrin per machine, no running Tavrin half replaced or removed.
# CPack's own template is left aside because it writes no EstimatedSize or
# QuietUninstallString, puts a 64-bit program's uninstall entry among the
# 32-bit ones, and adds pages (PATH, desktop icon) Tavrin has no use for.

find_program(TAVRIN_MAKENSIS makensis)
if(TAVRIN_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
else()
  message(STATUS "No makensis (package nsis): no Windows installer")
endif()

if(CPACK_SYSTEM_NAME STREQUAL "win64")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()

# CPack takes NSIS.template.in from its module path before its own.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
# The list of files the installer writes and the uninstaller removes, made
# from what cpack staged.
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/nsis/list-files.cmake)
set(CPACK_NSIS_DISPLAY_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${PROJECT_NAME})
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/tavrin.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/tavrin.ico)
# The finish page's picture (assets/make_installer_art.py draws it).
set(CPACK_TAVRIN_SIDE_PICTURE ${PROJECT_SOURCE_DIR}/assets/installer-side.bmp)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_TAVRIN_VERSION_TEXT ${TAVRIN_VERSION_TEXT})
set(CPACK_TAVRIN_FILE_VERSION ${PROJECT_VERSION})
# The setup program's copyright line is the licence's.
file(STRINGS ${CPACK_RESOURCE_FILE_LICENSE} CPACK_TAVRIN_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
set(CPACK_TAVRIN_BIN_DIR ${CMAKE_INSTALL_BINDIR})

# The zip's name with -setup (nsis/per-generator.cmake, which cpack reads for
# each generator).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/nsis/per-generator.cmake)
