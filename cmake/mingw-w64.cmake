# What both Windows toolchains share: the caller sets KRT_MINGW_PROCESSOR
# (i686 or x86_64) and KRT_WINE_OPTIONS (the options tools/wine-run needs
# for that width) before including this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KRT_MINGW_PROCESSOR})
set(krt_mingw_triplet ${KRT_MINGW_PROCESSOR}-w64-mingw32)

# The POSIX thread model gives the C++ library std::mutex, which GoogleTest
# needs; everything is linked statically, so no thread DLL is imported.
set(CMAKE_C_COMPILER ${krt_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${krt_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${krt_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${krt_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine, in a prefix kept inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run;${KRT_WINE_OPTIONS};${CMAKE_BINARY_DIR}/wine-prefix)
