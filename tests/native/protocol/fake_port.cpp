#include "fake_port.h"

#include "port_access.h"

FakeCard Fake;
uint16_t PortBase;

void FakeCard::Reset() { *this = FakeCard(); }

size_t FakeCard::Count(PortAccess::Kind kind) const {
  size_t n = 0;
  for (const PortAccess& a : log) n += a.kind == kind;
  return n;
}

std::vector<PortAccess> Writes(std::initializer_list<std::pair<uint16_t, uint8_t>> writes) {
  std::vector<PortAccess> out;
  for (auto [port, value] : writes) out.push_back({PortAccess::Write, port, value});
  return out;
}

void WritePortByte(uint16_t port, uint8_t value) {
  Fake.log.push_back({PortAccess::Write, port, value});
  // A new control word for counter 1 starts a new acquisition's status script.
  if (port == static_cast<uint16_t>(PortBase + 3) && value == 0x72) Fake.statusReads = 0;
}

uint8_t ReadPortByte(uint16_t port) {
  uint8_t value = 0xFF;
  const int reg = port - PortBase;
  if (reg == 1) value = Fake.status(Fake.statusReads++);
  if (reg >= 4 && reg <= 7) value = Fake.data[reg - 4];
  Fake.log.push_back({PortAccess::Read, port, value});
  return value;
}

uint32_t TickCount() {
  Fake.tickQueries.push_back(Fake.log.size());
  const uint32_t now = Fake.ticks;
  Fake.ticks += Fake.tickStep;
  return now;
}

void StartPortAccess() {
  PortBase = Fake.base;
  Fake.log.push_back({PortAccess::Start, 0, 0});
}

void ReleasePortAccess() { Fake.log.push_back({PortAccess::Release, 0, 0}); }
