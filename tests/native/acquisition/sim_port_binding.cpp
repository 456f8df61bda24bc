#include "sim_port_binding.h"

#include "port_access.h"

sim::VirtualClock SimClock;
sim::Card SimCard;
uint16_t PortBase;
uint64_t SimPortAccesses;

uint64_t StartSimCard(const SimCardSettings& settings, uint64_t stepNs) {
  SimClock = {0, stepNs};
  SimPortAccesses = 0;
  SimCard.Reset(settings, sim::VirtualTime(&SimClock));
  return SimClock.ns;
}

void WritePortByte(uint16_t port, uint8_t value) {
  ++SimPortAccesses;
  SimCard.Write(port, value);
}

uint8_t ReadPortByte(uint16_t port) {
  ++SimPortAccesses;
  return SimCard.Read(port);
}

uint32_t TickCount() { return static_cast<uint32_t>(SimClock.ns / 1000000); }

void StartPortAccess() { PortBase = sim::kDefaultAddress; }

void ReleasePortAccess() {}
