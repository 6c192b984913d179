# What krt and the plug-ins ship as.
#
# Natively, `cmake --install` puts krt in <prefix>/bin and the plug-ins with
# the platform stand-in in a private folder, <prefix>/lib/krt, where krt
# finds them (and the loader finds the stand-in) through paths relative to
# the files themselves.
#
# For Windows, `cmake --build --preset windows --target package` makes
# krt-<version>-windows.zip: the two 32-bit plug-ins (.spi) and krt.exe
# exactly as the Windows suite tested them, the two 64-bit plug-ins (.sph)
# exactly as the windows64 suite tested them (build that preset first), a
# README.txt for Windows users and the licence. Each program carries a
# version resource and, in release builds, no debug information.

if(NOT WIN32)
  set_target_properties(krt PROPERTIES INSTALL_RPATH "$ORIGIN/${KRT_PLUGINS_FROM_PROGRAM}")
  install(TARGETS krt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS IFKRT AXKRT krtplatform LIBRARY DESTINATION ${KRT_INSTALL_PLUGIN_DIR})
  return()
endif()

# The release builds link the plug-ins and krt.exe without debug
# information (the static C++ run time brings its own), so the files the
# suites load are the files that ship. IFKRT keeps its symbol table, which
# the vector code check names functions by; the others lose theirs too.
target_link_options(IFKRT PRIVATE $<$<CONFIG:Release>:-Wl,--strip-debug>)
target_link_options(AXKRT PRIVATE $<$<CONFIG:Release>:-s>)
target_link_options(krt PRIVATE $<$<CONFIG:Release>:-s>)

# A version resource for `target`: file and product version, product name
# and what the file is, shown in its properties.
function(krt_add_version_resource target description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(krt_file_type VFT_APP)
  else()
    set(krt_file_type VFT_DLL)
  endif()
  set(krt_target ${target})
  set(krt_description "${description}")
  # First the project's values, then the file's name as the build makes it.
  set(configured ${CMAKE_BINARY_DIR}/version-resources/${target}.rc.in)
  set(resource ${CMAKE_BINARY_DIR}/version-resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${configured} @ONLY)
  file(GENERATE OUTPUT ${resource} INPUT ${configured})
  set_source_files_properties(${resource} PROPERTIES GENERATED TRUE)
  target_sources(${target} PRIVATE ${resource})
endfunction()

krt_add_version_resource(IFKRT "Screen file image plug-in (*.2D, *.S2D)")
krt_add_version_resource(AXKRT "Screen pack archive plug-in (*.BIN)")
krt_add_version_resource(krt "krt, command-line host for the screen plug-ins")

# The package is made by the 32-bit build, which takes the .sph files from
# the 64-bit one.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()
set(KRT_SPH_DIR ${PROJECT_SOURCE_DIR}/build/windows64/bin
    CACHE PATH "Where the windows64 build left IFKRT.sph and AXKRT.sph, for the package")

# The text files with Windows line ends; README.txt names the version.
set(windows_texts ${CMAKE_BINARY_DIR}/package-texts)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${windows_texts}/README.txt
               @ONLY NEWLINE_STYLE WIN32)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${windows_texts}/LICENSE @ONLY NEWLINE_STYLE WIN32)

install(PROGRAMS $<TARGET_FILE:IFKRT> $<TARGET_FILE:AXKRT> $<TARGET_FILE:krt>
                 ${KRT_SPH_DIR}/IFKRT.sph ${KRT_SPH_DIR}/AXKRT.sph DESTINATION .)
install(FILES ${windows_texts}/README.txt ${windows_texts}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME krt)
set(CPACK_PACKAGE_VENDOR "the KRT authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME krt-${PROJECT_VERSION}-windows)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
include(CPack)
