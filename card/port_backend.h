// The ways the library reaches the card's ports, each a small table of
// operations in a file of its own. The port layer (port_layer.cpp) points at
// one table and the protocol's port operations go through it; InitSSIKovo
// chooses the table anew from the Windows version.
#pragma once

#include <cstdint>

struct PortBackend {
  void (*start)();    // opens what the backend needs and sets PortBase
  void (*release)();  // releases what start opened
  uint8_t (*read)(uint16_t port);
  void (*write)(uint16_t port, uint8_t value);
};

// Before the first InitSSIKovo: touches no port (a port instruction would
// fault on the NT family, or hit whatever sits at port 0 on the 9x family);
// reads yield the last byte read.
extern const PortBackend NoPortBackend;

// The NT family: one request to the port driver per operation, on ports
// relative to the driver's window (PortBase 0).
extern const PortBackend DriverPortBackend;

// The 9x family: the processor's IN and OUT at PortBase + register.
extern const PortBackend InstructionPortBackend;

// The test build of the 9x family (SSIKovoPortSim.dll): each IN or OUT
// becomes one bus request to the port driver, which puts the simulated card
// on an emulated I/O bus at absolute ports. User-mode IN and OUT fault under
// Wine, so this is how that path runs there.
extern const PortBackend BusPortBackend;

constexpr uint16_t kDefaultPortBase = 0x100;  // the card's factory jumper
