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
// Wiring limits, which the card respects: the wiring has no loops, and a
// counter whose OUT drives a GATE input changes its OUT only when it is
// written (it has no clock of its own). Modes 0 to 5 count; the modes the
// card protocol uses (0, 1 and 3) are the ones its tests hold to the data
// sheet.
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
    uint32_t n;           // the count being counted
    bool levelBefore;     // OUT until the load
    bool nullCount;       // count register not yet transferred to the count element
  };

  int Mode(const Counter& c) const;
  bool Periodic(const Counter& c) const;
  uint64_t LowFrom(const Counter& c) const;
  bool LevelAfterLoad(const Counter& c, uint64_t pulsesSinceLoad) const;
  bool Level(const Counter& c, uint64_t pulses) const;
  uint64_t NextChange(const Counter& c, uint64_t pulses) const;
  uint64_t FallingEdges(const Counter& c, uint64_t from, uint64_t to) const;
  uint64_t NthFallingEdge(const Counter& c, uint64_t after, uint64_t m) const;

  bool Counting(int counter) const;
  uint64_t Pulses(int counter, uint64_t now) const;
  uint64_t PulseTime(int counter, uint64_t m) const;

  void Advance(Counter& c, uint64_t pulses);
  void BringAllTo(uint64_t now);
  void OutChanged(int source, bool level);
  void GateChanged(Counter& c, bool level);

  void ControlWord(uint8_t value);
  void CountByte(Counter& c, uint8_t value);
  void CountWritten(Counter& c, uint32_t count);
  uint16_t CountElement(const Counter& c, uint64_t pulses) const;
  uint8_t StatusByte(const Counter& c) const;

  CounterWiring wiring_[kCounters];
  Counter counter_[kCounters];
  int order_[kCounters];  // dependents before the counters that drive them
};

}  // namespace sim
