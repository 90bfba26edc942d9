# cmake -DHARDENING_CHECK=... -DREADELF=... -DNM=... -DCXX=... -DX86=ON|OFF
#       -DPROGRAMS=a,b -DLIBRARIES=x.a,y.a -DPROBE=probe.o -P check_hardening.cmake
# Reads the hardening of the built programs back with Debian's
# hardening-check: PIE, stack protector, RELRO, immediate binding, stack-clash
# probes, CET. Two properties it cannot always see are checked where they are:
# - CET: the linker marks a program only when every object linked into it is
#   marked, and Debian 12's C library start files (Scrt1.o, crti.o, crtn.o)
#   are not; there the marks are read from Tavrin's own objects instead.
# - Fortify: hardening-check looks for the checked libc calls, which the
#   compiler only uses for a copy into a buffer of known size that it cannot
#   prove safe. Neither program makes one (they copy into std::string and
#   std::vector), so the probe, built with the same flags, shows the checks on.
cmake_policy(VERSION 3.25)
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
string(REPLACE "," ";" LIBRARIES "${LIBRARIES}")
set(skip --nofortify)

execute_process(COMMAND ${NM} ${PROBE} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT symbols MATCHES "__memcpy_chk")
  message(FATAL_ERROR "the build's flags do not fortify libc calls: ${PROBE} has no __memcpy_chk\n${symbols}")
endif()

if(NOT X86)
  list(APPEND skip --nocfprotection)  # CET is x86's
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

execute_process(COMMAND ${HARDENING_CHECK} ${skip} ${PROGRAMS}
                RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
string(JOIN " " options ${skip})
message(STATUS "hardening-check ${options}:\n${report}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "hardening-check finds a property missing")
endif()
# It calls stack-clash probes unknown, not missing, in a program with no
# frame large enough to need them; tavrin-convert has such frames.
if(NOT report MATCHES "Stack clash protection: yes")
  message(FATAL_ERROR "no program has stack-clash probes")
endif()
