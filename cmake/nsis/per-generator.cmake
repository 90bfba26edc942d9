# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the installer
# is tavrin-<version>-<arch>-setup.exe beside the tavrin-<version>-<arch> archives.
if(CPACK_GENERATOR STREQUAL "NSIS")
  string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
