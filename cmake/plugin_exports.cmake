# The export table of a plug-in DLL, written as a module-definition file:
# each export by its plain name, at ordinals 1, 2, ... in the order given.
# 32-bit __stdcall symbols carry their argument bytes ("GetFile@24"), which
# the table maps to the plain name hosts ask for; 64-bit symbols are plain.
# The library name is the file's, so the .spi/.sph suffix must be set first.
#
# krt_plugin_exports(TARGET NAME ARGUMENT_BYTES [NAME ARGUMENT_BYTES ...])
# The names are also kept in the target's KRT_EXPORT_NAMES property, for
# builds that link both plug-ins into one module and must tell their exports
# apart.
function(krt_plugin_exports target)
  set(names)
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs name bytes)
    list(APPEND names ${name})
  endwhile()
  set_property(TARGET ${target} PROPERTY KRT_EXPORT_NAMES ${names})
  if(NOT WIN32)
    return()
  endif()
  get_target_property(output_name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  set(text "LIBRARY ${output_name}${suffix}\nEXPORTS\n")
  set(ordinal 1)
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs name bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "  ${name} = ${name}@${bytes} @${ordinal}\n")
    else()
      string(APPEND text "  ${name} @${ordinal}\n")
    endif()
    math(EXPR ordinal "${ordinal} + 1")
  endwhile()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(CONFIGURE OUTPUT ${def} CONTENT "${text}" @ONLY)
  target_sources(${target} PRIVATE ${def})
endfunction()
