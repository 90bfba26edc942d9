# Builds the Windows installer with CPack into WORK_DIR and uses it under
# wine, silently, as a user and an administrator would:
#  1. into a folder holding the user's README.txt, which a stale entry (its
#     Tavrin removed by hand) names: Tavrin goes into a Tavrin folder inside
#     it, the user's file stays as it was and the stale entry goes;
#  2. where OTHER_SETUP (the 32-bit installer, beside a 64-bit build) exists,
#     that edition next, which replaces the first;
#  3. into the default folder while a program of the earlier install runs:
#     refused with exit code 2, nothing changed;
#  4. again once it has ended, the folder written with "..": the earlier
#     install is gone, and one entry lists the programs and the shortcut,
#     which work;
#  5. an uninstaller left in another folder unlists nothing;
#  6. the entry's quiet uninstall command while tavrin-convert.exe runs:
#     refused with a non-zero exit code, nothing changed; then while Tavrin
#     runs (given a display): the window is closed and everything goes, the
#     uninstaller too, but the user's file.
# Run by CTest; see CMakeLists.txt beside this file for the variables.
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

# A wine prefix of the test's own: the window's tests look for Tavrin's
# window in theirs. Wine is kept from adding menu entries to this desktop
# and from asking for Mono and Gecko; the first wine command makes the
# prefix, and a run that failed half-way may have left programs running.
set(ENV{WINEPREFIX} ${WORK_DIR}/wineprefix)
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe=d;mscoree,mshtml=")
set(drive_c $ENV{WINEPREFIX}/drive_c)
find_program(WINESERVER wineserver REQUIRED)
execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)

set(key "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrin")
# The entry in the registry's 32- or 64-bit view, "" when there is none.
function(query_entry out view)
  execute_process(COMMAND ${WINE} reg query ${key} /reg:${view}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE entry ERROR_QUIET)
  if(NOT rc EQUAL 0)
    set(entry "")
  endif()
  string(REPLACE "\r" "" entry "${entry}")
  set(${out} "${entry}" PARENT_SCOPE)
endfunction()
function(expect_no_entry view why)
  query_entry(entry ${view})
  if(NOT entry STREQUAL "")
    fail("${why}, a ${view}-bit entry is left:\n${entry}")
  endif()
endfunction()
function(expect_location view win_folder)
  query_entry(entry ${view})
  string(FIND "${entry}" "    InstallLocation    REG_SZ    ${win_folder}\n" at)
  if(at LESS 0)
    fail("the ${view}-bit entry does not name ${win_folder}:\n${entry}")
  endif()
endfunction()

# Runs a Windows program, its exit code in rc. Its output goes to a file,
# not through a pipe: wine's desktop process, which the first window starts,
# would inherit the pipe and keep the run going as long as it lives.
function(run_windows)
  execute_process(COMMAND ${WINE} ${ARGN} RESULT_VARIABLE rc
                  OUTPUT_FILE ${WORK_DIR}/wine.log ERROR_FILE ${WORK_DIR}/wine.log)
  set(rc ${rc} PARENT_SCOPE)
endfunction()

# Runs an installer silently; NSIS takes /D= unquoted, to the end of the
# command line, so a folder with spaces goes as several arguments.
function(install setup expected_rc)
  set(folder ${ARGN})
  if(folder)
    string(REPLACE " " ";" folder "/D=${folder}")
  endif()
  run_windows(${setup} /S ${folder})
  if(NOT rc EQUAL expected_rc)
    fail("${setup} /S ${ARGN} exited ${rc}, not ${expected_rc}")
  endif()
endfunction()

# Waits until a Windows program runs (or, with ENDED, has ended). Started
# by its Windows path, its process bears that name.
function(wait_for win_program)
  set(state started)
  if(ARGN STREQUAL "ENDED")
    set(state ended)
  endif()
  foreach(attempt RANGE 200)
    file(GLOB cmdlines /proc/[0-9]*/cmdline)
    execute_process(COMMAND cat ${cmdlines} COMMAND tr "\\0" "\\n" OUTPUT_VARIABLE all ERROR_QUIET)
    string(FIND "\n${all}" "\n${win_program}\n" at)
    if((at LESS 0 AND state STREQUAL "ended") OR (at GREATER_EQUAL 0 AND state STREQUAL "started"))
      return()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.1)
  endforeach()
  fail("${win_program} has not ${state} in 20 s")
endfunction()

# Runs a Windows program that reads from a pipe that stays open until
# stop_reader(), so that its file is in use.
set(pid_file ${WORK_DIR}/reader.pid)
function(start_reader win_program)
  execute_process(COMMAND sh -c [[(sh -c 'echo $$ > "$0"; exec sleep 60' "$0" | "$1" "$2" --batch) >/dev/null 2>&1 &]]
                  ${pid_file} ${WINE} ${win_program})
  wait_for("${win_program}")
  set(reader "${win_program}" PARENT_SCOPE)
