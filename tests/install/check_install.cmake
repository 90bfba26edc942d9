# Installs the build into WORK_DIR/root with prefix /usr and checks what lands
# where. Run by CTest; see CMakeLists.txt beside this file for the variables.
function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}/root
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  fail("cmake --install failed (${rc}):\n${log}")
endif()
set(usr ${WORK_DIR}/root/usr)

# Nothing outside the places a desktop program and a command belong.
file(GLOB_RECURSE installed RELATIVE ${usr} ${usr}/*)
foreach(f IN LISTS installed)
  if(NOT f MATCHES "^(bin/[^/]+|share/applications/[^/]+\\.desktop|share/metainfo/[^/]+\\.metainfo\\.xml|share/icons/hicolor/[0-9]+x[0-9]+/apps/[^/]+\\.png|share/man/man1/[^/]+\\.1(\\.gz)?|share/bash-completion/completions/[^/]+|share/doc/tavrin/(copyright|changelog(\\.gz)?))$")
    fail("installed outside the standard places: /usr/${f}")
  endif()
endforeach()

# The command line and its man page.
if(NOT EXISTS ${usr}/bin/tavrin-convert)
  fail("no /usr/bin/tavrin-convert")
endif()
execute_process(COMMAND ${usr}/bin/tavrin-convert 12 Inches Centimetres
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "30.48\n")
  fail("installed tavrin-convert printed '${out}' (exit ${rc})")
endif()
execute_process(COMMAND ${usr}/bin/tavrin-convert --version OUTPUT_VARIABLE out)
if(NOT out STREQUAL "tavrin-convert ${VERSION_TEXT}\n")
  fail("installed tavrin-convert --version printed '${out}'")
endif()
# A man page for each program, formatting without a warning.
set(pages "tavrin-convert:EXIT STATUS")
if(EXPECT_WINDOW)
  list(APPEND pages "tavrin:KEYS")
endif()
find_program(MAN man)
foreach(entry IN LISTS pages)
  string(REGEX REPLACE ":.*" "" program "${entry}")
  string(REGEX REPLACE ".*:" "" section "${entry}")
  file(GLOB man ${usr}/share/man/man1/${program}.1*)
  if(NOT man)
    fail("no ${program} man page in /usr/share/man/man1")
  endif()
  if(MAN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 ${MAN} --warnings -l ${man}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE page ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "" OR NOT page MATCHES "${section}")
      fail("${program} man page does not format cleanly (${rc}): ${warnings}")
    endif()
  endif()
endforeach()

# The licence in Debian's machine-readable form, and the completion.
file(READ ${usr}/share/doc/tavrin/copyright copyright)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
   OR NOT copyright MATCHES "\nLicense: Expat\n Permission is hereby granted")
  fail("share/doc/tavrin/copyright is not the MIT licence in machine-readable form:\n${copyright}")
endif()
if(NOT EXISTS ${usr}/share/bash-completion/completions/tavrin-convert)
  fail("no bash completion for tavrin-convert")
endif()

# The window's files: one desktop entry, its icon in three sizes under the
# name the entry gives, and the metainfo under the entry's id.
file(GLOB desktop ${usr}/share/applications/*.desktop)
if(EXPECT_WINDOW)
  if(NOT EXISTS ${usr}/bin/tavrin)
    fail("no /usr/bin/tavrin")
  endif()
  list(LENGTH desktop n)
  if(NOT n EQUAL 1)
    fail("expected one .desktop file, found: ${desktop}")
  endif()
  get_filename_component(app_id ${desktop} NAME_WLE)
  file(STRINGS ${desktop} icon_line REGEX "^Icon=")
  string(REGEX REPLACE "^Icon=" "" icon "${icon_line}")
  if(NOT icon STREQUAL app_id)
    fail("Icon=${icon} is not the application id ${app_id}")
  endif()
  foreach(size 16 32 48)
    if(NOT EXISTS ${usr}/share/icons/hicolor/${size}x${size}/apps/${icon}.png)
      fail("no ${size}x${size} icon ${icon}.png")
    endif()
  endforeach()
  set(metainfo ${usr}/share/metainfo/${app_id}.metainfo.xml)
  if(NOT EXISTS ${metainfo})
    fail("no ${metainfo}")
  endif()
  file(READ ${metainfo} xml)
  if(NOT xml MATCHES "<id>${app_id}</id>" OR NOT xml MATCHES "desktop-id\">${app_id}.desktop<"
     OR NOT xml MATCHES "<release version=\"${VERSION}\"")
    fail("metainfo does not name ${app_id}, ${app_id}.desktop and the package's version ${VERSION}")
  endif()
  # The running window's class is the one the entry names, so a dock groups
  # the window with its launcher and icon. Its title is the entry's Name.
  find_program(XVFB_RUN xvfb-run)
  find_program(XWININFO xwininfo)
  if(XVFB_RUN AND XWININFO)
    file(STRINGS ${desktop} wm_class REGEX "^StartupWMClass=")
    file(STRINGS ${desktop} title REGEX "^Name=")
    string(REGEX REPLACE "^[^=]*=" "" wm_class "${wm_class}")
    string(REGEX REPLACE "^[^=]*=" "" title "${title}")
    # xwininfo lists each top-level window as: id "title": ("instance" "class") ...
    execute_process(COMMAND ${XVFB_RUN} -a sh -c [=[
        QT_QPA_PLATFORM=xcb "$1" & app=$!
        for _ in $(seq 200); do
          xwininfo -root -children | grep -F "\"$2\": (\"" && break
          sleep 0.1
        done
        kill $app]=] sh ${usr}/bin/tavrin "${title}"
      OUTPUT_VARIABLE shown ERROR_VARIABLE err TIMEOUT 120)
    string(REGEX MATCH ": \\(\"[^\"]*\" \"([^\"]*)\"\\)" _ "${shown}")
    if(wm_class STREQUAL "" OR NOT CMAKE_MATCH_1 STREQUAL wm_class)
      fail("the window's WM_CLASS is '${shown}'; the desktop entry's StartupWMClass is '${wm_class}'\n${err}")
    endif()
  else()
    message(STATUS "xvfb-run or xwininfo not installed: the window's class is not checked")
  endif()
else()
  # Without the window there is nothing to launch: no desktop entry.
  if(desktop)
    fail("desktop entry installed without the window: ${desktop}")
  endif()
  file(GLOB desktop ${SOURCE_DIR}/assets/linux/*.desktop)
  file(GLOB metainfo ${BUILD_DIR}/*.metainfo.xml)
endif()

# The validators, where installed (desktop-file-utils, appstream).
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    fail("desktop-file-validate: ${out}")
  endif()
else()
  message(STATUS "desktop-file-validate not installed: not run")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
    fail("appstreamcli validate: ${out}")
  endif()
else()
  message(STATUS "appstreamcli not installed: not run")
endif()
