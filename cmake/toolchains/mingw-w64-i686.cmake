# 32-bit Windows (i686) with Debian's MinGW-w64 compilers, posix thread model
# (g++-mingw-w64-i686-posix):
#   cmake -S . -B build-windows-i686 --toolchain cmake/toolchains/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TAVRIN_MINGW_TRIPLE i686-w64-mingw32)

# Doubles in SSE2 registers, never on the x87 stack. The x87 unit keeps every
# intermediate in an 80-bit register and rounds to 64 bits only when a value
# is stored, so an affine rule such as ((F - 32) * 5) / 9 can come out one
# bit away from the same rule on x86-64, and a product beyond DBL_MAX (1e308
# Degrees Fahrenheit, times 5) stays finite in the register, so the overflow
# is never seen. An x87 build of tavrin-convert, run on the 474 rules at 16
# inputs each, gave 16 of the 7584 results differently from the Linux build,
# 6 of them a number where the Linux build reports the overflow. -msse2
# -mfpmath=sse rounds each operation to a double, as every 64-bit build does
# (tests/windows checks three of those cases); the program then needs an
# SSE2 CPU (Pentium 4, Athlon 64 or later). -ffp-contract=off (root
# CMakeLists.txt) keeps a * b + c two roundings.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/../windows-mingw-toolchain.cmake)
