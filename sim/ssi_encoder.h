// One absolute encoder on an SSI line, as the card's receiver sees it.
//
// The encoder turns at a constant speed from the position it was given. Clock
// and data idle high. The first falling clock edge after the monoflop time
// latches the position; the MSB appears on the next rising edge, then one bit
// per rising edge; after the LSB the line goes low. Every clock edge restarts
// the monoflop; once it has run out the line returns to idle (high). A
// falling edge that comes while the monoflop still runs and the word has been
// sent starts the same word again: a burst inside the monoflop time repeats
// the old value.
//
// An unplugged encoder drives nothing; the receiver's line reads as idle
// (high) for every bit.
#pragma once

#include <stdint.h>

#include "sim_card_c.h"

namespace sim {

constexpr uint64_t kMonoflopNs = 20000;
constexpr uint8_t kMaxEncoderBits = 25;

class SsiEncoder {
 public:
  // New settings; the position given is the position at "now". The line
  // starts idle.
  void Configure(const SimEncoderSettings& settings, uint64_t now);
  // The settings with the position as of "now".
  SimEncoderSettings SettingsAt(uint64_t now) const;
  // Position at a moment: start position plus the whole counts moved
  // (truncated toward zero), wrapping at 2^bits.
  uint32_t PositionAt(uint64_t now) const;

  // Level of the data line at "now", before any clock edge at "now" acts.
  bool Data(uint64_t now) const;
  void ClockFalling(uint64_t now);
  void ClockRising(uint64_t now);

  // The moment and position of the most recent latch; false if none yet.
  bool LastLatch(uint64_t* timeNs, uint32_t* position) const;

  // For skipping whole periods of a clock line that repeats with a period of
  // "periodNs": how this encoder's state compares with its state "before",
  // one period earlier. Unchanged: no edge moved it (nothing plugged in).
  // Relatched: it latched in that period at the same place as in the one
  // before; every later period does the same. Running: it did not latch, the
  // monoflop never ran out and the word is being repeated; each period moves
  // it on by *pairs (modulo bits + 1) clock pulses. Other: not yet steady.
  enum class Repeat : uint8_t { Other, Unchanged, Relatched, Running };
  Repeat RepeatsAfter(const SsiEncoder& before, uint64_t periodNs, uint32_t* pairs) const;
  // The state "periods" such periods later, as if every one had been
  // delivered edge by edge. "lineHigh": the clock line's level at the
  // period boundary, that is whether the last edge was a rising one.
  void SkipPeriods(Repeat repeat, uint64_t periods, uint64_t periodNs, uint32_t pairs,
                   bool lineHigh);

 private:
  uint32_t WordAt(uint32_t position) const;
  bool MonoflopRunning(uint64_t now) const;

  uint8_t bits_;
  uint8_t code_;
  bool plugged_;
  uint32_t startPosition_;
  int32_t speed_;
  uint64_t startTime_;

  bool clocked_;         // an edge came since the settings
  uint64_t lastEdge_;
  uint32_t word_;        // latched word, coded as sent
  uint8_t sent_;         // rising edges since the latch (or repeat): bits_ + 1 = line low after LSB
  bool repeating_;       // the word is being sent again: the line was low before the MSB
  bool latched_;
  uint64_t latchTime_;
  uint32_t latchPosition_;
};

}  // namespace sim
