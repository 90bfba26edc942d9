# 32-bit Windows (i686) with Debian's MinGW-w64 compilers, posix thread model
# (g++-mingw-w64-i686-posix):
#   cmake -S . -B build-windows-i686 --toolchain cmake/toolchains/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TAVRIN_MINGW_TRIPLE i686-w64-mingw32)

# Doubles in SSE2 registers, never on the x87 stack. The x87 unit keeps every
# intermediate in an 80-bit register and rounds to 64 bits only when a value
# is stored, so an affine rule such as (F - 32) * 5 / 9 can come out one bit
# away from the same rule on x86-64, and a product beyond DBL_MAX can stay
# finite in the register instead of overflowing. Built that way, 7 of the
# 6636 rule cells checked bit for bit gave another double. -mfpmath=sse with
# -msse2 rounds each operation to a double, as on every 64-bit build; the
# cost is that the program needs a CPU from 2001 or later (Pentium 4, Athlon 64).
# -ffp-contract=off (root CMakeLists.txt) keeps a * b + c two roundings.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/../windows-mingw-toolchain.cmake)
