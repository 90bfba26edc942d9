# cmake -DOBJDUMP=... -DPROGRAM=x.exe [-DHARDENED=ON] -P check_imports.cmake
# Lists the DLLs PROGRAM imports and fails on any that a bare Windows does
# not have: the C++ runtime (libstdc++-6, libgcc_s_*, libwinpthread-1) must
# be linked in, or the program would not start from a zip on another machine.
# HARDENED: the header asks Windows for ASLR (high-entropy on x86-64), DEP
# and no terminal-server shims, a 32-bit program is large-address aware, and
# the stack protector is linked in (cmake/windows.cmake).
cmake_policy(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed (${rc})")
endif()

if(HARDENED)
  string(REGEX MATCH "\nDllCharacteristics[^\n]*(\n\t[^\n]*)*" dll_flags "${dump}")
  string(REGEX MATCH "\nCharacteristics[^\n]*(\n\t[^\n]*)*" file_flags "${dump}")
  set(wanted DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
  if(dump MATCHES "\nMagic[ \t]+020b")  # PE32+, a 64-bit program
    list(APPEND wanted HIGH_ENTROPY_VA)
  elseif(NOT file_flags MATCHES "large address aware")
    message(FATAL_ERROR "${PROGRAM} is not large-address aware:${file_flags}")
  endif()
  foreach(flag IN LISTS wanted)
    if(NOT "${dll_flags}\n" MATCHES "\t${flag}\n")
      message(FATAL_ERROR "${PROGRAM} lacks ${flag}:${dll_flags}")
    endif()
  endforeach()
  execute_process(COMMAND ${OBJDUMP} -t ${PROGRAM} OUTPUT_VARIABLE symbols)
  if(NOT symbols MATCHES "__stack_chk_fail\n" OR NOT symbols MATCHES "__stack_chk_guard\n")
    message(FATAL_ERROR "${PROGRAM} has no stack protector (__stack_chk_fail, __stack_chk_guard)")
  endif()
  message(STATUS "${PROGRAM}:${dll_flags}${file_flags}\nand a stack protector")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${PROGRAM}: no import table found")
endif()

# Windows' own DLLs, present since Windows 7: the kernel and window system,
# the C runtime (msvcrt, or the Universal CRT's api-ms-win-crt-* forwarders),
# and the shell, common-controls and accessibility libraries a window may use.
set(system_dlls kernel32 user32 gdi32 advapi32 shell32 shlwapi ole32 oleaut32 comctl32
    comdlg32 msvcrt ucrtbase uxtheme dwmapi version winmm ws2_32 bcrypt imm32 ntdll oleacc)
set(foreign "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  message(STATUS "${PROGRAM} imports ${dll}")
  if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
    list(APPEND foreign ${dll})
  endif()
endforeach()
if(foreign)
  message(FATAL_ERROR "${PROGRAM} needs DLLs that Windows does not have: ${foreign}")
endif()
