# SSIKovo.dll: the card protocol exported as it stands, over the library's
# port layer and its backends, with the import libraries libSSIKovo.dll.a for
# mingw-w64 callers and SSIKovo.lib for Visual C++ callers. A second build, SSIKovoPortSim.dll, is the same library
# (same exports, same name in its export table) whose 9x-family backend is the
# bus requests to the port driver in place of the port instructions, for
# testing that path under Wine. "instructions" names the backend table that
# stands for the port instructions, "instructions_source" its file.
function(ssikovo_library target instructions instructions_source)
  windows_dll(${target} EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/SSIKovo.exports ${ARGN}
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/port_layer.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/port_backend_none.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/port_backend_driver.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/${instructions_source}
            ${CMAKE_CURRENT_SOURCE_DIR}/address_setting.cpp)
  target_compile_definitions(${target} PRIVATE SSIKOVO_INSTRUCTION_BACKEND=${instructions})
  target_link_libraries(${target} PRIVATE card_protocol nalouni_requests)
endfunction()

ssikovo_library(SSIKovo InstructionPortBackend port_backend_instructions.cpp MSVC_IMPORT_LIBRARY)
target_include_directories(SSIKovo::import INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})

ssikovo_library(SSIKovoPortSim BusPortBackend port_backend_bus.cpp NO_IMPORT_LIBRARY)
