# Header-only libraries from Debian's packages, for a cross build.
#
# A library's own CMake package (or a plain -I/usr/include) would hand the
# cross compiler /usr/include, where glibc's headers shadow the target's own
# (MinGW-w64's). So a cross build takes a header-only library through a
# folder in the build tree that holds nothing but a link to the library's
# own folder (or header) under /usr/include:
#
#   tavrin_host_headers(TARGET NAME PACKAGE)
#
# defines the imported target TARGET (for example Boost::headers), whose
# include folder holds NAME -> /usr/include/NAME, and stops naming the
# Debian PACKAGE to install when /usr/include/NAME is missing. Imported
# targets' include folders are system folders, so the library's headers are
# held to no warnings of ours.
function(tavrin_host_headers target name package)
  set(_headers /usr/include/${name})
  if(NOT EXISTS ${_headers})
    message(FATAL_ERROR "${target}'s headers (${_headers}) are missing: apt-get install ${package}")
  endif()
  string(MAKE_C_IDENTIFIER "${target}" _folder)
  set(_dir ${PROJECT_BINARY_DIR}/host-headers/${_folder})
  file(MAKE_DIRECTORY ${_dir})
  file(CREATE_LINK ${_headers} ${_dir}/${name} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_dir})
endfunction()
