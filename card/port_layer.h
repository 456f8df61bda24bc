// The library's port layer: how the protocol's port operations reach the card,
// chosen anew by every InitSSIKovo from the Windows version.
#pragma once

#include <windows.h>

#include <cstdint>

// Requests of the port driver, device type 40000, buffered.
constexpr DWORD IoctlWriteByte = 0x9C40A440;  // in: {uint32 port, uint8 value}
constexpr DWORD IoctlReadByte = 0x9C406400;   // in: {uint32 port}, out: 1 byte

extern uint8_t UseDriver;     // 1: port driver device, 0: port instructions
extern HANDLE DriverHandle;   // INVALID_HANDLE_VALUE when no device is open
extern uint8_t LastReadByte;  // output byte of the driver's read request

// Opens "\\.\NaloUniDev" into DriverHandle, unchecked.
void OpenDriverDevice();

// Closes DriverHandle if a device is open; afterwards none is.
void CloseDriverDevice();

// Sets UseDriver from the Windows version.
void SelectPortBackend();
