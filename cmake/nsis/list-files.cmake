# Run by cpack after it has staged the install rules' files
# (CPACK_PRE_BUILD_SCRIPTS, set in windows-installer.cmake): writes
# tavrin-files.nsh beside the staging folder, the list of exactly what the
# installer carries, which NSIS.template.in includes. The installer writes
# these files one by one, and the uninstaller checks and removes these and
# nothing else, so a user's own file in the same folder is never touched.
# Sorted, so two builds pack the files in one order (a folder's listing
# order is the file system's).
if(NOT CPACK_GENERATOR STREQUAL "NSIS")
  return()
endif()

file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE ${CPACK_TEMPORARY_DIRECTORY}
     ${CPACK_TEMPORARY_DIRECTORY}/*)
list(SORT _files)
set(_file_lines "")
set(_folders "")
foreach(_file IN LISTS _files)
  get_filename_component(_folder ${_file} DIRECTORY)
  get_filename_component(_name ${_file} NAME)
  # Folders as NSIS writes them after $INSTDIR: "" or "\bin".
  if(_folder)
    string(REPLACE "/" "\\" _folder "\\${_folder}")
    list(APPEND _folders ${_folder})
  endif()
  string(APPEND _file_lines "  !insertmacro `\${ACTION}` \"${_folder}\" \"${_name}\"\n")
endforeach()

# Each folder and the folders above it, deepest first, for removing them
# in that order once they are empty.
set(_all_folders "")
foreach(_folder IN LISTS _folders)
  while(_folder)
    list(APPEND _all_folders ${_folder})
    string(REGEX REPLACE "\\\\[^\\\\]*$" "" _folder "${_folder}")
  endwhile()
endforeach()
list(REMOVE_DUPLICATES _all_folders)
list(SORT _all_folders ORDER DESCENDING)
set(_folder_lines "")
foreach(_folder IN LISTS _all_folders)
  string(APPEND _folder_lines "  !insertmacro `\${ACTION}` \"${_folder}\"\n")
endforeach()

file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/tavrin-files.nsh
"; Written by cmake/nsis/list-files.cmake from what cpack staged.
; ACTION FOLDER NAME for each file, FOLDER being \"\" or \"\\sub\\folder\".
!macro TAVRIN_FOR_EACH_FILE ACTION
${_file_lines}!macroend
; ACTION FOLDER for each folder below the install folder, deepest first.
!macro TAVRIN_FOR_EACH_FOLDER ACTION
${_folder_lines}!macroend
")
