# The export table of a plug-in DLL, written as a module-definition file:
# each export by its plain name, at ordinals 1, 2, ... in the order of the
# plug-in's list in common/export_list.h, the one list of the exports.
# 32-bit __stdcall symbols carry their argument bytes ("GetFile@24"), which
# the table maps to the plain name hosts ask for; 64-bit symbols are plain.
# The library name is the file's, so the .spi/.sph suffix must be set first.
#
# krt_plugin_exports(TARGET): TARGET names the list (KRT_EXPORTS_<TARGET>).
# The names are also kept in the target's KRT_EXPORT_NAMES property, for
# builds that link both plug-ins into one module and must tell their exports
# apart.
set(KRT_EXPORT_LIST ${CMAKE_CURRENT_LIST_DIR}/../common/export_list.h)
cmake_path(NORMAL_PATH KRT_EXPORT_LIST)

function(krt_plugin_exports target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KRT_EXPORT_LIST})
  # The rows end in the macros' line continuations, which a CMake list would
  # take for escapes: they go first.
  file(READ ${KRT_EXPORT_LIST} text)
  string(REPLACE "\\" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(list_name)
  set(names)
  set(bytes)
  foreach(line IN LISTS lines)
    if(line MATCHES "^#define KRT_EXPORTS_([A-Za-z0-9_]+)\\(X\\)")
      set(list_name ${CMAKE_MATCH_1})
    elseif(list_name STREQUAL target AND
           line MATCHES "^ *X\\(([A-Za-z0-9_]+), [A-Za-z0-9_]+, [A-Za-z0-9_]+, ([0-9]+), [A-Za-z]+\\)")
      list(APPEND names ${CMAKE_MATCH_1})
      list(APPEND bytes ${CMAKE_MATCH_2})
    endif()
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "${KRT_EXPORT_LIST} has no export list KRT_EXPORTS_${target}")
  endif()
  set_property(TARGET ${target} PROPERTY KRT_EXPORT_NAMES ${names})
  if(NOT WIN32)
    return()
  endif()
  get_target_property(output_name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  set(text "LIBRARY ${output_name}${suffix}\nEXPORTS\n")
  set(ordinal 1)
  foreach(name argument_bytes IN ZIP_LISTS names bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "  ${name} = ${name}@${argument_bytes} @${ordinal}\n")
    else()
      string(APPEND text "  ${name} @${ordinal}\n")
    endif()
    math(EXPR ordinal "${ordinal} + 1")
  endforeach()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(CONFIGURE OUTPUT ${def} CONTENT "${text}" @ONLY)
  target_sources(${target} PRIVATE ${def})
endfunction()
