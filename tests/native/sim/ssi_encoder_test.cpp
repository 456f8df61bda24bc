// Encoder positions over time: speed in counts per second, wrapping at
// 2^bits in both directions, exact over long runs.
#include <gtest/gtest.h>

#include <string>

#include "ssi_encoder.h"

namespace {

struct MotionCase {
  uint8_t bits;
  uint32_t position;
  int32_t speed;
  uint64_t elapsedNs;
  uint32_t expected;
};

class EncoderMotion : public ::testing::TestWithParam<MotionCase> {};

TEST_P(EncoderMotion, PositionIsStartPlusWholeCountsMovedModuloResolution) {
  const MotionCase& c = GetParam();
  SimEncoderSettings s{};
  s.bits = c.bits;
  s.code = SIM_CODE_BINARY;
  s.plugged = 1;
  s.position = c.position;
  s.speed = c.speed;
  sim::SsiEncoder encoder{};
  encoder.Configure(s, 7000);
  EXPECT_EQ(encoder.PositionAt(7000 + c.elapsedNs), c.expected);
  EXPECT_EQ(encoder.SettingsAt(7000 + c.elapsedNs).position, c.expected);
}

constexpr uint64_t kHourNs = 3600ull * 1000000000ull;
// 2^31 - 1 counts/s for an hour and a half second, modulo 2^25, worked out
// separately: (2^31 - 1) * 3600.5 = 7732014871023.5 -> 7732014871023;
// 7732014871023 mod 33554432 = 33550831; plus 5.
constexpr uint32_t kLongRun = 33550836u;

INSTANTIATE_TEST_SUITE_P(
    Cases, EncoderMotion,
    ::testing::Values(MotionCase{13, 100, 0, kHourNs, 100},
                      MotionCase{13, 100, 1000, 2500000, 102},       // 2.5 counts: 2
                      MotionCase{10, 1022, 1000, 5000000, 3},        // wraps up
                      MotionCase{10, 1, -1000, 3000000, 1022},       // wraps down
                      MotionCase{12, 10, -1000, 2500000, 8},         // truncated toward zero
                      MotionCase{25, 5, 2147483647, kHourNs + 500000000, kLongRun},
                      MotionCase{25, 0x1FFFFFF, 1, 1000000000, 0}),
    [](const ::testing::TestParamInfo<MotionCase>& info) {
      const MotionCase& c = info.param;
      return std::to_string(c.bits) + "bits_from" + std::to_string(c.position) + "_speed" +
             (c.speed < 0 ? "minus" + std::to_string(-static_cast<int64_t>(c.speed))
                          : std::to_string(c.speed));
    });

}  // namespace
