# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the installer
# is tavrin-<version>-<arch>-setup.exe beside the tavrin-<version>-<arch> archives.
if(CPACK_GENERATOR STREQUAL "NSIS")
  string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
  # The installer unpacks into the install folder itself; only the zip has a
  # top folder.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
