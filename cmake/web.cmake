# Building Tavrin for the web with Debian's emscripten, included by the root
# CMakeLists.txt before any target when the toolchain is emscripten's:
#   emcmake cmake -S . -B build-web && cmake --build build-web
# (Debian 12's emscripten needs NODE_PATH=/usr/share/nodejs.) The programs
# become JavaScript with their WebAssembly inside: tavrin-convert and the
# test programs run under node (CMAKE_CROSSCOMPILING_EMULATOR, which
# emscripten's toolchain sets to node), the page (ui/web/) in a browser.

if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "The web build is made with emscripten: emcmake cmake -S . -B build-web")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/cross-libraries.cmake)

# Debian 12's emscripten runs its JavaScript tools with node and finds their
# modules (acorn) only through NODE_PATH: the build sets it for each link, so
# a plain `cmake --build build-web` works.
if(IS_DIRECTORY /usr/share/nodejs/acorn)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()

# Debian 12's emcmake hands node --experimental-wasm-threads, which node 20
# refuses (and nothing here uses threads).
if("--experimental-wasm-threads" IN_LIST CMAKE_CROSSCOMPILING_EMULATOR)
  list(REMOVE_ITEM CMAKE_CROSSCOMPILING_EMULATOR --experimental-wasm-threads)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}" CACHE FILEPATH
      "Runs the programs the build makes (node)" FORCE)
endif()

# The arithmetic fault is a C++ exception that the command line and the page
# catch; emscripten compiles catching out unless asked.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The WebAssembly goes inside the .js as base64, so nothing is fetched at
# start: node 20 cannot fetch a file path, and Chromium refuses to fetch from
# a page opened from disk (file://).
add_link_options(-sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)

# A program run under node (tavrin-convert, the tests, the build's own
# helpers) sees the machine's files and standard streams as a Linux program
# does (NODERAWFS) and leaves with main's status (EXIT_RUNTIME). It starts
# with 2 MiB of memory, 1 MiB of it stack, and grows its heap from there, so
# a cap on its memory (tests/support/run_program_node.cpp) caps the heap
# much as a data limit does on Linux. The page's module sets the target
# property TAVRIN_WEB_PAGE and takes none of this.
set(_node_program "$<NOT:$<BOOL:$<TARGET_PROPERTY:TAVRIN_WEB_PAGE>>>")
foreach(_option -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=node -sTOTAL_STACK=1MB -sINITIAL_MEMORY=2MB)
  add_link_options("$<${_node_program}:${_option}>")
endforeach()

# The header-only libraries: Debian's headers of them, and nothing else of
# /usr/include (cmake/cross-libraries.cmake).
tavrin_cross_header_libraries()

if(TAVRIN_BUILD_TESTS)
  tavrin_googletest_from_source()
endif()
