// Port access for the library: requests to the port driver on the NT family,
// the port instructions on the 9x family. Nothing here reports a failure: a
// lost write is lost, a failed read yields the last byte read.
#include "port_layer.h"

#include "port_access.h"
#include "port_io.h"

uint16_t PortBase;
uint8_t UseDriver;
HANDLE DriverHandle = INVALID_HANDLE_VALUE;
uint8_t LastReadByte;

namespace {

// No way of reaching the ports is chosen until the first InitSSIKovo; until
// then the port operations touch no port (a port instruction would fault on
// the NT family, or hit whatever sits at port 0 on the 9x family).
bool BackendChosen;

#pragma pack(push, 1)
struct WriteRequest {
  uint32_t port;
  uint8_t value;
};
#pragma pack(pop)
static_assert(sizeof(WriteRequest) == 5, "the driver expects a 5-byte record");

constexpr uint16_t kDefaultPortBase = 0x100;  // the card's factory jumper

}  // namespace

void OpenDriverDevice() {
  DriverHandle = CreateFileA("\\\\.\\NaloUniDev", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
}

void CloseDriverDevice() {
  if (DriverHandle != INVALID_HANDLE_VALUE) CloseHandle(DriverHandle);
  DriverHandle = INVALID_HANDLE_VALUE;
}

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
  if (UseDriver) {
    CloseDriverDevice();  // a second InitSSIKovo must not leak the first handle
    OpenDriverDevice();
  }
  PortBase = UseDriver ? 0 : kDefaultPortBase;
  BackendChosen = true;
}

void ReleasePortAccess() {
  if (UseDriver) {
    CloseDriverDevice();
    PortBase = 0;
  } else {
    PortBase = kDefaultPortBase;
  }
}

void WritePortByte(uint16_t port, uint8_t value) {
  if (!BackendChosen) return;
  if (!UseDriver) {
    PortOut(port, value);
    return;
  }
  WriteRequest request = {port, value};
  DWORD returned = 0;
  DeviceIoControl(DriverHandle, IoctlWriteByte, &request, sizeof request, nullptr, 0, &returned,
                  nullptr);
}

uint8_t ReadPortByte(uint16_t port) {
  if (!BackendChosen) return LastReadByte;
  if (!UseDriver) return PortIn(port);
  uint32_t request = port;
  DWORD returned = 0;
  DeviceIoControl(DriverHandle, IoctlReadByte, &request, sizeof request, &LastReadByte, 1,
                  &returned, nullptr);
  return LastReadByte;
}

uint32_t TickCount() { return GetTickCount(); }
