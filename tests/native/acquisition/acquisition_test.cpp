// GetSSIKovo end to end against the simulated card: every resolution, clock
// and code; a card that is not there; an encoder that is not plugged in.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "../encoder_settings.h"
#include "protocol.h"
#include "sim_port_binding.h"

namespace {

constexpr uint64_t kMs = 1000000;

uint32_t Mask(unsigned bits) { return (1u << bits) - 1; }

// What a word of all ones decodes to: binary as it is; Gray to bits that
// alternate from the top (bit i is the parity of the ones from bit i up).
uint32_t AllOnesDecoded(unsigned bits, uint8_t code) {
  if (code == 1) return Mask(bits);
  uint32_t value = 0;
  for (unsigned i = 0; i < bits; ++i)
    if ((bits - i) % 2 == 1) value |= 1u << i;
  return value;
}

// Starts the card with one encoder on the channel, then the library's
// initialisation and the channel's configuration. Returns the card's
// power-on moment.
uint64_t Prepare(uint8_t channel, const SimEncoderSettings& encoder, uint8_t resolution,
                 uint16_t clockKHz, uint8_t code, bool present = true,
                 uint64_t busStepNs = sim::kBusCycleNs) {
  SimCardSettings s = sim::DefaultCardSettings();
  s.present = present ? 1 : 0;
  s.encoder[channel - 1] = encoder;
  s.zeroInputs = 0x4;  // input 3
  const uint64_t poweredOnAt = StartSimCard(s, busStepNs);
  InitSSIKovo();
  ConfSSIKovo(channel, resolution, clockKHz, code);
  return poweredOnAt;
}

// --- Every resolution, clock and code ---------------------------------------

using Setting = std::tuple<int /*resolution*/, int /*kHz*/, int /*code*/>;

// A moving encoder on a channel chosen by the setting; the position expected
// from an acquisition is the one it had when the first falling clock edge
// latched it, worked out from the start position, the speed and the latch
// moment.
struct MovingEncoder {
  uint8_t channel, bits;
  uint32_t start;
  int32_t speed;  // ~1/64 turn per second
  uint64_t startedAt;

  MovingEncoder(const Setting& setting, uint64_t busStepNs) {
    const auto [resolution, kHz, code] = setting;
    bits = static_cast<uint8_t>(resolution);
    channel = static_cast<uint8_t>(1 + (resolution + kHz) % 4);
    start = 0x1A5A5A5 & Mask(bits);
    speed = (resolution % 2 ? -1 : 1) * (1 << (bits - 6));
    startedAt = Prepare(channel, Encoder(bits, static_cast<uint8_t>(code), start, speed), bits,
                        static_cast<uint16_t>(kHz), static_cast<uint8_t>(code), true, busStepNs);
  }

