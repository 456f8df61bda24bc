// The timer against the 8254 data sheet, wired as on the card: counter 0 on
// a 2 MHz clock, counter 1 clocked by OUT0 and gated by OUT2, counter 2
// without a clock. A CLK pulse ends with its falling edge; the 2 MHz edges
// fall at multiples of 500 ns.
#include <gtest/gtest.h>

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

}  // namespace
