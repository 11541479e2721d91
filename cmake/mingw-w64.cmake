# Cross-builds the program for 64-bit Windows with Debian's MinGW-w64 compiler
# (POSIX threads) against a Qt built for Windows with that compiler.
#
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DZEL_QT_WINDOWS=/path/to/qt-6.4.2-mingw-w64
#
# scripts/windows does this, and unpacks the shared Qt when it is missing.
# Debian's Linux Qt tools of the same version (moc, rcc, uic) are the host tools.

if(NOT ZEL_QT_WINDOWS)
  set(ZEL_QT_WINDOWS "$ENV{ZEL_QT_WINDOWS}")
endif()
if(NOT ZEL_QT_WINDOWS OR NOT EXISTS "${ZEL_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")
  message(FATAL_ERROR "ZEL_QT_WINDOWS must name the folder of Qt for Windows (qt-6.4.2-mingw-w64); "
                      "got '${ZEL_QT_WINDOWS}'")
endif()
# Try-compiles see the same setting.
set(ZEL_QT_WINDOWS "${ZEL_QT_WINDOWS}" CACHE PATH "Qt for Windows (MinGW-w64)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZEL_QT_WINDOWS)

set(QT_HOST_PATH /usr CACHE PATH "Qt host tools (Debian's qt6-base-dev-tools)")
# Qt's own toolchain file sets the compilers (x86_64-w64-mingw32-g++-posix),
# the system name and the search roots for its relocated install.
include("${ZEL_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")

# Where a Windows program finds the compiler's run-time DLLs.
set(ZEL_MINGW_RUNTIME_DIRS
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix
    /usr/x86_64-w64-mingw32/lib
    CACHE STRING "Folders holding libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll")
