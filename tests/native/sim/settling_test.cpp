// Bounded settling against edge-by-edge delivery: two cards with the same
// settings on the same virtual clock take the same register accesses, one
// skipping the periods that cannot change the outcome, one delivering every
// clock edge; every read and the encoders' latches must agree. Gaps are kept
// short enough for the edge-by-edge card. Then the cost: a gap of a virtual
// hour with the clock line running takes the steps a millisecond takes.
#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <string>
#include <vector>

#include "../encoder_settings.h"
#include "card.h"

namespace {

constexpr uint16_t kBase = sim::kDefaultAddress;
constexpr uint64_t kUs = 1000;
constexpr uint64_t kMs = 1000 * kUs;

// Catching up with the clock line must stay far below this in every case
// here; the port driver's own limit is larger.
constexpr uint32_t kFewSteps = 600;

class TwoCards {
 public:
  explicit TwoCards(const SimCardSettings& settings) {
    clock_[0] = clock_[1] = {0, sim::kBusCycleNs};
    card_[0].Reset(settings, sim::VirtualTime(&clock_[0]));
    card_[1].Reset(settings, sim::VirtualTime(&clock_[1]));
    card_[1].SetSettling(sim::Settling::EdgeByEdge);
  }

  void Write(uint8_t reg, uint8_t value) {
    for (sim::Card& card : card_) card.Write(static_cast<uint16_t>(kBase + reg), value);
    Track();
  }
  // Reads the register from both; false (with a failure) when they differ.
  bool Read(uint8_t reg, const std::string& where) {
    uint8_t bounded = card_[0].Read(static_cast<uint16_t>(kBase + reg));
    uint8_t reference = card_[1].Read(static_cast<uint16_t>(kBase + reg));
    Track();
    EXPECT_EQ(int(bounded), int(reference)) << where << ": register " << int(reg);
    return bounded == reference;
  }
  // The four data registers and register 7, then every channel's latch.
  bool Compare(const std::string& where) {
    bool same = true;
    for (uint8_t reg = 4; reg < 8; ++reg) same = Read(reg, where) && same;
    for (unsigned ch = 1; ch <= SIM_CHANNELS; ++ch) {
      uint64_t at[2] = {0, 0};
      uint32_t position[2] = {0, 0};
      bool latched[2];
      for (int i = 0; i < 2; ++i) latched[i] = card_[i].LastLatch(ch, &at[i], &position[i]);
      EXPECT_TRUE(latched[0] == latched[1] && at[0] == at[1] && position[0] == position[1])
          << where << ": channel " << ch << " latched " << latched[0] << "/" << latched[1]
          << " at " << at[0] << "/" << at[1] << " position " << position[0] << "/" << position[1];
      same = same && latched[0] == latched[1] && at[0] == at[1] && position[0] == position[1];
    }
    return same;
  }
  void Wait(uint64_t ns) {
    clock_[0].ns += ns;
    clock_[1].ns += ns;
  }
  uint32_t MaxSteps() const { return maxSteps_; }
  uint32_t Overruns() const { return card_[0].Overruns(); }

 private:
  void Track() {
    if (card_[0].SettleSteps() > maxSteps_) maxSteps_ = card_[0].SettleSteps();
  }