  // Acquires once; checks the reading against the latch and returns the
  // virtual time the acquisition took.
  uint64_t ExpectReadingAtTheLatch() const {
    const uint64_t before = SimClock.ns;
    const int32_t value = GetSSIKovo(channel);
    const uint64_t after = SimClock.ns;
    uint64_t latchedAt = 0;
    EXPECT_TRUE(SimCard.LastLatch(channel, &latchedAt, nullptr));
    EXPECT_GT(latchedAt, before);
    EXPECT_LT(latchedAt, after);
    const int64_t moved = static_cast<int64_t>(speed) *
                          static_cast<int64_t>(latchedAt - startedAt) / 1000000000;  // toward zero
    EXPECT_EQ(static_cast<uint32_t>(value),
              static_cast<uint32_t>(static_cast<int64_t>(start) + moved) & Mask(bits));
    return after - before;
  }
};

class EveryChannelSetting : public ::testing::TestWithParam<Setting> {};

TEST_P(EveryChannelSetting, MovingEncoderReadsItsPositionAtTheLatch) {
  const MovingEncoder encoder(GetParam(), sim::kBusCycleNs);
  SimClock.ns += 37 * kMs;  // let it turn a while
  // Burst begun and ended without running into a wait limit: the longest
  // burst, 26 bits at 50 kHz, takes 0.54 ms.
  EXPECT_LT(encoder.ExpectReadingAtTheLatch(), 1 * kMs);
  EXPECT_EQ(GetInputs(), 0x04);
}

std::string SettingName(const ::testing::TestParamInfo<Setting>& info) {
  const auto [resolution, kHz, code] = info.param;
  return std::to_string(resolution) + "bits_" + std::to_string(kHz) + "kHz_" +
         (code ? "binary" : "gray");
}

const auto kEverySetting = ::testing::Combine(::testing::Range(10, 26),
                                              ::testing::Values(50, 100, 200, 400, 500, 1000),
                                              ::testing::Values(0, 1));

INSTANTIATE_TEST_SUITE_P(Settings, EveryChannelSetting, kEverySetting, SettingName);

// --- A slow bus ----------------------------------------------------------------

// A host whose port accesses take longer than the burst (a device request
// through a driver, a virtual machine): the burst is over before the first
// status poll. The status then shows OUT high with the count loaded, which
// tells that the burst ran, so both waits end at their first poll and the
// acquisition makes the minimum of 17 accesses: 9 writes, one poll (a write
// and a read) per wait, 4 data reads.
class SlowBus : public ::testing::TestWithParam<Setting> {};

TEST_P(SlowBus, EverySettingReadsItsPositionInSeventeenAccesses) {
  for (const uint64_t step : {100 * kMs / 1000, 1 * kMs}) {
    const auto [resolution, kHz, code] = GetParam();
    const uint64_t burstNs = uint64_t{500} * (2000 / kHz) * (resolution + 2);  // with the trigger
    if (burstNs >= step) continue;  // a poll may still see this burst running
    SCOPED_TRACE(step);
    const MovingEncoder encoder(GetParam(), step);
    SimClock.ns += 37 * kMs;
    const uint64_t accessesBefore = SimPortAccesses;
    encoder.ExpectReadingAtTheLatch();
    EXPECT_EQ(SimPortAccesses - accessesBefore, 17u);
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, SlowBus, kEverySetting, SettingName);

// --- At rest: positions known without asking the card -----------------------

struct RestCase {
  uint8_t bits;
  uint8_t code;
  uint32_t position;
};

class EncoderAtRest : public ::testing::TestWithParam<RestCase> {};

TEST_P(EncoderAtRest, ReadsItsPosition) {
  const RestCase& c = GetParam();
  Prepare(2, Encoder(c.bits, c.code, c.position, 0), c.bits, 100, c.code);
  EXPECT_EQ(static_cast<uint32_t>(GetSSIKovo(2)), c.position);
  EXPECT_EQ(static_cast<uint32_t>(GetSSIKovo(2)), c.position);  // repeated inside the monoflop time
}

INSTANTIATE_TEST_SUITE_P(Positions, EncoderAtRest,
                         ::testing::Values(RestCase{10, 0, 0}, RestCase{10, 1, 0x3FF},
                                           RestCase{13, 0, 0x1FFF}, RestCase{13, 1, 0x1555},
                                           RestCase{25, 0, 0x1FFFFFF}, RestCase{25, 1, 0x1000000},
                                           RestCase{25, 0, 0x0ABCDEF}, RestCase{24, 1, 1}));

// --- Faults a user meets ------------------------------------------------------

struct FaultCase {
  const char* name;
  bool present;  // false: nothing at the address, the bus floats
  uint8_t resolution;
  uint8_t code;
};

class Fault : public ::testing::TestWithParam<FaultCase> {};

// Both faults leave the line (or the bus) high, so the word is all ones; they
// differ in inputs. With no card, the status reads 0xFF, which shows no 8254
// in counter 1's mode: both waits end at their first poll, the acquisition
// makes the minimum of 17 accesses, and the floating bits 1-4 of register 7
// look like four active zero inputs. An unplugged encoder on a present card
// costs one normal burst.
TEST_P(Fault, WordIsAllOnesDecoded) {
  const FaultCase& c = GetParam();
  Prepare(1, Encoder(c.resolution, c.code, 0x123 & Mask(c.resolution), 5000, false), c.resolution,
          1000, c.code, c.present);
  const uint64_t before = SimClock.ns;
  const uint64_t accessesBefore = SimPortAccesses;
  const int32_t value = GetSSIKovo(1);
  const uint64_t elapsed = SimClock.ns - before;

  EXPECT_EQ(static_cast<uint32_t>(value), AllOnesDecoded(c.resolution, c.code));
  EXPECT_LT(elapsed, 1 * kMs);
  if (c.present) {
    EXPECT_EQ(GetInputs(), 0x04);
  } else {
    EXPECT_EQ(SimPortAccesses - accessesBefore, 17u);
    EXPECT_EQ(GetInputs(), 0x0F);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Fault,
                         ::testing::Values(FaultCase{"NoCard_10bits_gray", false, 10, 0},
                                           FaultCase{"NoCard_13bits_gray", false, 13, 0},
                                           FaultCase{"NoCard_25bits_gray", false, 25, 0},
                                           FaultCase{"NoCard_24bits_binary", false, 24, 1},
                                           FaultCase{"Unplugged_10bits_gray", true, 10, 0},
                                           FaultCase{"Unplugged_25bits_gray", true, 25, 0},
                                           FaultCase{"Unplugged_13bits_binary", true, 13, 1}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
