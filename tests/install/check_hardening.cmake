# cmake -DHARDENING_CHECK=... -DREADELF=... -DCXX=... -DX86=ON|OFF
#       -DPROGRAMS=a,b -DLIBRARIES=x.a,y.a -DPROBE=probe -P check_hardening.cmake
# Reads the hardening of the built programs back with Debian's
# hardening-check: PIE, stack protector, RELRO, immediate binding, CET. What
# it cannot see in them is read where it can be:
# - Fortify and stack-clash probes show only where the compiler used them: a
#   copy of unknown length into a buffer of known size, a frame sized at run
#   time. Tavrin's code hardly makes either (it copies into std::string and
#   std::vector), so PROBE, a program built with the same flags, must show both.
# - CET: the linker marks a program only when every object linked into it is
#   marked, and the C library's start files (Scrt1.o, crti.o, crtn.o) of
#   Debian 12 and 13 are not; there the marks are read from Tavrin's own
#   objects (LIBRARIES) instead.
# Debian 13's hardening-check also wants arm64's branch protection of every
# program, and CET of an arm64 one; each architecture is held to its own.
cmake_policy(VERSION 3.25)
if(NOT HARDENING_CHECK)
  message(FATAL_ERROR "hardening-check is missing (Debian package devscripts): nothing reads the hardening back")
endif()
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
string(REPLACE "," ";" LIBRARIES "${LIBRARIES}")
set(skip "")
execute_process(COMMAND ${HARDENING_CHECK} --help OUTPUT_VARIABLE help ERROR_VARIABLE help)
if(X86 AND help MATCHES "--nobranchprotection")
  list(APPEND skip --nobranchprotection)
endif()

if(NOT X86)
  list(APPEND skip --nocfprotection)
else()
  set(marked ON)
  foreach(start Scrt1.o crti.o crtn.o)
    execute_process(COMMAND ${CXX} -print-file-name=${start} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${READELF} -n ${path} OUTPUT_VARIABLE notes)
    if(NOT notes MATCHES "x86 feature: IBT, SHSTK")
      set(marked OFF)
      message(STATUS "${path} carries no CET marks: the programs cannot, their objects must")
    endif()
  endforeach()
  if(NOT marked)
    list(APPEND skip --nocfprotection)
    foreach(library IN LISTS LIBRARIES)
      execute_process(COMMAND ${READELF} -n ${library} OUTPUT_VARIABLE notes)
      string(REGEX MATCHALL "\nFile: [^\n]+" objects "${notes}")
      string(REGEX MATCHALL "x86 feature: IBT, SHSTK" marks "${notes}")
      list(LENGTH objects n_objects)
      list(LENGTH marks n_marks)
      if(n_objects EQUAL 0 OR NOT n_marks EQUAL n_objects)
        message(FATAL_ERROR "${library}: ${n_marks} of ${n_objects} objects carry CET marks")
      endif()
    endforeach()
  endif()
endif()

function(hardening_check)
  execute_process(COMMAND ${HARDENING_CHECK} ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
  string(JOIN " " command ${ARGV})
  message(STATUS "hardening-check ${command}:\n${report}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "hardening-check finds a property missing")
  endif()
  set(report "${report}" PARENT_SCOPE)
endfunction()

hardening_check(${skip} ${PROBE})
if(NOT report MATCHES "Fortify Source functions: yes" OR NOT report MATCHES "Stack clash protection: yes")
  message(FATAL_ERROR "the build's flags neither fortify libc calls nor probe the stack")
endif()
hardening_check(${skip} --nofortify ${PROGRAMS})
