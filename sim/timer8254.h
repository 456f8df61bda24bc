// An 8254-compatible set of three counters, as the card carries it behind
// registers 0 to 3.
//
// Nothing is ticked. Each counter keeps its state as of a reference time (the
// last write that touched the timer) in units of its own input clock: how many
// clock pulses until the count register is loaded, and how many pulses have
// passed since. The level of OUT at any later moment follows from the number
// of CLK pulses since then, which in turn is arithmetic on the clock source: a
// fixed-rate oscillator, or the falling edges of another counter's OUT.
//
// Every write brings all counters to "now" first (dependent counters before
// their sources), so that a change of one counter never rewrites the past of
// another that it clocks or gates.
//
// Where the 8254 and 82C54 data-sheet texts differ or leave room, the model
// takes these points:
// - Mode 0, first byte of a two-byte count: the 8254 text. Writing the first
//   byte disables counting and sets OUT low at once; the count element holds
//   its value until the count the second byte completes is loaded. (The
//   82C54 text has the first byte not disable counting, and the new LSB stop
//   the counter only if it has not rolled over yet.)
// - Counter loading, the transfer from the count register to the count
//   element, is on the next CLK pulse after the count in modes 0 and 4, with
//   GATE low as well (GATE low only suspends the counting after it), and on
//   the next CLK pulse after a trigger in modes 1 and 5, from the count
//   register as it stands at that pulse. In modes 2 and 3 a count written
//   while GATE is low waits for GATE to rise (NULL COUNT stays set).
// - A count read or latched is the count element, never the count register:
//   before a load (NULL COUNT set) it is not the count just written, and while
//   counting is stopped it is the value the element stopped at. After a
//   control word the element keeps its value (the texts leave it undefined);
//   at power-on it reads 0.
// - Mode 3 with an odd count N loads N - 1 and counts down by two: OUT is
//   high for (N + 1) / 2 pulses and low for (N - 1) / 2.
//
// Wiring limits, which the card respects: the wiring has no loops, and a
// counter whose OUT drives a GATE input changes its OUT only when it is
// written (it has no clock of its own). Modes 0 to 5 count; the tests hold
// the modes the card protocol uses (0, 1 and 3) to the data sheet throughout,
// and modes 2, 4 and 5 in a few sequences.
#pragma once

#include <stdint.h>

namespace sim {

constexpr uint64_t kNever = ~static_cast<uint64_t>(0);

enum class ClockInput : uint8_t {
  None,     // CLK not connected: the counter never counts
  Fixed,    // an oscillator; falling edges at multiples of periodNs
  Counter,  // OUT of another counter; its falling edges end CLK pulses
};

enum class GateInput : uint8_t {
  High,     // GATE tied high
  Counter,  // OUT of another counter
};

struct CounterWiring {
  ClockInput clock;
  uint32_t periodNs;     // ClockInput::Fixed
  uint8_t clockCounter;  // ClockInput::Counter
  GateInput gate;
  uint8_t gateCounter;   // GateInput::Counter
};

struct TimerWiring {
  CounterWiring counter[3];
};

class Timer8254 {
 public:
  static constexpr int kCounters = 3;

  // Power-on: no counter programmed, every OUT high, status 0xC0 (OUT high,
  // NULL COUNT, no mode).
  void PowerOn(const TimerWiring& wiring, uint64_t now);

  // Register 0-2: count bytes; register 3: control words and read-back.
  void Write(uint8_t reg, uint8_t value, uint64_t now);
  // Register 0-2: latched status, latched count or the running count;
  // register 3 is not readable and floats (0xFF).
  uint8_t Read(uint8_t reg, uint64_t now);

  // Level of a counter's OUT at "now" (after everything that happens at now).
  bool Out(int counter, uint64_t now) const;
  // The first moment after "after" at which OUT changes without a write, or
  // kNever. "after" must not lie before the last write.
  uint64_t NextOutChange(int counter, uint64_t after) const;

 private:
  static constexpr uint64_t kNoLoad = ~static_cast<uint64_t>(0);

  struct Counter {
    uint8_t control;      // RW1 RW0 M2 M1 M0 BCD of the last control word
    bool programmed;
    bool writeMsbNext;    // LSB-then-MSB write in progress
    uint8_t lsbWritten;
    bool readMsbNext;
    bool haveCount;       // a count was written since the control word
    uint32_t countRegister;  // the count as written, 1..65536 (10000 in BCD)
    bool statusLatched;
    uint8_t statusLatch;
    bool countLatched;
    bool countLatchMsbNext;
    uint16_t countLatch;
    bool gate;

    // Counting state as of ref, in CLK pulses of this counter.
    uint64_t ref;
    uint64_t loadIn;      // pulses until the count element is (re)loaded; kNoLoad: not armed
    uint64_t phase;       // pulses since the load, at the load moment: where counting starts
    uint32_t n;           // the count being counted, or the one a pending load takes
    uint32_t elementBefore;  // count element while no load is in effect or before the pending one
    uint32_t stepBefore;  // how far it goes down per pulse until then
    bool levelBefore;     // OUT until the load
    bool lastPulseLow;    // but low for the last pulse before it (mode 2)
    bool nullCount;       // count register not yet transferred to the count element
  };

  int Mode(const Counter& c) const;
  bool Periodic(const Counter& c) const;
  uint64_t LowFrom(const Counter& c) const;
  bool LevelAfterLoad(const Counter& c, uint64_t pulsesSinceLoad) const;
  bool LevelBeforeLoad(const Counter& c, uint64_t pulses) const;
  bool Level(const Counter& c, uint64_t pulses) const;
  uint64_t NextChange(const Counter& c, uint64_t pulses) const;
  uint64_t FallingEdges(const Counter& c, uint64_t from, uint64_t to) const;
  uint64_t NthFallingEdge(const Counter& c, uint64_t after, uint64_t m) const;

  uint64_t PulseLimit(int counter) const;
  uint64_t Pulses(int counter, uint64_t now) const;
  uint64_t PulseTime(int counter, uint64_t m) const;

  void Advance(Counter& c, uint64_t pulses);
  void BringAllTo(uint64_t now);
  void OutChanged(int source, bool level);
  void GateChanged(Counter& c, bool level);
  void HoldElement(Counter& c);
  void ArmLoad(Counter& c, uint64_t in, uint32_t n, uint64_t phase, bool levelBefore,
               uint32_t step);

  void ControlWord(uint8_t value);
  void CountByte(Counter& c, uint8_t value);
  void CountWritten(Counter& c, uint32_t count);
  uint32_t ElementValue(const Counter& c, uint64_t pulses) const;
  uint16_t CountElement(const Counter& c, uint64_t pulses) const;
  uint8_t StatusByte(const Counter& c) const;

  CounterWiring wiring_[kCounters];
  Counter counter_[kCounters];
  int order_[kCounters];  // dependents before the counters that drive them
};

}  // namespace sim
