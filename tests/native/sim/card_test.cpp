// The card through its ports: register map, floating bus, and whole clock
// bursts run with the card protocol's register sequence on a virtual clock.
#include <gtest/gtest.h>

#include <string>

#include "../encoder_settings.h"
#include "card.h"

namespace {

constexpr uint16_t kBase = sim::kDefaultAddress;

uint32_t Gray(uint32_t v) { return v ^ (v >> 1); }

// What the receiver samples at the falling edges of a burst of "pulses"
// clock pulses to a freshly idle encoder: the idle-high line, then the word
// MSB first, then the low bit after the LSB, then the word again.
uint32_t SampledWord(uint8_t bits, uint32_t word, unsigned pulses, bool plugged) {
  uint64_t value = 1;
  for (unsigned k = 1; k < pulses; ++k) {
    unsigned slot = (k - 1) % (bits + 1u);
    unsigned bit = slot < bits ? (word >> (bits - 1 - slot)) & 1 : 0;
    value = (value << 1) | (plugged ? bit : 1);
  }
  return static_cast<uint32_t>(value) & sim::kReceiveMask;
}

struct Burst {
  uint32_t word;       // data registers 4-6 and bit 0 of register 7
  uint64_t triggerAt;  // the 0xB2 write
  uint64_t lowAt;      // first read-back that found counter 1's OUT low
  uint64_t highAt;     // first read-back that found it high again
};

class CardTest : public ::testing::Test {
 protected:
  void Start(const SimCardSettings& settings, uint64_t stepNs = sim::kBusCycleNs) {
    clock = {0, stepNs};
    card.Reset(settings, sim::VirtualTime(&clock));
    startedAt = clock.ns;
  }
  void StartWith(const SimEncoderSettings& encoder, unsigned channel = 1,
                 uint64_t stepNs = sim::kBusCycleNs) {
    SimCardSettings s = sim::DefaultCardSettings();
    s.encoder[channel - 1] = encoder;
    Start(s, stepNs);
  }
  uint8_t Rd(uint8_t reg) { return card.Read(static_cast<uint16_t>(kBase + reg)); }
  void Wr(uint8_t reg, uint8_t value) { card.Write(static_cast<uint16_t>(kBase + reg), value); }

  // The card protocol's acquisition, register for register.
  Burst Acquire(unsigned channel, uint8_t resolution, uint8_t divisor) {
    Burst b{};
    Wr(7, static_cast<uint8_t>(channel - 1));
    Wr(3, 0xB0);
    Wr(3, 0x36);
    Wr(0, divisor);
    Wr(0, 0);
    Wr(3, 0x72);
    Wr(1, static_cast<uint8_t>(resolution + 1));
    Wr(1, 0);
    Wr(3, 0xB2);
    b.triggerAt = clock.ns;
    b.lowAt = PollUntil(false);
    b.highAt = PollUntil(true);
    b.word = Rd(4) | Rd(5) << 8 | Rd(6) << 16 | (Rd(7) & 1u) << 24;
    return b;
  }
  uint64_t PollUntil(bool high) {
    for (int i = 0; i < 2000000; ++i) {
      Wr(3, 0xE4);
      uint64_t latchedAt = clock.ns;
      if (((Rd(1) & 0x80) != 0) == high) return latchedAt;
    }
    ADD_FAILURE() << "counter 1 never went " << (high ? "high" : "low");
    return 0;
  }
  bool Latch(unsigned channel, uint64_t* at = nullptr, uint32_t* position = nullptr) {
    return card.LastLatch(channel, at, position);
  }

