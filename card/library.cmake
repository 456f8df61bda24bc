# SSIKovo.dll: the card protocol exported as it stands, over the library's
# port layer. A second build, SSIKovoPortSim.dll, is the same library with the
# port instructions sent to the simulated card through the port driver, for
# testing the 9x-family path under Wine.
set(SSIKOVO_LIBRARY_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/port_layer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/address_setting.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SSIKovo.def)

function(ssikovo_library target port_io)
  add_library(${target} SHARED ${SSIKOVO_LIBRARY_SOURCES} ${port_io})
  target_link_libraries(${target} PRIVATE card_protocol)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
  # Nothing but the .def's eight names may be exported.
  target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols)
endfunction()

ssikovo_library(SSIKovo ${CMAKE_CURRENT_SOURCE_DIR}/port_io_x86.cpp)

# The linker's own import library would name the imports after the .def's
# internal symbols; callers need one whose symbols are the decorated names.
set_target_properties(SSIKovo PROPERTIES IMPORT_SUFFIX ".internal.a")
set(SSIKOVO_IMPORT_LIB ${CMAKE_CURRENT_BINARY_DIR}/libSSIKovo.dll.a)
add_custom_command(OUTPUT ${SSIKOVO_IMPORT_LIB}
  COMMAND ${CMAKE_DLLTOOL} -d ${CMAKE_CURRENT_SOURCE_DIR}/SSIKovo-import.def -l ${SSIKOVO_IMPORT_LIB}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/SSIKovo-import.def
  COMMENT "Import library for SSIKovo.dll")
add_custom_target(SSIKovo_import ALL DEPENDS ${SSIKOVO_IMPORT_LIB} SSIKovo)
add_library(SSIKovo::import INTERFACE IMPORTED GLOBAL)
target_link_libraries(SSIKovo::import INTERFACE ${SSIKOVO_IMPORT_LIB})
target_include_directories(SSIKovo::import INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})

ssikovo_library(SSIKovoPortSim ${CMAKE_CURRENT_SOURCE_DIR}/port_io_bus.cpp)
target_include_directories(SSIKovoPortSim PRIVATE ${PROJECT_SOURCE_DIR}/nalouni/common)
