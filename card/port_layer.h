// The library's port layer: how the protocol's port operations reach the card,
// chosen anew by every InitSSIKovo from the Windows version.
#pragma once

#include <windows.h>

#include <cstdint>

extern uint8_t UseDriver;     // 1: port driver device, 0: port instructions
extern HANDLE DriverHandle;   // INVALID_HANDLE_VALUE when no device is open
extern uint8_t LastReadByte;  // output byte of the driver's read request

// Opens the port driver's device "\\.\NaloUniDev" for reading and writing,
// unchecked: INVALID_HANDLE_VALUE when it does not open.
HANDLE OpenPortDevice();

// Opens the device into DriverHandle.
void OpenDriverDevice();

// Closes DriverHandle if a device is open; afterwards none is.
void CloseDriverDevice();

// Sets UseDriver from the Windows version.
void SelectPortBackend();

// One synchronous port request on "device" with the port driver's records
// (write: port and value; read: port in, one byte out). Used by both
// backends that talk to the driver; nothing is reported, a failed read
// leaves *value as it was.
void SendPortWrite(HANDLE device, DWORD code, uint16_t port, uint8_t value);
void SendPortRead(HANDLE device, DWORD code, uint16_t port, uint8_t* value);
