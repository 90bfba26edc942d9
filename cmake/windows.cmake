# Building Tavrin for Windows with MinGW-w64 (cmake/toolchains/), included by
# the root CMakeLists.txt before any target when CMAKE_SYSTEM_NAME is Windows.
# The programs must run from a bare folder on any Windows, so they carry their
# C++ runtime inside; the libraries a Linux build finds as packages (CLI11,
# GoogleTest) come from Debian's sources of them instead.

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

# CLI11 is header-only. Its package config names /usr/include, which must not
# reach the cross compiler (glibc's headers would shadow MinGW-w64's), so the
# target points at a folder holding only a link to /usr/include/CLI.
find_path(TAVRIN_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TAVRIN_CLI11_INCLUDE)
  message(FATAL_ERROR "CLI11's headers are missing: apt-get install libcli11-dev")
endif()
set(_cli11_dir ${PROJECT_BINARY_DIR}/windows/cli11-include)
file(MAKE_DIRECTORY ${_cli11_dir})
file(CREATE_LINK ${TAVRIN_CLI11_INCLUDE}/CLI ${_cli11_dir}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_cli11_dir})

# GoogleTest built from Debian's source package (googletest), for the tests.
if(TAVRIN_BUILD_TESTS)
  tavrin_googletest_from_source()
endif()