endfunction()
function(stop_reader)
  execute_process(COMMAND sh -c [[kill "$(cat "$0")"]] ${pid_file})
  wait_for("${reader}" ENDED)
endfunction()

# Program Files, where this edition installs by default: Program Files (x86)
# for a 32-bit program on a 64-bit Windows, which lists it in the registry's
# 32-bit view.
if(CPACK_SYSTEM_NAME STREQUAL "win32")
  set(view 32)
  set(other_view 64)
else()
  set(view 64)
  set(other_view 32)
endif()
foreach(v 32 64)
  execute_process(COMMAND ${WINE} reg delete ${key} /f /reg:${v} OUTPUT_QUIET ERROR_QUIET)
endforeach()
if(CPACK_SYSTEM_NAME STREQUAL "win32" AND EXISTS ${drive_c}/windows/syswow64)
  set(program_files "Program Files (x86)")
else()
  set(program_files "Program Files")
endif()
set(dir ${drive_c}/${program_files}/Tavrin)
set(win_dir "C:\\${program_files}\\Tavrin")
# The programs' folder below an install folder.
if(CPACK_TAVRIN_BIN_DIR STREQUAL ".")
  set(bin_dir "")
  set(win_bin_dir "")
else()
  set(bin_dir "/${CPACK_TAVRIN_BIN_DIR}")
  set(win_bin_dir "\\${CPACK_TAVRIN_BIN_DIR}")
endif()
set(bin ${dir}${bin_dir})
set(win_bin "${win_dir}${win_bin_dir}")
set(shortcut "${drive_c}/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin.lnk")
set(shared ${drive_c}/Shared)
set(notes "The user's own notes, not Tavrin's README\n")
file(REMOVE_RECURSE "${drive_c}/Program Files/Tavrin" "${drive_c}/Program Files (x86)/Tavrin"
     ${shortcut} ${shared} ${drive_c}/Stale)
