// The timer against the 8254 data sheet, wired as on the card: counter 0 on
// a 2 MHz clock, counter 1 clocked by OUT0 and gated by OUT2, counter 2
// without a clock. A CLK pulse ends with its falling edge; the 2 MHz edges
// fall at multiples of 500 ns. The sequences at the end use a second wiring
// in which counters 0 and 1 both have a clock and a gate.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "timer8254.h"

namespace {

using sim::kNever;

constexpr uint64_t P = 500;
constexpr sim::TimerWiring kWiring = {{
    {sim::ClockInput::Fixed, P, 0, sim::GateInput::High, 0},
    {sim::ClockInput::Counter, 0, 0, sim::GateInput::Counter, 2},
    {sim::ClockInput::None, 0, 0, sim::GateInput::High, 0},
}};

// First 2 MHz falling edge strictly after t: the pulse that loads a count.
uint64_t LoadEdge(uint64_t t) { return (t / P + 1) * P; }

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { timer.PowerOn(kWiring, 0); }

  // Read-back of one counter's status only (COUNT# high, STATUS# low).
  uint8_t Status(int counter, uint64_t t) {
    timer.Write(3, static_cast<uint8_t>(0xE0 | 2 << counter), t);
    return timer.Read(static_cast<uint8_t>(counter), t);
  }
  void Count(int counter, uint32_t count, uint64_t t) {
    timer.Write(static_cast<uint8_t>(counter), static_cast<uint8_t>(count), t);
    timer.Write(static_cast<uint8_t>(counter), static_cast<uint8_t>(count >> 8), t);
  }

  sim::Timer8254 timer{};
};

TEST_F(TimerTest, PowerOnStatusIsOutHighAndNullCount) {
  EXPECT_EQ(Status(0, 0), 0xC0);
  EXPECT_EQ(Status(1, 0), 0xC0);
  EXPECT_TRUE(timer.Out(1, 1000000));
}

// Mode 0: OUT low at the control word, high N + 1 pulses after the count.
struct Mode0Case {
  uint32_t count;  // as written; 0 stands for 65536
  uint32_t pulses;
  uint64_t writtenAt;
};

class Mode0Test : public TimerTest, public ::testing::WithParamInterface<Mode0Case> {};

TEST_P(Mode0Test, OutGoesHighNPlusOnePulsesAfterTheCount) {
  const Mode0Case& c = GetParam();
  timer.Write(3, 0x30, 0);  // counter 0, LSB then MSB, mode 0, binary
  EXPECT_FALSE(timer.Out(0, 0));
  Count(0, c.count, c.writtenAt);
  uint64_t load = LoadEdge(c.writtenAt);
  uint64_t high = load + c.pulses * P;

  EXPECT_EQ(Status(0, c.writtenAt), 0x70);  // OUT low, NULL COUNT until the load
  EXPECT_EQ(Status(0, load), 0x30);         // loaded
  EXPECT_EQ(timer.NextOutChange(0, load), high);
  EXPECT_FALSE(timer.Out(0, high - 1));
  EXPECT_TRUE(timer.Out(0, high));
  EXPECT_EQ(timer.NextOutChange(0, high), kNever);
  EXPECT_EQ(Status(0, high), 0xB0);
}

INSTANTIATE_TEST_SUITE_P(Counts, Mode0Test,
                         ::testing::Values(Mode0Case{1, 1, 0}, Mode0Case{2, 2, 250},
                                           Mode0Case{7, 7, 1000}, Mode0Case{1000, 1000, 1700},
                                           Mode0Case{0, 65536, 0}),
                         [](const ::testing::TestParamInfo<Mode0Case>& info) {
                           return "N" + std::to_string(info.param.pulses) + "_writtenAt" +
                                  std::to_string(info.param.writtenAt);
                         });

// Count loading: the control word's RW bits choose the bytes; BCD counts.
struct LoadingCase {
  uint8_t control;  // counter 0, mode 0
  std::vector<uint8_t> bytes;
  uint32_t pulses;
};

class LoadingTest : public TimerTest, public ::testing::WithParamInterface<LoadingCase> {};

