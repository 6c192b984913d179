# Cross-compiling the plug-ins as 32-bit Windows DLLs with MinGW-w64.
set(KRT_MINGW_PROCESSOR i686)
set(KRT_WINE_OPTIONS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