file(WRITE ${shared}/README.txt "${notes}")
function(expect_notes_alone)
  file(READ ${shared}/README.txt text)
  file(GLOB left RELATIVE ${shared} ${shared}/*)
  if(NOT text STREQUAL notes OR NOT left STREQUAL "README.txt")
    fail("C:\\Shared holds ${left}, its README.txt '${text}'")
  endif()
endfunction()

# 1. The user's folder gets a Tavrin folder of its own, though a stale
# entry of the other edition names it.
execute_process(COMMAND ${WINE} reg add ${key} /v InstallLocation /d "C:\\Shared" /reg:${other_view} /f OUTPUT_QUIET)
execute_process(COMMAND ${WINE} reg add ${key} /v UninstallString /d "\"C:\\Shared\\Uninstall.exe\"" /reg:${other_view} /f OUTPUT_QUIET)
install(${setup} 0 "C:\\Shared")
expect_no_entry(${other_view} "after installing beside a stale entry")
if(NOT EXISTS ${shared}/Tavrin${bin_dir}/tavrin-convert.exe)
  fail("nothing installed in C:\\Shared\\Tavrin")
endif()
file(READ ${shared}/README.txt text)
if(NOT text STREQUAL notes)
  fail("installing into C:\\Shared overwrote the user's README.txt: '${text}'")
endif()
expect_location(${view} "C:\\Shared\\Tavrin")
set(earlier ${shared}/Tavrin)
set(win_earlier "C:\\Shared\\Tavrin")
set(earlier_view ${view})

# 2. The other edition replaces it.
if(OTHER_SETUP AND EXISTS ${OTHER_SETUP})
  install(${OTHER_SETUP} 0)
  expect_notes_alone()
  expect_location(32 "C:\\Program Files (x86)\\Tavrin")
  expect_no_entry(64 "after the 32-bit edition")
  set(earlier "${drive_c}/Program Files (x86)/Tavrin")
  set(win_earlier "C:\\Program Files (x86)\\Tavrin")
  set(earlier_view 32)
elseif(OTHER_SETUP)
  message(STATUS "No ${OTHER_SETUP}: one edition replacing the other not checked")
endif()

# 3. While the earlier install's tavrin-convert.exe runs, installing
# elsewhere changes nothing.
start_reader("${win_earlier}${win_bin_dir}\\tavrin-convert.exe")
install(${setup} 2 "${win_dir}")
if(EXISTS ${dir} OR NOT EXISTS ${earlier}/Uninstall.exe OR NOT EXISTS ${earlier}/README.txt)
  fail("a refused install changed the files: ${dir} made or ${earlier} emptied")
endif()
expect_location(${earlier_view} "${win_earlier}")
stop_reader()

# 4. Then it replaces the earlier install; the folder, written the long way
# round, is the same folder to the entry, the shortcut and the uninstaller.
install(${setup} 0 "C:\\${program_files}\\..\\${program_files}\\Tavrin")
if(EXISTS ${earlier})
  file(GLOB_RECURSE left ${earlier}/*)
  fail("the earlier install in ${earlier} is left: ${left}")
endif()
expect_notes_alone()
expect_no_entry(${other_view} "beside this edition's")

# The programs, and the installed tavrin-convert works.
set(programs tavrin-convert.exe)
if(EXPECT_WINDOW)
  list(APPEND programs Tavrin.exe)
endif()
foreach(program IN LISTS programs)
  if(NOT EXISTS ${bin}/${program})
    fail("${program} is not installed in ${bin}")
  endif()
endforeach()
if(NOT EXISTS ${dir}/Uninstall.exe)
  fail("no uninstaller in ${dir}")
endif()
execute_process(COMMAND ${WINE} ${bin}/tavrin-convert.exe 12 Inches Centimetres
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
query_entry(entry ${view})
foreach(field
    "DisplayName    REG_SZ    Tavrin"
    "DisplayVersion    REG_SZ    ${VERSION_TEXT}"
    "Publisher    REG_SZ    ${CPACK_PACKAGE_VENDOR}"
    "DisplayIcon    REG_SZ    ${display_icon}"
    "InstallLocation    REG_SZ    ${win_dir}"
    "UninstallString    REG_SZ    \"${win_dir}\\Uninstall.exe\""
    "QuietUninstallString    REG_SZ    \"${win_dir}\\Uninstall.exe\" /S _?=${win_dir}")
  string(FIND "${entry}" "    ${field}\n" at)
  if(at LESS 0)
    fail("the uninstall entry lacks '${field}':\n${entry}")
  endif()
endforeach()
if(NOT entry MATCHES "EstimatedSize    REG_DWORD    0x([0-9a-f]+)")
  fail("the uninstall entry has no EstimatedSize:\n${entry}")
endif()
math(EXPR size_kib "0x${CMAKE_MATCH_1}")
file(SIZE ${bin}/tavrin-convert.exe convert_bytes)
math(EXPR convert_kib "${convert_bytes} / 1024")
if(size_kib LESS convert_kib)
  fail("EstimatedSize ${size_kib} KiB is less than tavrin-convert.exe alone (${convert_kib} KiB)")
endif()

# 5. An uninstaller in a folder the entry does not name (run in place, so
# that wine waits for it) leaves the entry and the shortcut alone.
file(COPY ${dir}/Uninstall.exe DESTINATION ${drive_c}/Stale)
run_windows(${drive_c}/Stale/Uninstall.exe /S "_?=C:\\Stale")
query_entry(after ${view})
if(NOT rc EQUAL 0 OR NOT after STREQUAL entry OR (EXPECT_WINDOW AND NOT EXISTS ${shortcut}))
  fail("an uninstaller in C:\\Stale (exit ${rc}) removed the entry or the shortcut of ${win_dir}")
endif()
file(REMOVE_RECURSE ${drive_c}/Stale)

# 6. The quiet command above (NSIS takes _?= unquoted, to the end of the
# command line) runs the uninstaller in place, which returns its true exit
# code: while tavrin-convert.exe runs, a failure that changes nothing.
string(REPLACE " " ";" in_place "_?=${win_dir}")
set(quiet_uninstall "${win_dir}\\Uninstall.exe" /S ${in_place})
file(GLOB_RECURSE files ${dir}/*)
start_reader("${win_bin}\\tavrin-convert.exe")
run_windows(${quiet_uninstall})
stop_reader()
file(GLOB_RECURSE files_after ${dir}/*)
query_entry(after ${view})
if(rc EQUAL 0 OR NOT files_after STREQUAL files OR NOT after STREQUAL entry
   OR (EXPECT_WINDOW AND NOT EXISTS ${shortcut}))
  fail("the quiet uninstall while tavrin-convert.exe ran exited ${rc}, or changed the files, the entry or the shortcut")
endif()

# Then, while the window runs, it closes it and removes everything; the
# uninstaller deletes itself and the folder just after it has ended.
if(EXPECT_WINDOW AND DEFINED ENV{DISPLAY})
  execute_process(COMMAND sh -c [["$0" "$1" >/dev/null 2>&1 &]] ${WINE} "${win_bin}\\Tavrin.exe")
  wait_for("${win_bin}\\Tavrin.exe")
elseif(EXPECT_WINDOW)
  message(STATUS "No display: uninstalling while Tavrin runs not checked")
endif()
run_windows(${quiet_uninstall})
if(NOT rc EQUAL 0)
  fail("the quiet uninstall exited ${rc}")
endif()
foreach(attempt RANGE 40)
  if(NOT EXISTS ${dir})
    break()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.25)
endforeach()
query_entry(entry ${view})
if(EXISTS ${dir} OR EXISTS ${shortcut} OR NOT entry STREQUAL "")
  file(GLOB_RECURSE left ${dir}/*)
  fail("uninstalling left behind: ${left} ${shortcut}\n${entry}")
endif()
expect_notes_alone()
execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET)