  sim::VirtualClock clock{};
  sim::Card card{};
  uint64_t startedAt = 0;
};

// --- Register map and bus ---------------------------------------------------

TEST_F(CardTest, Register7ReadCarriesZeroInputsAndFloatingHighBits) {
  for (uint8_t inputs = 0; inputs < 16; ++inputs) {
    SimCardSettings s = sim::DefaultCardSettings();
    s.zeroInputs = inputs;
    Start(s);
    EXPECT_EQ(Rd(7), 0xE0 | inputs << 1) << "inputs " << int(inputs);
  }
  card.SetZeroInput(3, false);
  card.SetZeroInput(1, false);
  EXPECT_EQ(Rd(7), 0xE0 | 0x0A << 1);
}

TEST_F(CardTest, Register7WriteSelectsTheClockedChannelAndHoldsTheOutputs) {
  for (unsigned channel = 1; channel <= 4; ++channel) {
    Start(sim::DefaultCardSettings());
    Wr(7, 0xFC);  // all outputs on; overwritten by the acquisition's select
    Acquire(channel, 13, 2);
    EXPECT_EQ(card.ControlRegister(), channel - 1);
    for (unsigned other = 1; other <= 4; ++other)
      EXPECT_EQ(Latch(other), other == channel) << "channel " << channel << ", encoder " << other;
  }
  Wr(7, 0xA7);
  EXPECT_EQ(card.ControlRegister(), 0xA7);
}

TEST_F(CardTest, DataRegistersIgnoreWrites) {
  StartWith(Encoder(13, SIM_CODE_BINARY, 0x1234));
  Burst b = Acquire(1, 13, 2);
  Wr(4, 0x00);
  Wr(5, 0x00);
  Wr(6, 0x00);
  EXPECT_EQ(Rd(4) | Rd(5) << 8 | Rd(6) << 16, b.word);
}

TEST_F(CardTest, PortsOutsideTheCardFloat) {
  Start(sim::DefaultCardSettings());
  for (uint16_t port : {uint16_t{kBase - 1}, uint16_t{kBase + 8}, uint16_t{0}, uint16_t{0xFFFF}})
    EXPECT_EQ(card.Read(port), 0xFF) << port;
  card.Write(kBase + 8, 0x01);  // not register 7
  EXPECT_EQ(card.ControlRegister(), 0);
}

TEST_F(CardTest, JumperAddressMovesAllEightPorts) {
  SimCardSettings s = sim::DefaultCardSettings();
  s.address = 0x300;
  s.zeroInputs = 0x1;
  Start(s);
  EXPECT_EQ(card.Read(0x307), 0xE2);
  EXPECT_EQ(card.Read(0x107), 0xFF);
  card.SetAddress(0x2F8, true);
  EXPECT_EQ(card.Read(0x2FF), 0xE2);
  EXPECT_EQ(card.Read(0x307), 0xFF);
}

TEST_F(CardTest, AbsentCardFloatsSwallowsWritesAndNeverEndsABurst) {
  SimCardSettings s = sim::DefaultCardSettings();
  s.present = 0;
  Start(s);
  for (uint8_t reg = 0; reg < 8; ++reg) EXPECT_EQ(Rd(reg), 0xFF) << int(reg);
  Wr(7, 0x5D);
  Wr(3, 0xB0);
  Wr(3, 0x36);
  Wr(0, 2);
  Wr(0, 0);
  Wr(3, 0x72);
  Wr(1, 14);
  Wr(1, 0);
  Wr(3, 0xB2);
  for (int i = 0; i < 1000; ++i) {
    Wr(3, 0xE4);
    ASSERT_EQ(Rd(1), 0xFF);
  }
  card.SetAddress(kBase, true);
  EXPECT_EQ(card.ControlRegister(), 0);
  EXPECT_FALSE(Latch(2));
  Wr(3, 0xE4);
  EXPECT_EQ(Rd(1), 0xC0);  // the timer was never programmed
}

// --- Clock bursts -------------------------------------------------------------

struct TimingCase {
  uint8_t resolution;
  uint8_t divisor;
};

class BurstTiming : public CardTest, public ::testing::WithParamInterface<TimingCase> {};

// Polling at 50 ns per access, each read-back is 100 ns after the previous.
TEST_P(BurstTiming, Counter1LowForResolutionPlusOneClocksFromTheLatch) {
  const TimingCase& c = GetParam();
  StartWith(Encoder(25, SIM_CODE_BINARY, 0), 1, 50);
  Burst b = Acquire(1, c.resolution, c.divisor);
  const int64_t period = c.divisor * 500;
  const int64_t length = static_cast<int64_t>(b.highAt - b.lowAt);
  EXPECT_NEAR(length, (c.resolution + 1) * period, 100);
  EXPECT_LE(b.lowAt - b.triggerAt, static_cast<uint64_t>(period + 100));
  uint64_t latchedAt = 0;
  ASSERT_TRUE(Latch(1, &latchedAt));
  EXPECT_GT(latchedAt, b.lowAt - 100);  // the first falling clock edge
  EXPECT_LE(latchedAt, b.lowAt);
}

INSTANTIATE_TEST_SUITE_P(Clocks, BurstTiming,
                         ::testing::Values(TimingCase{10, 2}, TimingCase{13, 4}, TimingCase{16, 5},
                                           TimingCase{24, 10}, TimingCase{25, 20},
                                           TimingCase{25, 40}, TimingCase{12, 7}),
                         [](const ::testing::TestParamInfo<TimingCase>& info) {
                           return std::to_string(info.param.resolution) + "bits_divisor" +
                                  std::to_string(info.param.divisor);
                         });

struct WordCase {
  const char* name;
  SimEncoderSettings encoder;
  uint8_t resolution;  // the burst has resolution + 1 pulses
};

class BurstWord : public CardTest, public ::testing::WithParamInterface<WordCase> {};

// From power-on the receive register is 0, so the whole 25-bit word is
// known: what the burst shifted in, above it zeros.
TEST_P(BurstWord, ReceiveRegisterHoldsTheSampledLine) {
  const WordCase& c = GetParam();
  StartWith(c.encoder, 2);
  uint32_t word = c.encoder.code == SIM_CODE_GRAY ? Gray(c.encoder.position) : c.encoder.position;
  Burst b = Acquire(2, c.resolution, 4);
  EXPECT_EQ(b.word, SampledWord(c.encoder.bits, word, c.resolution + 1u, c.encoder.plugged))
      << std::hex << b.word;
}

INSTANTIATE_TEST_SUITE_P(
    Words, BurstWord,
    ::testing::Values(
        // 0x3ABC: the idle-high bit above the word
        WordCase{"Binary13", Encoder(13, SIM_CODE_BINARY, 0x1ABC), 13},
        WordCase{"Gray13", Encoder(13, SIM_CODE_GRAY, 0x1ABC), 13},
        WordCase{"Binary10AllOnes", Encoder(10, SIM_CODE_BINARY, 0x3FF), 10},
        // 26 pulses: the idle bit falls off the top
        WordCase{"Binary25", Encoder(25, SIM_CODE_BINARY, 0x1234567), 25},
        WordCase{"Gray25AllOnes", Encoder(25, SIM_CODE_GRAY, 0x1FFFFFF), 25},
        // more pulses than bits: the low bit after the LSB, then the word again
        WordCase{"Binary13ClockedFor25", Encoder(13, SIM_CODE_BINARY, 0x1ABC), 25},
        // fewer: the burst stops mid-word
        WordCase{"Binary25ClockedFor12", Encoder(25, SIM_CODE_BINARY, 0x1234567), 12},
        WordCase{"Unplugged13", Encoder(13, SIM_CODE_BINARY, 0, 0, false), 13},
        WordCase{"Unplugged25", Encoder(25, SIM_CODE_GRAY, 0, 0, false), 25}),
    [](const ::testing::TestParamInfo<WordCase>& info) { return std::string(info.param.name); });

TEST_F(CardTest, RegisterAlignmentForOneExampleWord) {
  StartWith(Encoder(13, SIM_CODE_BINARY, 0x1ABC));
  EXPECT_EQ(Acquire(1, 13, 2).word, 0x3ABCu);
}

TEST_F(CardTest, MovingEncoderSendsItsPositionAtTheLatch) {
  const int32_t speed = 123457;
  StartWith(Encoder(20, SIM_CODE_GRAY, 777, speed));
  for (int round = 0; round < 3; ++round) {
    clock.ns += 1000000;  // well past the monoflop time
    Burst b = Acquire(1, 20, 20);
    uint64_t latchedAt = 0;
    ASSERT_TRUE(Latch(1, &latchedAt));
    ASSERT_GT(latchedAt, b.triggerAt);
    ASSERT_LE(latchedAt, b.lowAt);
    uint32_t expected = (777 + static_cast<uint64_t>(speed) * (latchedAt - startedAt) / 1000000000) &
                        0xFFFFF;
    EXPECT_EQ(b.word & 0x1FFFFF, (1u << 20) | Gray(expected)) << "round " << round;
  }
}

// Back to back at bus speed the next burst starts inside the monoflop time:
// the encoder repeats its old word, and the bit above it is the low line.
TEST_F(CardTest, BurstInsideTheMonoflopTimeRepeatsTheOldValue) {
  StartWith(Encoder(13, SIM_CODE_BINARY, 100, 1000000));  // one count per microsecond
  Burst first = Acquire(1, 13, 2);
  uint64_t firstLatch = 0;
  ASSERT_TRUE(Latch(1, &firstLatch));
  EXPECT_EQ(first.word & 0x3FFF, 0x2000u | (first.word & 0x1FFF));

  Burst repeat = Acquire(1, 13, 2);
  uint64_t latch = 0;
  Latch(1, &latch);
  EXPECT_EQ(latch, firstLatch);
  EXPECT_EQ(repeat.word & 0x3FFF, first.word & 0x1FFF);

  clock.ns += 2 * sim::kMonoflopNs;
  Burst fresh = Acquire(1, 13, 2);
  uint32_t position = 0;
  Latch(1, &latch, &position);
  EXPECT_GT(latch, firstLatch);
  EXPECT_EQ(fresh.word & 0x3FFF, 0x2000u | position);
  EXPECT_NE(position, first.word & 0x1FFF);
}

// --- The C interface ----------------------------------------------------------

TEST(SimCardC, DefaultsAndSteeringReachTheOneCard) {
  sim::VirtualClock clock{0, sim::kBusCycleNs};
  SimCard_Reset(nullptr, sim::VirtualClockNow, &clock);
  EXPECT_EQ(SimCard_Read(0x107), 0xE0);
  SimCard_SetZeroInput(4, 1);
  EXPECT_EQ(SimCard_Read(0x107), 0xE0 | 0x10);
  SimCard_Write(0x107, 0x0E);
  EXPECT_EQ(SimCard_ControlRegister(), 0x0E);

  SimEncoderSettings moving = Encoder(16, SIM_CODE_BINARY, 65530, 1000000);
  SimCard_SetEncoder(2, &moving);  // clock reading 4 (the accesses above took 3)
  clock.ns += 9000;                // the settings read below is at +10 us
  SimCardSettings s{};
  SimCard_GetSettings(&s);
  EXPECT_EQ(s.address, 0x100);
  EXPECT_EQ(s.present, 1);
  EXPECT_EQ(s.zeroInputs, 0x8);
  EXPECT_EQ(s.encoder[1].position, 4u);  // 65530 + 10, wrapped at 2^16
  EXPECT_EQ(s.encoder[0].bits, 25);
  EXPECT_EQ(SimCard_LastLatch(2, nullptr, nullptr), 0);

  SimCard_SetAddress(0x100, 0);
  EXPECT_EQ(SimCard_Read(0x107), 0xFF);
}

}  // namespace
