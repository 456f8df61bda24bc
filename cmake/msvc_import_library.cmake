# An import library for Visual C++ callers (NAME.lib), made with llvm-dlltool
# from a DLL's export list, beside the mingw-w64 one.
#
#   ssikovo_msvc_import_library(TARGET dll_target DEF export_list.def
#                               OUTPUT path/NAME.lib)
#
# The export list is a module-definition file whose EXPORTS lines read
# "exported_name [= internal_name] [@ordinal]". On 32-bit x86 a standard-call
# function "F" with n bytes of arguments is exported as "_F@n"; a Visual C++
# caller refers to that same symbol, "_F@n", and must import the name "_F@n".
# For a listed name "_F@n" llvm-dlltool makes the symbol "__F@n" importing
# "_F@n" (it adds the C underscore to the symbol and drops it from the import
# name), so each such export is listed as it stands and the caller's symbol
# is made an alias of it ("F@n == _F@n" names the symbol "_F@n"). On other
# machines the names are taken as they stand.
function(ssikovo_msvc_import_library)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "TARGET;DEF;OUTPUT" "")
  find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(machine i386:x86-64)
  else()
    set(machine i386)
  endif()

  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_DEF})
  file(STRINGS ${ARG_DEF} lines)
  set(exports FALSE)
  set(text "; Made from ${ARG_DEF} for llvm-dlltool\n")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ";.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    elseif(line MATCHES "^LIBRARY")
      string(APPEND text "${line}\n")
    elseif(line STREQUAL "EXPORTS")
      set(exports TRUE)
      string(APPEND text "EXPORTS\n")
    elseif(exports AND line MATCHES "^([^ =@]+(@[0-9]+)?)( *= *[^ ]+)?( +@[0-9]+)?")
      set(name ${CMAKE_MATCH_1})
      set(ordinal "${CMAKE_MATCH_4}")
      if(machine STREQUAL "i386" AND name MATCHES "^_([^@]+@[0-9]+)$")
        string(APPEND text "  ${name}${ordinal}\n  ${CMAKE_MATCH_1} == ${name}\n")
      else()
        string(APPEND text "  ${name}${ordinal}\n")
      endif()
    endif()
  endforeach()
  get_filename_component(base ${ARG_OUTPUT} NAME_WE)
  get_filename_component(directory ${ARG_OUTPUT} DIRECTORY)
  set(generated ${directory}/${base}-msvc.def)
  file(WRITE ${generated} "${text}")

  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${LLVM_DLLTOOL} -m ${machine} -d ${generated} -l ${ARG_OUTPUT}
    DEPENDS ${generated}
    COMMENT "Visual C++ import library ${base}.lib")
  add_custom_target(${ARG_TARGET}_msvc_import ALL DEPENDS ${ARG_OUTPUT} ${ARG_TARGET})
endfunction()
