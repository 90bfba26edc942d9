# 64-bit Windows (x86-64) with Debian's MinGW-w64 compilers, posix thread
# model (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows-x86_64 --toolchain cmake/toolchains/mingw-w64-x86_64.cmake
# x86-64 does its double arithmetic in SSE2 already.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TAVRIN_MINGW_TRIPLE x86_64-w64-mingw32)

include(${CMAKE_CURRENT_LIST_DIR}/../windows-mingw-toolchain.cmake)
