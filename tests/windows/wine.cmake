# The Windows test binaries run under Wine: each through wine-run, which
# finds the Qt and MinGW DLLs, limits time and memory, and uses the build's
# own Wine prefix. The database is reached through ODBC: Wine hands the
# Windows ODBC calls to the machine's unixODBC and the MariaDB ODBC driver.
set(ZEL_TEST_QPA windows)
if(NOT ZEL_TEST_ODBC_DRIVER)
  set(ZEL_TEST_ODBC_DRIVER /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so CACHE FILEPATH "" FORCE)
endif()
get_target_property(_zel_core Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _zel_core)
  get_target_property(_zel_core Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(ZEL_QT_WINDOWS_BIN "${_zel_core}" DIRECTORY)
get_filename_component(ZEL_QT_WINDOWS_PLUGINS "${ZEL_QT_WINDOWS_BIN}/../plugins" ABSOLUTE)
set(ZEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
