#include "timer8254.h"

namespace sim {

namespace {

uint64_t Max(uint64_t a, uint64_t b) { return a > b ? a : b; }

uint32_t DecodeCount(uint16_t raw, bool bcd) {
  if (!bcd) return raw == 0 ? 65536u : raw;
  uint32_t value = 0;
  for (int shift = 12; shift >= 0; shift -= 4) value = value * 10 + ((raw >> shift) & 0xF);
  return value == 0 ? 10000u : value;
}

uint16_t EncodeCount(uint32_t value, bool bcd) {
  if (!bcd) return static_cast<uint16_t>(value);
  value %= 10000;
  uint16_t bcdValue = 0;
  for (int shift = 0; shift < 16; shift += 4) {
    bcdValue = static_cast<uint16_t>(bcdValue | (value % 10) << shift);
    value /= 10;
  }
  return bcdValue;
}

}  // namespace

// ---------------------------------------------------------------------------
// OUT as a function of the CLK pulses since the load.
//
// Every mode is "OUT low inside a window of the count, high outside":
//   mode 0 and 1: low while fewer than N pulses have passed since the load
//   mode 4 and 5: low for the one pulse after the count reached 0
//   mode 2:       periodic, low for the last pulse of each period of N
//   mode 3:       periodic, high for ceil(N/2) pulses, low for floor(N/2)
// Before the load OUT keeps the level it had (levelBefore), except where a
// mode 2 period ends at the load of a new count: the last pulse before it is
// that period's low pulse (lastPulseLow).

int Timer8254::Mode(const Counter& c) const {
  int mode = (c.control >> 1) & 7;
  return mode >= 6 ? mode - 4 : mode;
}

bool Timer8254::Periodic(const Counter& c) const {
  int mode = Mode(c);
  return mode == 2 || mode == 3;
}

uint64_t Timer8254::LowFrom(const Counter& c) const {
  switch (Mode(c)) {
    case 2: return c.n - 1;
    case 3: return (c.n + 1) / 2;
    case 4:
    case 5: return c.n;
    default: return 0;
  }
}

bool Timer8254::LevelAfterLoad(const Counter& c, uint64_t s) const {
  uint64_t lowFrom = LowFrom(c);
  if (Periodic(c)) return s % c.n < lowFrom;
  uint64_t lowTo = Mode(c) >= 4 ? c.n + 1u : c.n;
  return s < lowFrom || s >= lowTo;
}

bool Timer8254::LevelBeforeLoad(const Counter& c, uint64_t pulses) const {
  return c.lastPulseLow && pulses + 1 >= c.loadIn ? false : c.levelBefore;
}

bool Timer8254::Level(const Counter& c, uint64_t pulses) const {
  if (c.loadIn == kNoLoad) return c.levelBefore;
  if (pulses < c.loadIn) return LevelBeforeLoad(c, pulses);
  return LevelAfterLoad(c, c.phase + (pulses - c.loadIn));
}

uint64_t Timer8254::NextChange(const Counter& c, uint64_t pulses) const {
  if (c.loadIn == kNoLoad) return kNever;
  uint64_t s;
  uint64_t index;
  if (pulses < c.loadIn) {
    bool before = LevelBeforeLoad(c, pulses);
    if (before && c.lastPulseLow && pulses + 1 < c.loadIn) return c.loadIn - 1;
    if (LevelAfterLoad(c, c.phase) != before) return c.loadIn;
    s = c.phase;
    index = c.loadIn;
  } else {
    s = c.phase + (pulses - c.loadIn);
    index = pulses;
  }
  uint64_t lowFrom = LowFrom(c);
  uint64_t next;
  if (Periodic(c)) {
    if (lowFrom == 0 || lowFrom >= c.n) return kNever;  // OUT never changes
    uint64_t r = s % c.n;
    next = r < lowFrom ? s + (lowFrom - r) : s + (c.n - r);
  } else {
    uint64_t lowTo = Mode(c) >= 4 ? c.n + 1u : c.n;
    if (lowFrom > 0 && s < lowFrom) next = lowFrom;
    else if (s < lowTo) next = lowTo;
    else return kNever;
  }
  return index + (next - s);
}

// Falling edges of OUT at pulse indices in (from, to].
uint64_t Timer8254::FallingEdges(const Counter& c, uint64_t from, uint64_t to) const {
  if (c.loadIn == kNoLoad || to <= from) return 0;
  uint64_t count = 0;
  if (c.loadIn > 0) {  // the falls before the load and at it
    uint64_t last = c.loadIn - 1;
    if (c.lastPulseLow && c.levelBefore && from < last && last <= to) ++count;
    if (LevelBeforeLoad(c, last) && !LevelAfterLoad(c, c.phase) && from < c.loadIn &&
        c.loadIn <= to)
      ++count;
  }
  if (to < c.loadIn) return count;
  uint64_t sA = c.phase + (Max(from, c.loadIn) - c.loadIn);
  uint64_t sB = c.phase + (to - c.loadIn);
  uint64_t lowFrom = LowFrom(c);
  if (Periodic(c)) {
    if (lowFrom > 0 && lowFrom < c.n)
      count += (sB + c.n - lowFrom) / c.n - (sA + c.n - lowFrom) / c.n;
  } else if (lowFrom > 0 && sA < lowFrom && lowFrom <= sB) {
    ++count;
  }
  return count;
}

// Pulse index of the m-th falling edge of OUT after index "after" (m >= 1).
uint64_t Timer8254::NthFallingEdge(const Counter& c, uint64_t after, uint64_t m) const {
  if (c.loadIn == kNoLoad) return kNever;
  if (c.loadIn > 0) {  // the falls before the load and at it
    uint64_t last = c.loadIn - 1;
    if (c.lastPulseLow && c.levelBefore && after < last) {
      if (m == 1) return last;
      --m;
    }
    if (LevelBeforeLoad(c, last) && !LevelAfterLoad(c, c.phase) && after < c.loadIn) {
      if (m == 1) return c.loadIn;
      --m;
    }
  }
  uint64_t sA = c.phase + (Max(after, c.loadIn) - c.loadIn);
  uint64_t lowFrom = LowFrom(c);
  uint64_t s;
  if (Periodic(c)) {
    if (lowFrom == 0 || lowFrom >= c.n) return kNever;
    uint64_t first = sA + 1 + (lowFrom + c.n - (sA + 1) % c.n) % c.n;
    s = first + (m - 1) * c.n;
  } else {
    if (m != 1 || lowFrom == 0 || sA >= lowFrom) return kNever;
    s = lowFrom;
  }
  return c.loadIn + (s - c.phase);
}

// ---------------------------------------------------------------------------
// CLK pulses as seen by one counter.

// How many of the CLK pulses after ref the counter takes (kNever: all).
// GATE low suspends counting in modes 0 and 4 but not the load: a count
// written while GATE is low is still loaded on the next pulse, and the
// counter then waits with it. Modes 2 and 3 stop by dropping their load (see
// GateChanged); modes 1 and 5 ignore the level.
uint64_t Timer8254::PulseLimit(int index) const {
  const Counter& c = counter_[index];
  if (wiring_[index].clock == ClockInput::None) return 0;
  int mode = Mode(c);
  if (c.gate || (mode != 0 && mode != 4)) return kNever;
  return c.loadIn == kNoLoad ? 0 : c.loadIn;
}

uint64_t Timer8254::Pulses(int index, uint64_t now) const {
  const Counter& c = counter_[index];
  uint64_t limit = PulseLimit(index);
  if (limit == 0 || now <= c.ref) return 0;
  const CounterWiring& w = wiring_[index];
  uint64_t pulses;
  if (w.clock == ClockInput::Fixed) {
    pulses = now / w.periodNs - c.ref / w.periodNs;
  } else {
    int source = w.clockCounter;
    pulses = FallingEdges(counter_[source], Pulses(source, c.ref), Pulses(source, now));
  }
  return pulses < limit ? pulses : limit;
}

uint64_t Timer8254::PulseTime(int index, uint64_t m) const {
  if (m == kNever || m > PulseLimit(index)) return kNever;
  const Counter& c = counter_[index];
  const CounterWiring& w = wiring_[index];
  if (w.clock == ClockInput::Fixed) {
    uint64_t edge = c.ref / w.periodNs + m;
    return edge > kNever / w.periodNs ? kNever : edge * w.periodNs;
  }
  int source = w.clockCounter;
  uint64_t at = NthFallingEdge(counter_[source], Pulses(source, c.ref), m);
  return at == kNever ? kNever : PulseTime(source, at);
}

// ---------------------------------------------------------------------------
// Moving the reference time.

void Timer8254::Advance(Counter& c, uint64_t pulses) {
  if (pulses == 0 || c.loadIn == kNoLoad) return;
  if (pulses < c.loadIn) {
    c.elementBefore = ElementValue(c, pulses);
    c.loadIn -= pulses;
    return;
  }
  if (c.loadIn > 0) c.nullCount = false;  // count register moved to the count element
  c.phase += pulses - c.loadIn;
  c.loadIn = 0;
  if (Periodic(c)) c.phase %= c.n;
}

void Timer8254::BringAllTo(uint64_t now) {
  for (int i : order_) {
    Advance(counter_[i], Pulses(i, now));
    counter_[i].ref = now;
  }
}

// A counter's OUT changed at a write (all counters are at "now"): it is a
// CLK edge or a GATE edge for the counters wired to it.
void Timer8254::OutChanged(int source, bool level) {
  for (int j = 0; j < kCounters; ++j) {
    if (j == source) continue;
    Counter& c = counter_[j];
    const CounterWiring& w = wiring_[j];
    bool before = Level(c, 0);
    if (w.clock == ClockInput::Counter && w.clockCounter == source && !level && PulseLimit(j) > 0)
      Advance(c, 1);
    if (w.gate == GateInput::Counter && w.gateCounter == source && c.gate != level)
      GateChanged(c, level);
    bool after = Level(c, 0);
    if (after != before) OutChanged(j, after);
  }
}

void Timer8254::GateChanged(Counter& c, bool level) {
  c.gate = level;
  if (!c.programmed) return;
  switch (Mode(c)) {
    case 1:
    case 5:  // a rising edge triggers: the count loads at the next pulse
      if (level && c.haveCount) ArmLoad(c, 1, c.countRegister, 0, Level(c, 0), 0);
      break;
    case 2:
    case 3:  // low: OUT high and counting stops; rising: reload at the next pulse
      if (!level) {
        HoldElement(c);
        c.levelBefore = true;
      } else if (c.haveCount) {
        ArmLoad(c, 1, c.countRegister, 0, true, 0);
      }
      break;
    default:
      break;
  }
}

// The count element stops where it is and no load is armed.
void Timer8254::HoldElement(Counter& c) {
  c.elementBefore = ElementValue(c, 0);
  c.stepBefore = 0;
  c.lastPulseLow = false;
  c.loadIn = kNoLoad;
}

// Arms a load of count n, "in" CLK pulses from ref, after which counting
// starts at "phase" pulses into the count. Until the load OUT stays at
// levelBefore and the element goes on from where it is, down by "step" per
// pulse (a load one pulse away passes no pulse before it).
void Timer8254::ArmLoad(Counter& c, uint64_t in, uint32_t n, uint64_t phase, bool levelBefore,
                        uint32_t step) {
  c.elementBefore = ElementValue(c, 0);
  c.stepBefore = step;
  c.levelBefore = levelBefore;
  c.lastPulseLow = false;
  c.loadIn = in;
  c.phase = phase;
  c.n = n;
}

// ---------------------------------------------------------------------------
// Programming.

void Timer8254::PowerOn(const TimerWiring& wiring, uint64_t now) {
  for (int i = 0; i < kCounters; ++i) {
    wiring_[i] = wiring.counter[i];
    Counter& c = counter_[i];
    c = Counter{};
    c.ref = now;
    c.loadIn = kNoLoad;
    c.elementBefore = 0;
    c.stepBefore = 0;
    c.lastPulseLow = false;
    c.n = 65536;
    c.levelBefore = true;
    c.nullCount = true;
    c.gate = true;
  }
  // A counter's depth is the length of the longest chain of counters that
  // drive it; the deepest are brought to "now" first.
  int depth[kCounters] = {0, 0, 0};
  for (int round = 0; round < kCounters; ++round) {
    for (int i = 0; i < kCounters; ++i) {
      const CounterWiring& w = wiring_[i];
      if (w.clock == ClockInput::Counter && depth[w.clockCounter] + 1 > depth[i])
        depth[i] = depth[w.clockCounter] + 1;
      if (w.gate == GateInput::Counter && depth[w.gateCounter] + 1 > depth[i])
        depth[i] = depth[w.gateCounter] + 1;
    }
  }
  int n = 0;
  for (int d = kCounters; d >= 0; --d)
    for (int i = 0; i < kCounters; ++i)
      if (depth[i] == d) order_[n++] = i;
}

void Timer8254::Write(uint8_t reg, uint8_t value, uint64_t now) {
  if (reg > 3) return;
  BringAllTo(now);
  int written = reg < 3 ? reg : value >> 6;
  bool readBack = reg == 3 && written == 3;
  bool before = readBack ? false : Level(counter_[written], 0);
  if (reg == 3)
    ControlWord(value);
  else
    CountByte(counter_[reg], value);
  if (readBack) return;
  bool after = Level(counter_[written], 0);
  if (after != before) OutChanged(written, after);
}

void Timer8254::ControlWord(uint8_t value) {
  int select = value >> 6;
  if (select == 3) {  // read-back: 11 COUNT# STATUS# C2 C1 C0 0
    bool latchCount = !(value & 0x20);
    bool latchStatus = !(value & 0x10);
    for (int i = 0; i < kCounters; ++i) {
      if (!(value & (2 << i))) continue;
      Counter& c = counter_[i];
      if (latchStatus && !c.statusLatched) {
        c.statusLatch = StatusByte(c);
        c.statusLatched = true;
      }
      if (latchCount && !c.countLatched) {
        c.countLatch = CountElement(c, 0);
        c.countLatched = true;
        c.countLatchMsbNext = false;
      }
    }
    return;
  }
  Counter& c = counter_[select];
  if ((value & 0x30) == 0) {  // counter latch command
    if (!c.countLatched) {
      c.countLatch = CountElement(c, 0);
      c.countLatched = true;
      c.countLatchMsbNext = false;
    }
    return;
  }
  HoldElement(c);  // the element keeps what it held until a count loads
  c.control = value & 0x3F;
  c.programmed = true;
  c.writeMsbNext = false;
  c.readMsbNext = false;
  c.haveCount = false;
  c.countLatched = false;
  c.phase = 0;
  c.nullCount = true;
  c.levelBefore = Mode(c) != 0;  // mode 0: OUT low at once; every other mode: high
}

void Timer8254::CountByte(Counter& c, uint8_t value) {
  if (!c.programmed) return;
  bool bcd = c.control & 1;
  switch ((c.control >> 4) & 3) {
    case 1:
      CountWritten(c, DecodeCount(value, bcd));
      break;
    case 2:
      CountWritten(c, DecodeCount(static_cast<uint16_t>(value << 8), bcd));
      break;
    default:
      if (!c.writeMsbNext) {
        c.lsbWritten = value;
        c.writeMsbNext = true;
        if (Mode(c) == 0) {  // the first byte stops counting and drives OUT low
          HoldElement(c);
          c.levelBefore = false;
        }
        return;
      }
      c.writeMsbNext = false;
      CountWritten(c, DecodeCount(static_cast<uint16_t>(c.lsbWritten | value << 8), bcd));
      break;
  }
}

void Timer8254::CountWritten(Counter& c, uint32_t count) {
  c.countRegister = count;
  c.haveCount = true;
  c.nullCount = true;
  int mode = Mode(c);
  switch (mode) {
    case 0:
    case 4:  // loads at the next pulse, GATE low or not, and counts from there
      ArmLoad(c, 1, count, 0, mode == 4 ? Level(c, 0) : false, 0);
      break;
    case 2:
    case 3:
      if (!c.gate) break;  // loads when GATE rises
      if (c.loadIn == kNoLoad) {  // first count: loads at the next pulse
        ArmLoad(c, 1, count, 0, true, 0);
      } else if (c.loadIn > 0) {  // a load is pending: it takes the new count
        if (mode == 3 && c.phase != 0) c.phase = (count + 1) / 2;
        c.n = count;
      } else {
        // Running: the new count takes over at the end of the present half
        // period (mode 3) or period (mode 2); until then the element goes on
        // down with the old count.
        uint64_t r = c.phase % c.n;
        uint64_t half = (c.n + 1) / 2;
        bool level = LevelAfterLoad(c, c.phase);
        if (mode == 3 && r < half)
          ArmLoad(c, half - r, count, (count + 1) / 2, level, 2);
        else
          ArmLoad(c, c.n - r, count, 0, level, mode == 3 ? 2 : 1);
        // Mode 2: the old period still ends with its low pulse.
        if (mode == 2) c.lastPulseLow = true;
      }
      break;
    default:
      // Modes 1 and 5 take the count at the next trigger; after a trigger
      // the load pulse takes the count register as it then stands, so a
      // count written before that pulse is the one loaded.
      if (c.loadIn != kNoLoad && c.loadIn > 0) c.n = count;
      break;
  }
}

// ---------------------------------------------------------------------------
// Reading.

// The count element "pulses" CLK pulses after ref, as a number below the
// wrap (0 stands for the full count).
uint32_t Timer8254::ElementValue(const Counter& c, uint64_t pulses) const {
  const uint64_t wrap = c.control & 1 ? 10000 : 65536;
  if (c.loadIn == kNoLoad || pulses < c.loadIn) {
    uint64_t down = c.stepBefore * (pulses % wrap) % wrap;
    return static_cast<uint32_t>((c.elementBefore + wrap - down) % wrap);
  }
  uint64_t s = c.phase + (pulses - c.loadIn);
  uint64_t value;
  switch (Mode(c)) {
    case 2:
      value = c.n - s % c.n;
      break;
    case 3: {  // decrements by two; an odd count loads as N - 1
      uint64_t r = s % c.n;
      uint64_t half = (c.n + 1) / 2;
      uint64_t base = c.n & 1 ? c.n - 1 : c.n;
      value = base - 2 * (r < half ? r : r - half);
      break;
    }
    default:  // counts on past zero, wrapping
      value = c.n + wrap - s % wrap;
      break;
  }
  return static_cast<uint32_t>(value % wrap);
}

// The count element as a read gives it.
uint16_t Timer8254::CountElement(const Counter& c, uint64_t pulses) const {
  return EncodeCount(ElementValue(c, pulses), c.control & 1);
}

uint8_t Timer8254::StatusByte(const Counter& c) const {
  return static_cast<uint8_t>((Level(c, 0) ? 0x80 : 0) | (c.nullCount ? 0x40 : 0) | c.control);
}

uint8_t Timer8254::Read(uint8_t reg, uint64_t now) {
  if (reg > 2) return 0xFF;
  Counter& c = counter_[reg];
  if (c.statusLatched) {
    c.statusLatched = false;
    return c.statusLatch;
  }
  int rw = (c.control >> 4) & 3;
  uint16_t value;
  bool msb;
  if (c.countLatched) {
    value = c.countLatch;
    msb = rw == 2 || (rw != 1 && c.countLatchMsbNext);
    c.countLatchMsbNext = !msb && rw != 1;
    if (!c.countLatchMsbNext) c.countLatched = false;
  } else {
    value = CountElement(c, Pulses(reg, now));
    msb = rw == 2 || (rw != 1 && c.readMsbNext);
    if (rw != 1 && rw != 2) c.readMsbNext = !c.readMsbNext;
  }
  return static_cast<uint8_t>(msb ? value >> 8 : value);
}

bool Timer8254::Out(int index, uint64_t now) const {
  return Level(counter_[index], Pulses(index, now));
}

uint64_t Timer8254::NextOutChange(int index, uint64_t after) const {
  uint64_t at = NextChange(counter_[index], Pulses(index, after));
  return at == kNever ? kNever : PulseTime(index, at);
}

}  // namespace sim
