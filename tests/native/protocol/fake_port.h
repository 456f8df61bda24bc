// A recording stand-in for the card's ports: every access is logged in order,
// reads are answered from a small script, and the tick counter is a fake that
// advances a fixed step on every query.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct PortAccess {
  enum Kind : char { Write = 'W', Read = 'R', Start = 'S', Release = 'X' } kind;
  uint16_t port;
  uint8_t value;
  bool operator==(const PortAccess& o) const {
    return kind == o.kind && port == o.port && value == o.value;
  }
};

struct FakeCard {
  uint16_t base = 0x2A8;             // PortBase the port layer sets at start-up
  uint8_t data[4] = {0, 0, 0, 0};    // DataByte0..DataByte3 as read
  // Counter 1 status for the n-th status read of the current acquisition:
  // by default the burst is seen running (OUT low, count loaded, mode 1) and
  // then ended (OUT high).
  std::function<uint8_t(int)> status = [](int n) { return n == 0 ? 0x32 : 0xB2; };
  uint32_t ticks = 1000;
  uint32_t tickStep = 1;
  int statusReads = 0;
  std::vector<PortAccess> log;
  std::vector<size_t> tickQueries;  // log.size() at each query of the tick counter

  void Reset();
  size_t Count(PortAccess::Kind kind) const;
};

extern FakeCard Fake;

std::vector<PortAccess> Writes(std::initializer_list<std::pair<uint16_t, uint8_t>> writes);
