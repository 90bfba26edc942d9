# Installing Tavrin as a desktop program, and its Debian package.
#
# The programs install themselves (ui/ and cli/); this adds what a desktop
# and a shell expect beside them: the .desktop entry, the AppStream
# metainfo and the hicolor icons for the window, a man page for each
# program, the bash completion of tavrin-convert, and the copyright and
# changelog files Debian wants in share/doc/tavrin. Included last from the
# root CMakeLists.txt, since CPack reads the install rules of the whole tree.
#
#   cmake --install build --prefix /usr          (DESTDIR=... for a staging tree)
#   cd build && cpack                            (tavrin_<version>_<arch>.deb)

# What every package says of itself.
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "${TAVRIN_VENDOR}")
# A package needs a maintainer, and its metainfo a homepage. Both are under
# .invalid, the top-level domain reserved never to resolve (RFC 2606), as
# placeholders until the project has an address and a site to publish; the
# validators (appstreamcli, lintian) check a homepage's form, not its host.
set(CPACK_PACKAGE_CONTACT "Tavrin maintainers <maintainers@tavrin.invalid>")
set(TAVRIN_HOMEPAGE "https://tavrin.invalid/")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TAVRIN_HOMEPAGE}")
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
# A web build packs its page's folder as a zip (ui/web/).
if(EMSCRIPTEN)
  return()
endif()

# One identifier for the desktop entry, the metainfo and the icon name, as
# AppStream expects (the desktop file is <id>.desktop).
set(TAVRIN_APP_ID org.tavrin.Tavrin)
set(_tavrin_linux ${PROJECT_SOURCE_DIR}/assets/linux)

# The metainfo names the release by the package's version (the project
# version, which AppStream compares with the installed package's), the
# maker and the homepage.
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

# Debian ships man pages and changelogs compressed; gzip -n leaves the name
# and time out, so the file is the same on every build.
find_program(TAVRIN_GZIP gzip)
set(_doc_out ${PROJECT_BINARY_DIR}/doc)
set(_gzipped)
function(tavrin_install_gzipped source name destination)
  if(TAVRIN_GZIP)
    add_custom_command(OUTPUT ${_doc_out}/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_doc_out}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${_doc_out}/${name}
      COMMAND ${TAVRIN_GZIP} -9 -n -f ${_doc_out}/${name}
      DEPENDS ${source}
      COMMENT "Compressing ${name}"
      VERBATIM)
    set(_gzipped ${_gzipped} ${_doc_out}/${name}.gz PARENT_SCOPE)
    install(FILES ${_doc_out}/${name}.gz DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination} RENAME ${name})
  endif()
endfunction()

set(_man_dir ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET tavrin-convert)
  tavrin_install_gzipped(${PROJECT_SOURCE_DIR}/cli/tavrin-convert.1 tavrin-convert.1 ${_man_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/cli/tavrin-convert.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME tavrin-convert)
endif()
if(TARGET tavrin)
  tavrin_install_gzipped(${_tavrin_linux}/tavrin.1 tavrin.1 ${_man_dir})
endif()

# The package's documentation folder is named after the package, whatever
# the project is called. The copyright file is LICENSE in Debian's
# machine-readable form, made from LICENSE so there is one text to keep.
set(_pkg_doc ${CMAKE_INSTALL_DATADIR}/doc/tavrin)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE _license)
string(REGEX REPLACE "\n+$" "" _license "${_license}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${_license}")
set(_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^[^\n]*\n\n" "" _license_terms "${_license}")        # the title line
string(REGEX REPLACE "^Copyright[^\n]*\n\n" "" _license_terms "${_license_terms}")
string(REPLACE "\n\n" "\n.\n" _license_terms "${_license_terms}")
string(REPLACE "\n" "\n " _license_terms "${_license_terms}")
file(CONFIGURE OUTPUT ${_doc_out}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tavrin
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${_holder}
License: Expat
 ${_license_terms}
")
install(FILES ${_doc_out}/copyright DESTINATION ${_pkg_doc})
configure_file(${_tavrin_linux}/changelog.in ${_doc_out}/changelog.in @ONLY)
tavrin_install_gzipped(${_doc_out}/changelog.in changelog ${_pkg_doc})
add_custom_target(tavrin_docs ALL DEPENDS ${_gzipped})

# The Debian package: everything above plus the two programs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The faces the window is drawn with (ui/look.cpp): it falls back to the
# desktop's own without them, so they are recommended, not required.
if(TARGET tavrin)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-urw-base35")
endif()
# Depends comes from the libraries the programs link (libc6, libstdc++6 and,
# with the window, Qt), as dpkg-shlibdeps (in dpkg-dev) reads them.
find_program(TAVRIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TAVRIN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "No dpkg-shlibdeps (package dpkg-dev): a .deb built here would have no Depends")
endif()
include(CPack)
