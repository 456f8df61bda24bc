# A Windows DLL whose exports come from one export list, a text file of this
# form:
#
#   LIBRARY SSIKovo.dll            the name the DLL gives itself
#   # name         ordinal  argument bytes
#   GetSSIKovo     4        4
#
# Each function uses the standard calling convention; the list holds the
# plain name and the bytes of its arguments, and the decorated names are made
# here. On 32-bit x86 a function "GetSSIKovo" taking 4 bytes is exported as
# "_GetSSIKovo@4" only; a 64-bit build has no standard-call decoration and
# exports the plain name. From the list come the linker's .def (export name,
# the compiler's symbol, the ordinal) and an import library whose symbols are
# the ones a C or C++ caller's compiler emits for the header's declarations.
#
#   windows_dll(<target> EXPORTS <list> SOURCES <file>... [NO_IMPORT_LIBRARY]
#               [MSVC_IMPORT_LIBRARY])
#
# builds <target>.dll (no "lib" prefix), exporting nothing but the list, and
# unless NO_IMPORT_LIBRARY the import library lib<target>.dll.a beside it,
# which callers get by linking <target>::import. With MSVC_IMPORT_LIBRARY it
# also makes <target>.lib for Visual C++ callers with llvm-dlltool (target
# <target>_msvc_import). The .def files are written to the build folder as
# <target>.def, <target>-import.def and <target>-msvc.def.

# The three names of one export: the name in the DLL's export table, the
# symbol the compiler gives the function (as a .def writes it: without the
# leading underscore that the linker adds on x86), and the symbol a caller's
# compiler emits for it (likewise).
function(_windows_dll_export_names name arg_bytes out_export out_symbol)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out_export} "_${name}@${arg_bytes}" PARENT_SCOPE)
    set(${out_symbol} "${name}@${arg_bytes}" PARENT_SCOPE)
  else()
    set(${out_export} "${name}" PARENT_SCOPE)
    set(${out_symbol} "${name}" PARENT_SCOPE)
  endif()
endfunction()

# Reads an export list: the DLL's name into <out_library>, and one entry
# "name;ordinal;argument bytes" per export, joined by "|", into <out_exports>.
function(_windows_dll_read_exports list out_library out_exports)
  file(STRINGS ${list} lines)
  set(library "")
  set(exports "")
  set(names "")
  set(ordinals "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    elseif(line MATCHES "^LIBRARY[ \t]+([^ \t]+)$")
      set(library ${CMAKE_MATCH_1})
    elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+([0-9]+)[ \t]+([0-9]+)$")
      set(name ${CMAKE_MATCH_1})
      set(ordinal ${CMAKE_MATCH_2})
      set(arg_bytes ${CMAKE_MATCH_3})
      if(name IN_LIST names OR ordinal IN_LIST ordinals)
        message(FATAL_ERROR "${list}: \"${name}\" or ordinal ${ordinal} listed twice")
      endif()
      list(APPEND names ${name})
      list(APPEND ordinals ${ordinal})
      list(APPEND exports "${name}|${ordinal}|${arg_bytes}")
    else()
      message(FATAL_ERROR "${list}: not an export line: \"${line}\"")
    endif()
  endforeach()
  if(library STREQUAL "" OR exports STREQUAL "")
    message(FATAL_ERROR "${list}: needs a LIBRARY line and at least one export")
  endif()
  set(${out_library} ${library} PARENT_SCOPE)
  set(${out_exports} ${exports} PARENT_SCOPE)
endfunction()

# Makes <target>.lib for Visual C++ callers with llvm-dlltool from its .def.
function(_windows_dll_msvc_import_library target def)
  find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(machine i386:x86-64)
  else()
    set(machine i386)
  endif()
  set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}-msvc.def)
  file(GENERATE OUTPUT ${def_file} CONTENT "${def}")
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/${target}.lib)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${LLVM_DLLTOOL} -m ${machine} -d ${def_file} -l ${lib}
    DEPENDS ${def_file}
    COMMENT "Visual C++ import library ${target}.lib")
  add_custom_target(${target}_msvc_import ALL DEPENDS ${lib} ${target})
endfunction()

function(windows_dll target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_IMPORT_LIBRARY;MSVC_IMPORT_LIBRARY" "EXPORTS" "SOURCES")
  if(NOT arg_EXPORTS OR NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "windows_dll(${target} EXPORTS <list> SOURCES <file>... [NO_IMPORT_LIBRARY] [MSVC_IMPORT_LIBRARY])")
  endif()
  get_filename_component(list ${arg_EXPORTS} ABSOLUTE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  _windows_dll_read_exports(${list} library exports)

  # The linker's .def: each export under its own name, bound to the
  # compiler's symbol, at its ordinal. The import library's .def: the
  # caller's symbol for each export, importing it by name. The Visual C++
  # import library's .def, for llvm-dlltool: a Visual C++ caller of "F" with
  # n argument bytes refers to "_F@n" and must import the name "_F@n"; for a
  # listed "_F@n" llvm-dlltool makes the symbol "__F@n" importing "_F@n" (it
  # adds the C underscore to the symbol and drops it from the import name),
  # so each export is listed as it stands, at its ordinal, and the caller's
  # symbol is made an alias of it ("F@n == _F@n" names the symbol "_F@n").
  set(link_def "; Exports of ${library}, made from ${list}.\nLIBRARY \"${library}\"\nEXPORTS\n")
  set(import_def "; Import library of ${library}, made from ${list}.\nLIBRARY ${library}\nEXPORTS\n")
  set(msvc_def "LIBRARY ${library}\nEXPORTS\n")
  foreach(entry IN LISTS exports)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 name)
    list(GET entry 1 ordinal)
    list(GET entry 2 arg_bytes)
    _windows_dll_export_names(${name} ${arg_bytes} export symbol)
    string(APPEND msvc_def "  ${export} @${ordinal}\n")
    if(export STREQUAL symbol)
      string(APPEND link_def "  ${export} @${ordinal}\n")
      string(APPEND import_def "  ${export}\n")
    else()
      string(APPEND link_def "  ${export} = ${symbol} @${ordinal}\n")
      string(APPEND import_def "  ${symbol} == ${export}\n")
      string(APPEND msvc_def "  ${symbol} == ${export}\n")
    endif()
  endforeach()
  set(link_def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(GENERATE OUTPUT ${link_def_file} CONTENT "${link_def}")

  add_library(${target} SHARED ${arg_SOURCES} ${link_def_file})
  # The linker's own import library would name the imports after the
  # compiler's symbols of the .def; callers get the one made below.
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
                                             IMPORT_SUFFIX ".internal.a")
  # Nothing but the list may be exported.
  target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols)

  if(arg_MSVC_IMPORT_LIBRARY)
    _windows_dll_msvc_import_library(${target} "${msvc_def}")
  endif()
  if(arg_NO_IMPORT_LIBRARY)
    return()
  endif()
  set(import_def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}-import.def)
  file(GENERATE OUTPUT ${import_def_file} CONTENT "${import_def}")
  set(import_lib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.dll.a)
  add_custom_command(OUTPUT ${import_lib}
    COMMAND ${CMAKE_DLLTOOL} -d ${import_def_file} -l ${import_lib}
    DEPENDS ${import_def_file}
    COMMENT "Import library for ${library}")
  add_custom_target(${target}_import ALL DEPENDS ${import_lib} ${target})
  # What a caller links; the caller of this function adds the header's folder.
  add_library(${target}::import INTERFACE IMPORTED GLOBAL)
  target_link_libraries(${target}::import INTERFACE ${import_lib})
  add_dependencies(${target}::import ${target}_import)
endfunction()
