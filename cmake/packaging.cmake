# Installing Tavrin as a desktop program, and its Debian package.
#
# The programs install themselves (ui/ and cli/); this adds what a desktop
# and a shell expect beside them: the .desktop entry, the AppStream
# metainfo and the hicolor icons for the window, the man page for
# tavrin-convert. Included last from the root CMakeLists.txt, since CPack
# reads the install rules of the whole tree.
#
#   cmake --install build --prefix /usr          (DESTDIR=... for a staging tree)
#   cd build && cpack                            (tavrin_<version>_<arch>.deb)

# What every package says of itself.
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "The Tavrin developers")
# A package needs a maintainer; .invalid marks the address as a placeholder
# until the project has one to publish.
set(CPACK_PACKAGE_CONTACT "Tavrin maintainers <maintainers@tavrin.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tavrin converts a value between the units of 15 categories, from length"
  "to low pressure, with a fixed table of 474 rules. The package holds the"
  "window, tavrin, and the command tavrin-convert, which gives scripts the"
  "same conversions: one value, TAB-separated batches, unit lists, whole"
  "tables as text or CSV, and the rule behind a result.")
set(CPACK_STRIP_FILES ON)

# A Windows build packs a portable zip and an installer instead
# (cmake/windows-packaging.cmake); the desktop files and the man page below
# are a Linux desktop's.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows-packaging.cmake)
  return()
endif()

# One identifier for the desktop entry, the metainfo and the icon name, as
# AppStream expects (the desktop file is <id>.desktop).
set(TAVRIN_APP_ID org.tavrin.Tavrin)
set(_tavrin_linux ${PROJECT_SOURCE_DIR}/assets/linux)

# The metainfo carries the release version, from the project version.
configure_file(${_tavrin_linux}/${TAVRIN_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${TAVRIN_APP_ID}.metainfo.xml @ONLY)

if(TARGET tavrin)
  install(FILES ${_tavrin_linux}/${TAVRIN_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_BINARY_DIR}/${TAVRIN_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(_size 16 32 48)
    set(_icon ${PROJECT_SOURCE_DIR}/assets/icons/tavrin-${_size}.png)
    if(EXISTS ${_icon})
      install(FILES ${_icon}
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
              RENAME ${TAVRIN_APP_ID}.png)
    else()
      message(WARNING "No ${_icon}: the ${_size}x${_size} icon is left out of the install")
    endif()
  endforeach()
endif()

if(TARGET tavrin-convert)
  # Debian ships man pages compressed; gzip -n leaves the name and time out,
  # so the file is the same on every build.
  set(_man ${PROJECT_SOURCE_DIR}/cli/tavrin-convert.1)
  find_program(TAVRIN_GZIP gzip)
  if(TAVRIN_GZIP)
    set(_man_out ${PROJECT_BINARY_DIR}/man/tavrin-convert.1)
    add_custom_command(OUTPUT ${_man_out}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E copy ${_man} ${_man_out}
      COMMAND ${TAVRIN_GZIP} -9 -n -f ${_man_out}
      DEPENDS ${_man}
      COMMENT "Compressing the tavrin-convert man page"
      VERBATIM)
    add_custom_target(tavrin_man ALL DEPENDS ${_man_out}.gz)
    install(FILES ${_man_out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

# The Debian package: everything above plus the two programs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the libraries the programs link (libc6, libstdc++6 and,
# with the window, Qt), as dpkg-shlibdeps (in dpkg-dev) reads them.
find_program(TAVRIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TAVRIN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "No dpkg-shlibdeps (package dpkg-dev): a .deb built here would have no Depends")
endif()
include(CPack)
