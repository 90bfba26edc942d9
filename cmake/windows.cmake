# Building Tavrin for Windows with MinGW-w64 (cmake/toolchains/), included by
# the root CMakeLists.txt before any target when CMAKE_SYSTEM_NAME is Windows.
# The programs must run from a bare folder on any Windows, so they carry their
# C++ runtime inside; the libraries a Linux build finds as packages (CLI11,
# Boost, GoogleTest) come from Debian's headers and sources of them instead.

if(NOT MINGW)
  message(FATAL_ERROR "The Windows build is made with MinGW-w64: --toolchain cmake/toolchains/mingw-w64-i686.cmake (or -x86_64)")
endif()

# The portable zip holds the programs at the top of its folder, beside the
# README, so the install rules put them there, not in bin/.
set(CMAKE_INSTALL_BINDIR .)

# The programs' manifests (and a window's icon and version record) are
# resources.
enable_language(RC)

include(${CMAKE_CURRENT_LIST_DIR}/cross-libraries.cmake)

# libstdc++, libgcc and winpthread linked in: a program imports only DLLs
# that every Windows has (tests/windows checks the import table).
add_link_options(-static)

# What Windows itself enforces, when the program's header asks for it: load
# at a random address (with the whole 64-bit range on x86-64), no code run
# from data pages, and no compatibility shims for terminal-server sessions.
# A 32-bit program may use up to 4 GiB on a 64-bit Windows. Recent binutils
# set some of these by default; naming them keeps them whatever the linker.
# The stack protector is the root CMakeLists.txt's; with -static its runtime
# comes from libssp.a. tests/windows reads all of them back.
if(TAVRIN_HARDEN)
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  else()
    add_link_options(-Wl,--large-address-aware)
  endif()
endif()

# The header-only libraries: Debian's headers of them, and nothing else of
# /usr/include (cmake/cross-libraries.cmake).
tavrin_cross_header_libraries()

# GoogleTest built from Debian's source package (googletest), for the tests.
if(TAVRIN_BUILD_TESTS)
  tavrin_googletest_from_source()
endif()
