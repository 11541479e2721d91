# The Windows test binaries run under Wine: each through wine-run, which
# finds the Qt and MinGW DLLs, limits time and memory, and uses the build's
# own Wine prefix. The database is reached through ODBC: Wine hands the
# Windows ODBC calls to the machine's unixODBC and the MariaDB ODBC driver.
set(ZEL_TEST_QPA windows)
if(NOT ZEL_TEST_ODBC_DRIVER)
  set(ZEL_TEST_ODBC_DRIVER /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so CACHE FILEPATH "" FORCE)
endif()
set(ZEL_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${PROJECT_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run)