TEST_P(LoadingTest, CountTakesTheBytesTheControlWordAnnounced) {
  const LoadingCase& c = GetParam();
  timer.Write(3, c.control, 0);
  for (uint8_t b : c.bytes) timer.Write(0, b, 0);
  EXPECT_EQ(timer.NextOutChange(0, 0), P + c.pulses * P);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, LoadingTest,
    ::testing::Values(LoadingCase{0x10, {0x05}, 5},           // LSB only
                      LoadingCase{0x20, {0x01}, 256},         // MSB only
                      LoadingCase{0x30, {0x05, 0x01}, 261},   // LSB, then MSB
                      LoadingCase{0x30, {0x00, 0x00}, 65536},
                      LoadingCase{0x31, {0x10, 0x00}, 10},    // BCD 10
                      LoadingCase{0x31, {0x00, 0x00}, 10000}),
    [](const ::testing::TestParamInfo<LoadingCase>& info) {
      return "control" + std::to_string(info.param.control) + "_N" +
             std::to_string(info.param.pulses);
    });

TEST_F(TimerTest, HalfWrittenCountDoesNotStartTheCounter) {
  timer.Write(3, 0x30, 0);
  timer.Write(0, 0x05, 0);
  EXPECT_EQ(timer.NextOutChange(0, 0), kNever);
  EXPECT_EQ(Status(0, 100000) & 0xC0, 0x40);  // OUT low, NULL COUNT
}

TEST_F(TimerTest, CounterLatchReadsTheCountDownLsbFirst) {
  timer.Write(3, 0x30, 0);
  Count(0, 1000, 0);        // loads at 500 ns, then one down per pulse
  timer.Write(3, 0x00, 10 * P);  // counter latch: 9 pulses after the load
  timer.Write(3, 0x00, 20 * P);  // ignored while the first latch is unread
  uint8_t lsb = timer.Read(0, 30 * P);
  uint8_t msb = timer.Read(0, 30 * P);
  EXPECT_EQ(lsb | msb << 8, 1000 - 9);
}

// Mode 3: OUT high for ceil(N/2) pulses, low for floor(N/2), from the load.
class Mode3Test : public TimerTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(Mode3Test, SquareWaveHighCeilLowFloor) {
  const uint32_t n = GetParam();
  const uint32_t high = (n + 1) / 2;
  timer.Write(3, 0x36, 0);
  EXPECT_TRUE(timer.Out(0, 0));
  Count(0, n, 1000);
  const uint64_t load = LoadEdge(1000);

  uint64_t t = 1000;
  for (uint32_t period = 0; period < 3; ++period) {
    uint64_t fall = load + (period * n + high) * P;
    uint64_t rise = load + (period + 1) * n * P;
    ASSERT_EQ(timer.NextOutChange(0, t), fall) << "period " << period;
    EXPECT_TRUE(timer.Out(0, fall - 1));
    EXPECT_FALSE(timer.Out(0, fall));
    ASSERT_EQ(timer.NextOutChange(0, fall), rise);
    EXPECT_TRUE(timer.Out(0, rise));
    t = rise;
  }
  for (uint32_t pulse = 0; pulse < 3 * n; ++pulse)
    EXPECT_EQ(timer.Out(0, load + pulse * P + P / 2), pulse % n < high) << "pulse " << pulse;
}

