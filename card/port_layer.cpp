// Port access for the library: the protocol's port operations go through the
// backend table InitSSIKovo chose (port_backend.h). Nothing here reports a
// failure: a lost write is lost, a failed read yields the last byte read.
#include "port_layer.h"

#include "port_access.h"
#include "port_backend.h"

// What stands for the port instructions on the 9x family: the instructions
// themselves in SSIKovo.dll, the bus requests in the test build
// SSIKovoPortSim.dll. The build names the table (card/library.cmake).
#ifndef SSIKOVO_INSTRUCTION_BACKEND
#error "SSIKOVO_INSTRUCTION_BACKEND names the 9x family's backend table"
#endif

uint16_t PortBase;
uint8_t UseDriver;

namespace {

const PortBackend* Backend = &NoPortBackend;

}  // namespace

void SelectPortBackend() {
  OSVERSIONINFOEXA version;
  ZeroMemory(&version, sizeof version);
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
  }
  // Every NT-family version goes through the driver: NT 4 and the NT 5 line
  // as the card was made for, and later versions too, since the port
  // instructions fault in a user-mode process there.
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) UseDriver = 1;
}

void StartPortAccess() {
  UseDriver = 0;
  SelectPortBackend();
  Backend = UseDriver ? &DriverPortBackend : &SSIKOVO_INSTRUCTION_BACKEND;
  Backend->start();
}

// The chosen backend stays chosen: after DeInitSSIKovo the driver backend's
// requests reach no device, the port instructions still reach the card.
void ReleasePortAccess() { Backend->release(); }

void WritePortByte(uint16_t port, uint8_t value) { Backend->write(port, value); }

uint8_t ReadPortByte(uint16_t port) { return Backend->read(port); }

uint32_t TickCount() { return GetTickCount(); }
