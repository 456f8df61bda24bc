// Test build of the port instructions: each IN or OUT becomes one bus access
// request to the port driver, which puts the simulated card on an emulated
// I/O bus at absolute port numbers. This lets the 9x-family path of the
// library run under Wine, where user-mode IN and OUT fault.
#include <windows.h>

#include "nalouni_requests.h"
#include "port_io.h"

namespace {

#pragma pack(push, 1)
struct BusWrite {
  uint32_t port;
  uint8_t value;
};
#pragma pack(pop)

HANDLE Bus() {
  static HANDLE bus = INVALID_HANDLE_VALUE;
  if (bus == INVALID_HANDLE_VALUE) {
    bus = CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  return bus;
}

}  // namespace

void PortOut(uint16_t port, uint8_t value) {
  BusWrite request = {port, value};
  DWORD returned = 0;
  DeviceIoControl(Bus(), IOCTL_NALOUNI_BUS_WRITE, &request, sizeof request, nullptr, 0, &returned,
                  nullptr);
}

uint8_t PortIn(uint16_t port) {
  uint32_t request = port;
  uint8_t value = 0xFF;  // nothing answers: the bus floats
  DWORD returned = 0;
  DeviceIoControl(Bus(), IOCTL_NALOUNI_BUS_READ, &request, sizeof request, &value, 1, &returned,
                  nullptr);
  return value;
}