std::string CountName(const ::testing::TestParamInfo<uint32_t>& info) {
  return "N" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(Counts, Mode3Test, ::testing::Values(2u, 3u, 4u, 5u, 20u, 40u, 41u),
                         CountName);

// Mode 1 on counter 1: OUT0 of a count-4 square wave loaded at 500 ns
// falls at 1500 ns and then every 2000 ns; counter 2's control word is the
// gate.
class OneShotTest : public TimerTest {
 protected:
  static constexpr uint64_t kClockPeriod = 4 * P;
  static uint64_t ClockFallAfter(uint64_t t) {  // next falling edge of OUT0 after t
    const uint64_t first = 3 * P;
    return t < first ? first : first + ((t - first) / kClockPeriod + 1) * kClockPeriod;
  }
  void SetUp() override {
    TimerTest::SetUp();
    timer.Write(3, 0x36, 0);
    Count(0, 4, 0);
    timer.Write(3, 0xB0, 0);  // OUT2 low
    timer.Write(3, 0x72, 0);
  }
  void Trigger(uint64_t t) {
    timer.Write(3, 0xB0, t);
    timer.Write(3, 0xB2, t);  // OUT2 rises: GATE1 rising edge
  }
};

class OneShotLength : public OneShotTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(OneShotLength, LowFromThePulseAfterTheTriggerForNPulses) {
  const uint32_t n = GetParam();
  Count(1, n, 0);
  EXPECT_TRUE(timer.Out(1, 100000));
  EXPECT_EQ(Status(1, 100000), 0xF2);  // waiting for a trigger: OUT high, NULL COUNT

  const uint64_t trigger = 100250;
  Trigger(trigger);
  const uint64_t low = ClockFallAfter(trigger);
  const uint64_t high = low + n * kClockPeriod;
  EXPECT_EQ(timer.NextOutChange(1, trigger), low);
  EXPECT_TRUE(timer.Out(1, low - 1));
  EXPECT_EQ(Status(1, low), 0x32);  // OUT low, count loaded
  EXPECT_EQ(timer.NextOutChange(1, low), high);
  EXPECT_FALSE(timer.Out(1, high - 1));
  EXPECT_EQ(Status(1, high), 0xB2);
  EXPECT_EQ(timer.NextOutChange(1, high), kNever);
}

INSTANTIATE_TEST_SUITE_P(Counts, OneShotLength, ::testing::Values(1u, 3u, 11u, 26u), CountName);

TEST_F(OneShotTest, RetriggerWhileLowRestartsTheCount) {
  Count(1, 3, 0);
  Trigger(4000);  // low at 5500, would end at 11500
  EXPECT_FALSE(timer.Out(1, 8000));
  Trigger(8000);  // reloads at 9500
  EXPECT_FALSE(timer.Out(1, 11500));
  EXPECT_EQ(timer.NextOutChange(1, 8000), 9500 + 3 * kClockPeriod);
}

TEST_F(OneShotTest, OnlyARisingGateEdgeTriggers) {
  Count(1, 3, 0);
  Trigger(4000);  // ends at 11500
  timer.Write(3, 0xB2, 20000);  // OUT2 already high: no edge
  EXPECT_EQ(timer.NextOutChange(1, 20000), kNever);
  timer.Write(3, 0xB0, 30000);  // falling edge
  EXPECT_EQ(timer.NextOutChange(1, 30000), kNever);
  EXPECT_TRUE(timer.Out(1, 1000000));
}

TEST_F(OneShotTest, NewCountWaitsForTheNextTrigger) {
  Count(1, 3, 0);
  Trigger(4000);               // low 5500 .. 11500
  Count(1, 5, 8000);           // during the shot
  EXPECT_EQ(timer.NextOutChange(1, 8000), 11500);
  EXPECT_EQ(Status(1, 12000), 0xF2);  // high again; the new count is not loaded yet
  Trigger(20000);                     // loads at 21500
  EXPECT_EQ(timer.NextOutChange(1, 21500), 21500 + 5 * kClockPeriod);
  EXPECT_EQ(Status(1, 21500), 0x32);
}

TEST_F(OneShotTest, ClockChangeMidShotKeepsThePulsesAlreadyCounted) {
  Count(1, 4, 0);
  Trigger(4000);  // low at 5500; two pulses pass by 9500
  timer.Write(3, 0x36, 10000);  // counter 0 restarts: OUT0 high, count 10 loads at 10500
  Count(0, 10, 10000);
  // OUT0 now falls at 10500 + 5 * 500 = 13000, then every 5000 ns; the two
  // pulses left end at 18000.
  EXPECT_EQ(timer.NextOutChange(1, 10000), 18000u);
}

TEST_F(TimerTest, ReadBackLatchesOnlyTheSelectedCounterAndKeepsTheFirstStatus) {
  timer.Write(3, 0x30, 0);
  Count(0, 10, 0);             // loads at 500, OUT0 high at 5500
  timer.Write(3, 0xE2, 1000);  // status of counter 0: OUT low, loaded
  timer.Write(3, 0xE2, 6000);  // ignored: the first status is unread
  EXPECT_EQ(timer.Read(0, 7000), 0x30);
  // Then the running count again, LSB and MSB: 10 - 13 pulses, wrapped.
  EXPECT_EQ(timer.Read(0, 7000), 0xFD);
  EXPECT_EQ(timer.Read(0, 7000), 0xFF);

  timer.Write(3, 0xE4, 8000);  // counter 1 only
  EXPECT_EQ(timer.Read(1, 8000), 0xC0);
  EXPECT_EQ(timer.Read(0, 8000), 0xFB);  // counter 0 gives its count: 10 - 15
}

TEST_F(TimerTest, ControlRegisterIsNotReadable) { EXPECT_EQ(timer.Read(3, 0), 0xFF); }

// The card's own sequence (counter 2 set up as a level, then per acquisition
// counter 2 low, counter 0 square wave, counter 1 one-shot, counter 2 high),
// twice in a row, at every divisor and one-shot length the card protocol
// uses, with the register accesses spaced as a slow and a fast bus make them.
// Counter 1 must go low at the first falling edge of OUT0 after the trigger
// and stay low for exactly `length` periods of OUT0.
TEST_F(TimerTest, CardSequenceAtEveryDivisorAndOneShotLength) {
  for (uint64_t step : {50u, 730u, 1000u}) {
    for (uint32_t divisor = 2; divisor <= 40; ++divisor) {
      for (uint32_t length = 11; length <= 26; ++length) {
        SCOPED_TRACE("step " + std::to_string(step) + " ns, divisor " + std::to_string(divisor) +
                     ", length " + std::to_string(length));
        timer.PowerOn(kWiring, 0);
        uint64_t t = 0;
        auto write = [&](uint8_t reg, uint8_t value) {
          t += step;
          timer.Write(reg, value, t);
        };
        write(3, 0xB0);
        write(2, 0x01);
        write(2, 0x00);
        for (int acquisition = 0; acquisition < 2; ++acquisition) {
          write(3, 0xB0);
          write(3, 0x36);
          write(0, static_cast<uint8_t>(divisor));
          write(0, 0x00);
          const uint64_t firstFall = LoadEdge(t) + (divisor + 1) / 2 * P;
          const uint64_t period = divisor * P;
          write(3, 0x72);
          write(1, static_cast<uint8_t>(length));
          write(1, 0x00);
          write(3, 0xB2);
          const uint64_t trigger = t;
          const uint64_t low =
              trigger < firstFall ? firstFall
                                  : firstFall + ((trigger - firstFall) / period + 1) * period;
          const uint64_t high = low + length * period;

          ASSERT_EQ(timer.NextOutChange(1, trigger), low);
          // OUT0 keeps its square wave through the burst: `length` falling
          // edges after the one that started it, the last one ending it.
          uint64_t falls = 0;
          for (uint64_t at = timer.NextOutChange(0, low); at <= high;
               at = timer.NextOutChange(0, at)) {
            if (timer.Out(0, at)) continue;
            ASSERT_EQ((at - firstFall) % period, 0u) << "OUT0 fell at " << at;
            ++falls;
          }
          EXPECT_EQ(falls, length);
          // The read-back the card protocol polls (each one is a write).
          EXPECT_EQ(Status(1, low - 1), 0xF2);
          EXPECT_EQ(Status(1, low), 0x32);
          ASSERT_EQ(timer.NextOutChange(1, low), high);
          EXPECT_EQ(Status(1, high - 1), 0x32);
          EXPECT_EQ(Status(1, high), 0xB2);
          EXPECT_EQ(timer.NextOutChange(1, high), kNever);
          t = high + step;
        }
      }
    }
  }
}

// --- Sequences beyond the card's, from the data-sheet text -------------------
//
// Counter 0 on a 500 ns clock and counter 1 on a 300 ns clock, both gated by
// OUT2; counter 2 has no clock, so its control word sets its OUT (0xB0 low,
// 0xB2 high). A row is a script of writes and of what the timer must show.

constexpr uint64_t P1 = 300;
constexpr sim::TimerWiring kGatedWiring = {{
    {sim::ClockInput::Fixed, P, 0, sim::GateInput::Counter, 2},
    {sim::ClockInput::Fixed, P1, 0, sim::GateInput::Counter, 2},
    {sim::ClockInput::None, 0, 0, sim::GateInput::High, 0},
}};

struct Step {
  enum Kind { kWrite, kCount, kCountByte, kOut, kStatus } kind;
  uint8_t target;   // register written, or the counter looked at
  uint16_t value;   // byte written, or what must be seen
  uint64_t t;
};

// A write to register `reg`.
Step W(uint8_t reg, uint8_t value, uint64_t t) { return {Step::kWrite, reg, value, t}; }
// The count a read-back count latch of `counter` gives, read LSB then MSB.
Step Count(uint8_t counter, uint16_t count, uint64_t t) {
  return {Step::kCount, counter, count, t};
}
// The same for a counter that reads one byte.
Step CountByte(uint8_t counter, uint8_t count, uint64_t t) {
  return {Step::kCountByte, counter, count, t};
}
Step Out(uint8_t counter, bool level, uint64_t t) { return {Step::kOut, counter, level, t}; }
Step Status(uint8_t counter, uint8_t status, uint64_t t) {
  return {Step::kStatus, counter, status, t};
}

struct ScriptCase {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class DataSheetTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(DataSheetTest, TimerFollowsTheScript) {
  sim::Timer8254 timer{};
  timer.PowerOn(kGatedWiring, 0);
  const std::vector<Step>& steps = GetParam().steps;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE("step " + std::to_string(i) + " at " + std::to_string(s.t) + " ns");
    const uint8_t counter = s.target;
    switch (s.kind) {
      case Step::kWrite:
        timer.Write(s.target, static_cast<uint8_t>(s.value), s.t);
        break;
      case Step::kCount: {
        timer.Write(3, static_cast<uint8_t>(0xD0 | 2 << counter), s.t);
        uint8_t lsb = timer.Read(counter, s.t);
        uint8_t msb = timer.Read(counter, s.t);
        EXPECT_EQ(lsb | msb << 8, s.value);
        break;
      }
      case Step::kCountByte:
        timer.Write(3, static_cast<uint8_t>(0xD0 | 2 << counter), s.t);
        EXPECT_EQ(timer.Read(counter, s.t), s.value);
        break;
      case Step::kOut:
        EXPECT_EQ(timer.Out(counter, s.t), s.value != 0);
        break;
      case Step::kStatus:
        timer.Write(3, static_cast<uint8_t>(0xE0 | 2 << counter), s.t);
        EXPECT_EQ(timer.Read(counter, s.t), s.value);
        break;
    }
  }
}

// Modes 0 and 4: "the initial count will be loaded on the next CLK pulse";
// GATE = 0 disables counting, not the load. A count written under GATE low
// is loaded all the same (NULL COUNT clears), and OUT goes high N pulses
// after GATE rises (mode 0), or strobes low N pulses after it (mode 4).
INSTANTIATE_TEST_SUITE_P(
    LoadUnderGateLow, DataSheetTest,
    ::testing::Values(
        ScriptCase{"Mode0Count3",
                   {W(3, 0xB0, 0), W(3, 0x30, 0), W(0, 3, 100), W(0, 0, 100),
                    Status(0, 0x70, 100),  // OUT low, NULL COUNT
                    Status(0, 0x30, 600),  // loaded at 500
                    Count(0, 3, 600), Count(0, 3, 1900),
                    W(3, 0xB2, 2100),  // GATE rises; pulses at 2500, 3000, 3500
                    Out(0, false, 3499), Out(0, true, 3500)}},
        ScriptCase{"Mode0Count1",
                   {W(3, 0xB0, 0), W(3, 0x30, 0), W(0, 1, 100), W(0, 0, 100), W(3, 0xB2, 1100),
                    Out(0, false, 1499), Out(0, true, 1500)}},
        ScriptCase{"Mode4Count3",  // counter 1, LSB only
                   {W(3, 0xB0, 0), W(3, 0x58, 0), W(1, 3, 100),
                    Status(1, 0x98, 400),  // OUT high, loaded at 300
                    CountByte(1, 3, 400),
                    W(3, 0xB2, 1000),  // pulses at 1200, 1500, 1800
                    Out(1, true, 1799), Out(1, false, 1800), Out(1, true, 2100)}},
        ScriptCase{"Mode0GateLowMidCount",  // GATE low stops the count where it is
                   {W(3, 0xB2, 0), W(3, 0x30, 0), W(0, 5, 0), W(0, 0, 0), W(3, 0xB0, 1600),
                    Count(0, 3, 3000), W(3, 0xB2, 3100), Out(0, false, 4499),
                    Out(0, true, 4500)}}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

// "If the count is latched or read before this time [the load into the count
// element], the count value will not reflect the new count just written":
// a count read is the counting element, also while no load is in effect or
// one is pending.
INSTANTIATE_TEST_SUITE_P(
    ReadTheCountElement, DataSheetTest,
    ::testing::Values(
        // Mode 0, two-byte count: writing the first byte disables counting
        // and sets OUT low; the second byte loads on the next pulse.
        ScriptCase{"Mode0FirstByte",
                   {W(3, 0xB2, 0), W(3, 0x30, 0), W(0, 0x15, 0), W(0, 0, 0),  // 0x15 at 500
                    W(0, 0x01, 1200), Count(0, 0x14, 1200), Out(0, false, 1200),
                    Count(0, 0x14, 5000), W(0, 0x00, 5200), Status(0, 0x70, 5200),
                    Count(0, 0x14, 5400), Count(0, 1, 5600), Out(0, true, 6000)}},
        // Mode 1: a retrigger reloads on the next pulse; until then the
        // element goes on with the running shot.
        ScriptCase{"Mode1Retrigger",
                   {W(3, 0xB0, 0), W(3, 0x72, 0), W(1, 5, 0), W(1, 0, 0),
                    W(3, 0xB2, 100),  // 5 at 300, then 4, 3 at 900
                    W(3, 0xB0, 1000), W(3, 0xB2, 1000), Count(1, 3, 1000), Count(1, 3, 1100),
                    Out(1, false, 1100), Count(1, 5, 1250), Out(1, false, 2699),
                    Out(1, true, 2700)}},
        // Mode 3: GATE = 0 disables counting and sets OUT high; a trigger
        // reloads the count on the next pulse.
        ScriptCase{"Mode3GateLow",
                   {W(3, 0xB2, 0), W(3, 0x36, 0), W(0, 8, 0), W(0, 0, 0),  // 8 at 500, 6 at 1000
                    W(3, 0xB0, 1200), Count(0, 6, 1200), Count(0, 6, 5000), Out(0, true, 5000),
                    W(3, 0xB2, 5100), Count(0, 6, 5400), Count(0, 8, 5600), Out(0, true, 7499),
                    Out(0, false, 7500)}},
        // Mode 2: "if the Counter is reloaded between output pulses, the
        // present period will not be affected".
        ScriptCase{"Mode2NewCountMidPeriod",
                   {W(3, 0xB2, 0), W(3, 0x34, 0), W(0, 10, 0), W(0, 0, 0),  // 10 at 500
                    W(0, 4, 2100), W(0, 0, 2100), Count(0, 7, 2100), Count(0, 6, 2600),
                    Out(0, true, 4999), Out(0, false, 5000),  // the period's last pulse
                    Count(0, 1, 5100), Status(0, 0x74, 5100),  // OUT low, NULL COUNT
                    Out(0, true, 5500), Count(0, 4, 5600), Status(0, 0xB4, 5600),
                    Out(0, true, 6999), Out(0, false, 7000)}},
        // Mode 3: a new count is loaded at the end of the current half-cycle.
        ScriptCase{"Mode3NewCountMidHalfCycle",
                   {W(3, 0xB2, 0), W(3, 0x36, 0), W(0, 8, 0), W(0, 0, 0),  // 8 at 500
                    W(0, 4, 1200), W(0, 0, 1200), Count(0, 6, 1200), Count(0, 4, 1600),
                    Count(0, 2, 2100), Out(0, true, 2499), Out(0, false, 2500),
                    Count(0, 4, 2600), Out(0, false, 3499), Out(0, true, 3500)}}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

// Modes 1 and 5: "a trigger results in loading the Counter ... on the next
// CLK pulse", and counter loading is the transfer from the count register:
// a count written after the trigger but before that pulse is the one loaded.
INSTANTIATE_TEST_SUITE_P(
    LoadAfterTrigger, DataSheetTest,
    ::testing::Values(
        ScriptCase{"Mode1LsbOnly",  // counter 0; everything before the pulse at 500
                   {W(3, 0xB0, 0), W(3, 0x12, 0), W(0, 0xFF, 100), W(3, 0xB2, 100),
                    W(0, 0x01, 100), Status(0, 0xD2, 200), Out(0, false, 500),
                    CountByte(0, 1, 600), Out(0, false, 999), Out(0, true, 1000),
                    Status(0, 0x92, 1000)}},
        ScriptCase{"Mode1TwoBytes",  // counter 1; the trigger at 1000, the pulse at 1200
                   {W(3, 0xB0, 0), W(3, 0x72, 0), W(1, 5, 0), W(1, 0, 0), W(3, 0xB2, 1000),
                    W(1, 2, 1100), W(1, 0, 1100), Count(1, 2, 1250), Out(1, false, 1799),
                    Out(1, true, 1800)}},
        ScriptCase{"Mode5",  // strobes low N + 1 pulses after the trigger
                   {W(3, 0xB0, 0), W(3, 0x5A, 0), W(1, 5, 0), W(3, 0xB2, 1000), W(1, 2, 1100),
                    Out(1, true, 1799), Out(1, false, 1800), Out(1, true, 2100)}}),
    [](const ::testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

}  // namespace
