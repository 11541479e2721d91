# The Windows program: a windowed program (no console of its own), installed
# with the Qt and MinGW run-time DLLs and plugins it loads. scripts/windows
# package turns the installed tree into the MSI (dist/windows/zel-purchasing.wxs).
set_target_properties(zel-purchasing PROPERTIES WIN32_EXECUTABLE ON)

# The DLLs and plugins of Qt for Windows (the toolchain file names its folder).
set(ZEL_QT_BIN_DIR ${ZEL_QT_WINDOWS}/bin)
set(ZEL_QT_PLUGIN_DIR ${ZEL_QT_WINDOWS}/plugins)

set(ZEL_WINDOWS_DLLS)
foreach(m Core Gui Widgets Sql PrintSupport Network)
  list(APPEND ZEL_WINDOWS_DLLS "${ZEL_QT_BIN_DIR}/Qt6${m}.dll")
endforeach()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  find_file(_zel_${dll} ${dll} PATHS ${ZEL_MINGW_RUNTIME_DIRS} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT _zel_${dll})
    message(FATAL_ERROR "${dll} not found in ${ZEL_MINGW_RUNTIME_DIRS}")
  endif()
  list(APPEND ZEL_WINDOWS_DLLS "${_zel_${dll}}")
endforeach()
# The plugins the program loads: the Windows platform, its style, the ODBC
# driver, and the image formats of the icon.
set(ZEL_WINDOWS_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlodbc.dll
    imageformats/qico.dll)

install(TARGETS zel-purchasing RUNTIME DESTINATION .)
install(FILES ${ZEL_WINDOWS_DLLS} DESTINATION .)
foreach(p ${ZEL_WINDOWS_PLUGINS})
  get_filename_component(_zel_dir ${p} DIRECTORY)
  install(FILES "${ZEL_QT_PLUGIN_DIR}/${p}" DESTINATION ${_zel_dir})
endforeach()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qt.conf DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/db/schema.sql ${PROJECT_SOURCE_DIR}/db/grants.sql DESTINATION .)
