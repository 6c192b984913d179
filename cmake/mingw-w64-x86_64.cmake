# Cross-compiling the plug-ins as 64-bit Windows DLLs (.sph) with MinGW-w64,
# tested under 64-bit Wine.
set(KRT_MINGW_PROCESSOR x86_64)
set(KRT_WINE_OPTIONS --64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
