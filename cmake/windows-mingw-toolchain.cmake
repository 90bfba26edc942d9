# What both MinGW-w64 toolchain files share; they set CMAKE_SYSTEM_NAME,
# CMAKE_SYSTEM_PROCESSOR and TAVRIN_MINGW_TRIPLE first.

# The posix thread model: std::thread and std::mutex with winpthread.
set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLE}-windres)
# objdump reads the import table (tests/windows).
find_program(TAVRIN_OBJDUMP ${TAVRIN_MINGW_TRIPLE}-objdump)

# Headers and libraries from the MinGW-w64 tree only; programs (the
# generators, wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run where they were built: ctest starts every test program with wine
# (a wine32 with wine64 on Debian starts both kinds of .exe).
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TAVRIN_WINE wine)
  if(TAVRIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVRIN_WINE})
  endif()
endif()
