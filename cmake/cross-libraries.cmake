# What a cross build (Windows, the web) takes from Debian in place of the
# build machine's own packages: header-only libraries through include-only
# folders, and GoogleTest built from its sources.

# tavrin_system_headers(<target> FOLDERS <folder>... PACKAGE <package> [DEFINITIONS <definition>...])
#
# A header-only library of Debian's for a cross build (Windows, the web): an
# imported target whose include folder, in the build tree, holds links to
# only the named folders of /usr/include. /usr/include itself must never
# reach a cross compiler: the build machine's C library headers there would
# shadow the target's own.
function(tavrin_system_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PACKAGE" "FOLDERS;DEFINITIONS")
  string(MAKE_C_IDENTIFIER "${target}" id)
  set(dir ${PROJECT_BINARY_DIR}/system-headers/${id})
  file(MAKE_DIRECTORY ${dir})
  foreach(folder IN LISTS arg_FOLDERS)
    if(NOT IS_DIRECTORY /usr/include/${folder})
      message(FATAL_ERROR "/usr/include/${folder} is missing: apt-get install ${arg_PACKAGE}")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${dir}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${dir}
    INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}")
endfunction()

# tavrin_cross_header_libraries(): the header-only libraries every cross
# build takes from Debian, under the targets their own CMake packages give a
# Linux build: CLI11 for tavrin-convert, Boost.Multiprecision for the audit's
# exact arithmetic, fast_float and {fmt} for number text.
function(tavrin_cross_header_libraries)
  tavrin_system_headers(CLI11::CLI11 FOLDERS CLI PACKAGE libcli11-dev)
  tavrin_system_headers(Boost::headers FOLDERS boost PACKAGE libboost-dev)
  tavrin_system_headers(fmt::fmt-header-only FOLDERS fmt PACKAGE libfmt-dev
                        DEFINITIONS FMT_HEADER_ONLY=1)
  tavrin_system_headers(FastFloat::fast_float FOLDERS fast_float PACKAGE libfast-float-dev)
endfunction()

# tavrin_googletest_from_source(): GoogleTest and its main, built with the
# cross compiler from Debian's source package (googletest), as GTest::gtest
# and GTest::gtest_main.
function(tavrin_googletest_from_source)
  set(TAVRIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
  if(NOT EXISTS ${TAVRIN_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${TAVRIN_GOOGLETEST_SOURCE}: apt-get install googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # GoogleTest synchronises with Win32 primitives on Windows and needs no
  # threads on the web; this keeps its CMake from linking the POSIX threads
  # library.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${TAVRIN_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(gt gtest gtest_main)
    if(NOT TARGET GTest::${gt})
      add_library(GTest::${gt} ALIAS ${gt})
    endif()
  endforeach()
endfunction()
