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

# libstdc++, libgcc and winpthread linked in: a program imports only DLLs
# that every Windows has (tests/windows checks the import table).
add_link_options(-static)

# The header-only libraries, each through a folder that links only its own
# headers (cmake/host-headers.cmake), so /usr/include never reaches the
# cross compiler: CLI11 for tavrin-convert, Boost.Multiprecision for the
# audit's exact arithmetic.
include(${CMAKE_CURRENT_LIST_DIR}/host-headers.cmake)
tavrin_host_headers(CLI11::CLI11 CLI libcli11-dev)
tavrin_host_headers(Boost::headers boost libboost-dev)

# GoogleTest built from Debian's source package (googletest), for the tests.
if(TAVRIN_BUILD_TESTS)
  set(TAVRIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
  if(NOT EXISTS ${TAVRIN_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${TAVRIN_GOOGLETEST_SOURCE}: apt-get install googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest synchronises with Win32 primitives on Windows; this keeps its
  # CMake from also linking the POSIX threads library.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${TAVRIN_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(_gt gtest gtest_main)
    if(NOT TARGET GTest::${_gt})
      add_library(GTest::${_gt} ALIAS ${_gt})
    endif()
  endforeach()
endif()
