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
