// Where the card takes "now" from: nanoseconds from a function and its
// context. The port driver passes the system's high-resolution counter; tests
// pass a virtual clock that moves one bus cycle per reading, so that every
// acquisition runs the same way each time.
#pragma once

#include <stdint.h>

namespace sim {

using NowFunction = uint64_t (*)(void* context);

struct TimeSource {
  NowFunction now;
  void* context;

  uint64_t Now() const { return now ? now(context) : 0; }
};

// One ISA bus cycle.
constexpr uint64_t kBusCycleNs = 1000;

// The card reads the time once per port access, so each access lands one
// step after the previous one. Tests may also move "ns" forward themselves.
struct VirtualClock {
  uint64_t ns;
  uint64_t stepNs;
};

inline uint64_t VirtualClockNow(void* context) {
  VirtualClock* clock = static_cast<VirtualClock*>(context);
  clock->ns += clock->stepNs;
  return clock->ns;
}

inline TimeSource VirtualTime(VirtualClock* clock) { return TimeSource{VirtualClockNow, clock}; }

}  // namespace sim
