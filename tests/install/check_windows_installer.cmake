# Builds the Windows installer with CPack into WORK_DIR, installs it silently
# under wine, checks the programs, the Start-menu shortcut and the uninstall
# entry, then uninstalls silently and checks that all of it is gone. Run by
# CTest; see CMakeLists.txt beside this file for the variables.
function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

# What the installer was configured with: its architecture, publisher and
# the folder the programs install to.
include(${BUILD_DIR}/CPackConfig.cmake)

file(REMOVE_RECURSE ${WORK_DIR}/pack)
execute_process(COMMAND ${CPACK} -G NSIS -B ${WORK_DIR}/pack --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
set(setup ${WORK_DIR}/pack/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
if(NOT rc EQUAL 0 OR NOT EXISTS ${setup})
  fail("cpack -G NSIS made no ${setup} (${rc}):\n${log}")
endif()

# The caller's wine prefix, or one of the test's own. Wine is kept from
# adding menu entries to this desktop and from asking for Mono and Gecko.
if(NOT DEFINED ENV{WINEPREFIX})
  set(ENV{WINEPREFIX} ${WORK_DIR}/wineprefix)
endif()
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe=d;mscoree,mshtml=")
set(drive_c $ENV{WINEPREFIX}/drive_c)

set(key "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrin")
function(query_entry out)
  execute_process(COMMAND ${WINE} reg query ${key} ${view}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE entry ERROR_QUIET)
  if(NOT rc EQUAL 0)
    set(entry "")
  endif()
  string(REPLACE "\r" "" entry "${entry}")
  set(${out} "${entry}" PARENT_SCOPE)
endfunction()

# A 32-bit program on a 64-bit Windows keeps its uninstall entry in the
# registry's 32-bit view and lives in Program Files (x86). A run that failed
# half-way may have left an install behind; the first wine command also
# makes the prefix if it is new.
if(CPACK_SYSTEM_NAME STREQUAL "win32")
  set(view /reg:32)
else()
  set(view /reg:64)
endif()
execute_process(COMMAND ${WINE} reg delete ${key} /f ${view} OUTPUT_QUIET ERROR_QUIET)
if(CPACK_SYSTEM_NAME STREQUAL "win32" AND EXISTS ${drive_c}/windows/syswow64)
  set(program_files "Program Files (x86)")
else()
  set(program_files "Program Files")
endif()
set(dir ${drive_c}/${program_files}/Tavrin)
set(win_dir "C:\\${program_files}\\Tavrin")
if(CPACK_TAVRIN_BIN_DIR STREQUAL ".")
  set(win_bin "${win_dir}")
else()
  set(win_bin "${win_dir}\\${CPACK_TAVRIN_BIN_DIR}")
endif()
set(shortcut "${drive_c}/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin.lnk")
file(REMOVE_RECURSE ${dir} ${shortcut})

execute_process(COMMAND ${WINE} ${setup} /S RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("silent install exited ${rc}")
endif()

# The programs, and the installed tavrin-convert works.
set(programs tavrin-convert.exe)
if(EXPECT_WINDOW)
  list(APPEND programs Tavrin.exe)
endif()
foreach(program IN LISTS programs)
  if(NOT EXISTS ${dir}/${CPACK_TAVRIN_BIN_DIR}/${program})
    fail("${program} is not installed in ${dir}/${CPACK_TAVRIN_BIN_DIR}")
  endif()
endforeach()
if(NOT EXISTS ${dir}/Uninstall.exe)
  fail("no uninstaller in ${dir}")
endif()
execute_process(COMMAND ${WINE} ${dir}/${CPACK_TAVRIN_BIN_DIR}/tavrin-convert.exe 12 Inches Centimetres
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^30\\.48\r?\n$")
  fail("installed tavrin-convert printed '${out}' (exit ${rc})")
endif()

# The shortcut "Tavrin" starts the window and shows the window's icon (its
# target and its icon location: Windows keeps the first as ANSI text, the
# second as UTF-16). Without the window there is nothing to start.
if(EXPECT_WINDOW)
  if(NOT EXISTS ${shortcut})
    fail("no Start-menu shortcut ${shortcut}")
  endif()
  string(REPLACE "\\" "\\\\" window_pattern "${win_bin}\\Tavrin.exe")
  string(REPLACE "(" "\\(" window_pattern "${window_pattern}")
  string(REPLACE ")" "\\)" window_pattern "${window_pattern}")
  file(STRINGS ${shortcut} target REGEX "^${window_pattern}$")
  file(STRINGS ${shortcut} icon ENCODING UTF-16LE REGEX "${window_pattern}$")
  if(NOT target OR NOT icon)
    fail("the shortcut does not start ${win_bin}\\Tavrin.exe with its icon")
  endif()
  set(display_icon "${win_bin}\\Tavrin.exe,0")
elseif(EXISTS ${shortcut})
  fail("a Start-menu shortcut without the window: ${shortcut}")
else()
  set(display_icon "${win_dir}\\Uninstall.exe,0")
endif()

# The Add/Remove Programs entry.
query_entry(entry)
foreach(field
    "DisplayName    REG_SZ    Tavrin"
    "DisplayVersion    REG_SZ    ${VERSION_TEXT}"
    "Publisher    REG_SZ    ${CPACK_PACKAGE_VENDOR}"
    "DisplayIcon    REG_SZ    ${display_icon}"
    "UninstallString    REG_SZ    \"${win_dir}\\Uninstall.exe\""
    "QuietUninstallString    REG_SZ    \"${win_dir}\\Uninstall.exe\" /S")
  string(FIND "${entry}" "    ${field}\n" at)
  if(at LESS 0)
    fail("the uninstall entry lacks '${field}':\n${entry}")
  endif()
endforeach()
if(NOT entry MATCHES "EstimatedSize    REG_DWORD    0x([0-9a-f]+)")
  fail("the uninstall entry has no EstimatedSize:\n${entry}")
endif()
math(EXPR size_kib "0x${CMAKE_MATCH_1}")
file(SIZE ${dir}/${CPACK_TAVRIN_BIN_DIR}/tavrin-convert.exe convert_bytes)
math(EXPR convert_kib "${convert_bytes} / 1024")
if(size_kib LESS convert_kib)
  fail("EstimatedSize ${size_kib} KiB is less than tavrin-convert.exe alone (${convert_kib} KiB)")
endif()

# The uninstaller runs from a copy of itself in the temporary folder, so the
# command returns before the work is done: wait until the entry is gone,
# since it goes last.
execute_process(COMMAND ${WINE} ${dir}/Uninstall.exe /S RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("silent uninstall exited ${rc}")
endif()
foreach(attempt RANGE 120)
  query_entry(entry)
  if(entry STREQUAL "")
    break()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.25)
endforeach()
if(NOT entry STREQUAL "")
  fail("the uninstall entry is still there 30 s after uninstalling:\n${entry}")
endif()
if(EXISTS ${dir} OR EXISTS ${shortcut})
  file(GLOB_RECURSE left ${dir}/*)
  fail("uninstalling left files behind: ${left} ${shortcut}")
endif()
