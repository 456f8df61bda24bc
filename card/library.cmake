# SSIKovo.dll: the card protocol exported as it stands, over the library's
# port layer, with the import library libSSIKovo.dll.a for C and C++ callers.
# A second build, SSIKovoPortSim.dll, is the same library (same exports, same
# name in its export table) with the port instructions sent to the simulated
# card through the port driver, for testing the 9x-family path under Wine.
function(ssikovo_library target port_io)
  windows_dll(${target} EXPORTS ${CMAKE_CURRENT_SOURCE_DIR}/SSIKovo.exports ${ARGN}
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/port_layer.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/address_setting.cpp
            ${port_io})
  target_link_libraries(${target} PRIVATE card_protocol)
endfunction()

ssikovo_library(SSIKovo ${CMAKE_CURRENT_SOURCE_DIR}/port_io_x86.cpp)
target_include_directories(SSIKovo::import INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})

ssikovo_library(SSIKovoPortSim ${CMAKE_CURRENT_SOURCE_DIR}/port_io_bus.cpp NO_IMPORT_LIBRARY)
target_include_directories(SSIKovoPortSim PRIVATE ${PROJECT_SOURCE_DIR}/nalouni/common)