  sim::VirtualClock clock_[2];
  sim::Card card_[2];
  uint32_t maxSteps_ = 0;
};

SimCardSettings OnChannel(unsigned channel, const SimEncoderSettings& encoder) {
  SimCardSettings s = sim::DefaultCardSettings();
  s.encoder[channel - 1] = encoder;
  return s;
}

// Counter 0's square wave at 2000 / divisor kHz (mode 3, LSB then MSB).
void ClockWave(TwoCards& cards, uint16_t divisor) {
  cards.Write(3, 0x36);
  cards.Write(0, static_cast<uint8_t>(divisor));
  cards.Write(0, static_cast<uint8_t>(divisor >> 8));
}

// The line left running: counter 2's OUT (counter 1's gate) low, counter 1
// in mode 0 with count 0, so that its OUT goes low and, its gate being low,
// stays low; counter 0's wave then is the line.
void RunningLine(TwoCards& cards, unsigned channel, uint16_t divisor) {
  cards.Write(7, static_cast<uint8_t>(channel - 1));
  cards.Write(3, 0xB0);
  cards.Write(3, 0x70);
  cards.Write(1, 0);
  cards.Write(1, 0);
  ClockWave(cards, divisor);
}

// Counter 1 as a periodic gate of the wave (mode 2: 0x74, mode 3: 0x76) with
// counter 2's OUT high: bursts of counter 0 pulses, one per counter 1 period.
void PeriodicBursts(TwoCards& cards, unsigned channel, uint16_t divisor, uint8_t mode,
                    uint16_t count) {
  cards.Write(7, static_cast<uint8_t>(channel - 1));
  cards.Write(3, 0xB2);
  ClockWave(cards, divisor);
  cards.Write(3, mode);
  cards.Write(1, static_cast<uint8_t>(count));
  cards.Write(1, static_cast<uint8_t>(count >> 8));
}

// The card protocol's acquisition, register for register, with the status
// polls left to a fixed number of read-backs.
void Acquisition(TwoCards& cards, unsigned channel, uint8_t resolution, uint8_t divisor,
                 int polls, const std::string& where) {
  cards.Write(7, static_cast<uint8_t>(channel - 1));
  cards.Write(3, 0xB0);
  ClockWave(cards, divisor);
  cards.Write(3, 0x72);
  cards.Write(1, static_cast<uint8_t>(resolution + 1));
  cards.Write(1, 0);
  cards.Write(3, 0xB2);
  for (int i = 0; i < polls; ++i) {
    cards.Write(3, 0xE4);
    cards.Read(1, where);
  }
  cards.Compare(where);
}

// Gaps from a bus cycle to tens of milliseconds; the odd ones land at every
// phase of the wave.
const uint64_t kGaps[] = {0, 700, 3 * kUs, 19 * kUs, 21 * kUs, 333 * kUs, 2 * kMs + 1234, 17 * kMs};

// --- The line left running -----------------------------------------------------

struct RunningCase {
  uint16_t divisor;
  const char* name;
};

class RunningLineSettling : public ::testing::TestWithParam<RunningCase> {};

// Every resolution and code, plugged and not, moving: after each gap the
// receive register and the latches agree with edge-by-edge delivery.
TEST_P(RunningLineSettling, EveryResolutionAndCodeAgreesWithEdgeByEdge) {
  const RunningCase& c = GetParam();
  for (uint8_t bits = 1; bits <= sim::kMaxEncoderBits; ++bits) {
    for (uint8_t code : {SIM_CODE_GRAY, SIM_CODE_BINARY}) {
      for (bool plugged : {true, false}) {
        const uint32_t position = 0x1A5B3C7u & ((1u << bits) - 1);
        TwoCards cards(OnChannel(3, Encoder(bits, code, position, 98765, plugged)));
        RunningLine(cards, 3, c.divisor);
        for (uint64_t gap : kGaps) {
          cards.Wait(gap);
          std::string where = std::to_string(bits) + " bits, code " + std::to_string(code) +
                              (plugged ? "" : ", unplugged") + ", after a gap of " +
                              std::to_string(gap) + " ns";
          if (!cards.Compare(where)) return;
        }
        EXPECT_LE(cards.MaxSteps(), kFewSteps);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, RunningLineSettling,
    ::testing::Values(RunningCase{2, "1000kHz"},         // 0.5 us halves
                      RunningCase{3, "667kHzOddCount"},  // 1 us high, 0.5 us low
                      RunningCase{40, "50kHz"},          // 10 us halves
                      RunningCase{79, "OddCountHalvesAroundTheMonoflop"},  // 20 us, 19.5 us
                      RunningCase{81, "HighHalfOverTheMonoflop"},          // 20.5 us, 20 us
                      RunningCase{400, "5kHz"}),         // 100 us halves: every pulse latches
    [](const ::testing::TestParamInfo<RunningCase>& info) { return std::string(info.param.name); });

// The line running and then stopped and restarted by control words while the
// encoder is in the middle of its word.
TEST(Settling, RunningLineStoppedAndRestartedMidWord) {
  TwoCards cards(OnChannel(1, Encoder(17, SIM_CODE_GRAY, 0x1F0F0, -54321)));
  for (uint64_t gap : kGaps) {
    RunningLine(cards, 1, 2);
    cards.Wait(gap + 7 * kUs);
    cards.Compare("running " + std::to_string(gap));
    cards.Write(3, 0x72);  // counter 1's OUT high: the line stops high
    cards.Wait(gap / 3);
    cards.Compare("stopped " + std::to_string(gap));
  }
}

// --- Bursts --------------------------------------------------------------------

struct BurstCase {
  const char* name;
  uint16_t divisor;
  uint8_t mode;    // counter 1's control word
  uint16_t count;  // counter 1's period in counter 0 pulses
};

class PeriodicBurstSettling : public ::testing::TestWithParam<BurstCase> {};

// Counter 1 running periodically: bursts whose pauses lie inside the
// monoflop time (the encoder keeps sending its word across them) or outside
// it (it latches afresh at each burst).
TEST_P(PeriodicBurstSettling, AgreesWithEdgeByEdge) {
  const BurstCase& c = GetParam();
  for (uint8_t bits : {1, 10, 13, 24, 25}) {
    for (uint8_t code : {SIM_CODE_GRAY, SIM_CODE_BINARY}) {
      TwoCards cards(OnChannel(2, Encoder(bits, code, 0xABCDE & ((1u << bits) - 1), 250000)));
      PeriodicBursts(cards, 2, c.divisor, c.mode, c.count);
      for (uint64_t gap : kGaps) {
        cards.Wait(gap);
        if (!cards.Compare(std::to_string(bits) + " bits, code " + std::to_string(code) +
                           ", gap " + std::to_string(gap)))
          return;
      }
      EXPECT_LE(cards.MaxSteps(), kFewSteps);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, PeriodicBurstSettling,
    ::testing::Values(
        BurstCase{"Mode3PausesInsideTheMonoflop", 2, 0x76, 7},      // 3 pulses, 4 us pause
        BurstCase{"Mode3PausesJustInside", 2, 0x76, 40},           // 20 pulses, 19.5 us
        BurstCase{"Mode3PausesJustOutside", 2, 0x76, 42},          // 21 pulses, 20.5 us
        BurstCase{"Mode3LongBursts", 2, 0x76, 1000},               // 500 pulses
        BurstCase{"Mode3LongestBursts", 2, 0x76, 0},               // 32768 pulses
        BurstCase{"Mode2OnePulseInsideTheMonoflop", 4, 0x74, 9},   // pause 16 us
        BurstCase{"Mode2OnePulseOutside", 4, 0x74, 12},            // pause 22 us
        BurstCase{"Mode3SlowWave", 41, 0x76, 5},                   // 2 pulses of 20.5 us
        BurstCase{"Mode3BurstLikeAWord", 20, 0x76, 53}),           // 26 pulses at 100 kHz
    [](const ::testing::TestParamInfo<BurstCase>& info) { return std::string(info.param.name); });

// The card protocol's acquisitions back to back (inside the monoflop time:
// the old word again) and after pauses (a new latch).
TEST(Settling, AcquisitionsInsideAndOutsideTheMonoflopTime) {
  for (uint8_t bits = 10; bits <= 25; ++bits) {
    for (uint8_t code : {SIM_CODE_GRAY, SIM_CODE_BINARY}) {
      TwoCards cards(OnChannel(4, Encoder(bits, code, 12345 & ((1u << bits) - 1), 1000000)));
      for (uint64_t gap : kGaps) {
        for (uint8_t divisor : {2, 20, 40}) {
          std::string where = std::to_string(bits) + " bits, code " + std::to_string(code) +
                              ", divisor " + std::to_string(divisor) + ", gap " + std::to_string(gap);
          Acquisition(cards, 4, bits, divisor, 3, where);
          cards.Wait(gap);
          cards.Compare(where + ", later");
        }
      }
    }
  }
}

// --- Anything a program may write ---------------------------------------------

// Random programming of the timer, whole (a control word and its count) or
// byte by byte, random channel selects, random pauses, with reads in
// between: whatever a program writes, the same answers.
TEST(Settling, RandomProgrammingAgreesWithEdgeByEdge) {
  std::mt19937 random(20261211);
  auto below = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  for (int round = 0; round < 1500; ++round) {
    SimCardSettings s = sim::DefaultCardSettings();
    for (int ch = 0; ch < SIM_CHANNELS; ++ch)
      s.encoder[ch] = Encoder(static_cast<uint8_t>(1 + below(25)), static_cast<uint8_t>(below(2)),
                              below(1u << 25), static_cast<int32_t>(below(2000001)) - 1000000,
                              below(8) != 0);
    TwoCards cards(s);
    for (int step = 0; step < 40; ++step) {
      std::string where = "round " + std::to_string(round) + ", step " + std::to_string(step);
      switch (below(7)) {
        case 0:
        case 1: {
          // Counter 0, 1 or 2 in any mode, LSB then MSB; counts small
          // mostly, so that the line runs fast and long.
          uint8_t counter = static_cast<uint8_t>(below(3));
          uint8_t mode = static_cast<uint8_t>(below(2) ? 2 + below(2) : below(6));
          uint32_t count = below(2) ? 2 + below(10) : below(4) ? below(100) : below(65536);
          cards.Write(3, static_cast<uint8_t>(counter << 6 | 0x30 | mode << 1));
          cards.Write(counter, static_cast<uint8_t>(count));
          cards.Write(counter, static_cast<uint8_t>(count >> 8));
          break;
        }
        case 2:
          cards.Write(static_cast<uint8_t>(below(4)), static_cast<uint8_t>(random()));
          break;
        case 3:
          cards.Write(7, static_cast<uint8_t>(random()));
          break;
        case 4:
        case 5:
          cards.Wait(below(3) ? below(40 * kUs) : below(5 * kMs));
          break;
        default:
          if (!cards.Compare(where)) return;
          break;
      }
    }
    if (!cards.Compare("round " + std::to_string(round) + ", end")) return;
    EXPECT_LE(cards.MaxSteps(), kFewSteps) << "round " << round;
    EXPECT_EQ(cards.Overruns(), 0u);
  }
}

// --- Cost ------------------------------------------------------------------------

class LongGap : public ::testing::Test {
 protected:
  // One card, the line running at 2000 / divisor kHz on channel 1 from a
  // 25-bit binary encoder; after "gap" reads registers 4 to 7 and returns
  // the steps that the first of those reads took.
  uint32_t ReadAfter(uint64_t gap, uint16_t divisor) {
    clock = {0, sim::kBusCycleNs};
    card.Reset(OnChannel(1, Encoder(25, SIM_CODE_BINARY, 0x1234567, 1000)),
               sim::VirtualTime(&clock));
    const uint8_t writes[][2] = {{7, 0}, {3, 0xB0}, {3, 0x70}, {1, 0},
                                 {1, 0}, {3, 0x36}, {0, static_cast<uint8_t>(divisor)}, {0, 0}};
    for (const auto& w : writes) card.Write(static_cast<uint16_t>(kBase + w[0]), w[1]);
    clock.ns += gap;
    uint32_t steps = 0;
    for (int r = 0; r < 4; ++r) {
      reg[r] = card.Read(static_cast<uint16_t>(kBase + 4 + r));
      readAt[r] = clock.ns;
      if (r == 0) steps = card.SettleSteps();
    }
    return steps;
  }

  sim::VirtualClock clock{};
  sim::Card card{};
  uint8_t reg[4] = {};
  uint64_t readAt[4] = {};
};

constexpr uint64_t kHour = 3600ull * 1000 * kMs;

// The steady state as card.h states it. Halves below the monoflop time: one
// latch at the first falling edge, then the word and the low bit, again and
// again, one sample per falling edge of counter 0's wave. Slower: every
// falling edge latches afresh and samples the idle line.
TEST_F(LongGap, AnHourOfRunningLineCostsWhatAMillisecondCosts) {
  for (uint16_t divisor : {2, 3, 40, 400}) {
    const bool running = divisor <= 40;
    const uint32_t msSteps = ReadAfter(kMs, divisor);
    const uint32_t hourSteps = ReadAfter(kHour, divisor);
    EXPECT_LE(msSteps, kFewSteps) << "divisor " << divisor;
    EXPECT_LE(hourSteps, kFewSteps) << "divisor " << divisor;

    uint64_t latchedAt = 0;
    uint32_t position = 0;
    ASSERT_TRUE(card.LastLatch(1, &latchedAt, &position));
    if (running) {
      EXPECT_LT(latchedAt, 20 * kUs) << "divisor " << divisor;
      EXPECT_EQ(position, 0x1234567u);
    } else {
      EXPECT_GT(latchedAt + divisor * uint64_t{sim::kTimerClockNs}, readAt[0]);
      EXPECT_EQ(position, (0x1234567 + latchedAt / 1000000) & 0x1FFFFFF);
    }
    const uint64_t period = divisor * uint64_t{sim::kTimerClockNs};
    for (int r = 0; r < 4; ++r) {
      const uint64_t last = (readAt[r] - latchedAt) / period;  // falling edges since the latch
      uint32_t expected = sim::kReceiveMask;  // every edge samples the idle line
      for (uint64_t j = last - 24; running && j <= last; ++j) {
        uint64_t slot = (j - 1) % 26;  // j = 0, the latch edge, is long gone
        expected = (expected << 1 | (slot < 25 ? (position >> (24 - slot)) & 1 : 0)) &
                   sim::kReceiveMask;
      }
      const uint32_t byte = r < 3 ? (expected >> (8 * r)) & 0xFF : (expected >> 24) | 0xE0;
      EXPECT_EQ(int(reg[r]), int(byte)) << "divisor " << divisor << ", register " << 4 + r;
    }
  }
}

TEST_F(LongGap, StepLimitDropsTheRestOfTheGapAndCountsIt) {
  ReadAfter(kMs, 2);
  EXPECT_EQ(card.Overruns(), 0u);
  // A limit below what one catching up needs: the read still comes back.
  clock = {0, sim::kBusCycleNs};
  card.Reset(sim::DefaultCardSettings(), sim::VirtualTime(&clock));
  card.SetStepLimit(5);
  for (const auto& w : std::vector<std::pair<uint8_t, uint8_t>>{
           {3, 0xB0}, {3, 0x70}, {1, 0}, {1, 0}, {3, 0x36}, {0, 2}, {0, 0}})
    card.Write(static_cast<uint16_t>(kBase + w.first), w.second);
  clock.ns += kHour;
  card.Read(kBase + 4);
  EXPECT_LE(card.SettleSteps(), 5u);
  EXPECT_EQ(card.Overruns(), 1u);
}

}  // namespace
