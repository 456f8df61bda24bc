// The port instructions as bus requests to the port driver, for the test
// build SSIKovoPortSim.dll: the driver puts the simulated card on an emulated
// I/O bus at absolute ports, so the 9x family's path runs under Wine, where
// user-mode IN and OUT fault. The bus stays open for the life of the process,
// as the processor's bus would.
#include "nalouni_requests.h"
#include "port_access.h"
#include "port_backend.h"
#include "port_layer.h"

namespace {

HANDLE Bus() {
  static HANDLE bus = INVALID_HANDLE_VALUE;
  if (bus == INVALID_HANDLE_VALUE) bus = OpenPortDevice();
  return bus;
}

void Start() { PortBase = kDefaultPortBase; }
void Release() { PortBase = kDefaultPortBase; }

uint8_t Read(uint16_t port) {
  uint8_t value = 0xFF;  // nothing answers: the bus floats
  SendPortRead(Bus(), IOCTL_NALOUNI_BUS_READ, port, &value);
  return value;
}

void Write(uint16_t port, uint8_t value) {
  SendPortWrite(Bus(), IOCTL_NALOUNI_BUS_WRITE, port, value);
}

}  // namespace

const PortBackend BusPortBackend = {Start, Release, Read, Write};
