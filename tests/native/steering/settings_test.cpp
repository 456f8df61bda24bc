// The steering schema: the tool's defaults are the ones the driver starts
// its card with, the encoder rule refuses what the card cannot be set to,
// and stored settings are taken by the one load rule.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "nalouni_settings.h"
#include "sim_card_c.h"

namespace {

TEST(Schema, DefaultsAreTheSimulatedCardsDefaults) {
  NaloUniState state;
  NaloUniDefaultState(&state);
  SimCardSettings card;
  SimCard_DefaultSettings(&card);
  EXPECT_EQ(state.ioPortAddress, NALOUNI_DEFAULT_ADDRESS);
  EXPECT_EQ(state.ioPortCount, NALOUNI_DEFAULT_COUNT);
  EXPECT_EQ(state.card.address, card.address);
  EXPECT_EQ(state.card.present, card.present);
  EXPECT_EQ(state.zeroInputs, card.zeroInputs);
  for (unsigned ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    const NaloUniEncoder& e = state.encoder[ch - 1];
    const SimEncoderSettings& s = card.encoder[ch - 1];
    EXPECT_EQ(e.channel, ch);
    EXPECT_EQ(e.bits, s.bits) << "encoder " << ch;
    EXPECT_EQ(e.code, s.code) << "encoder " << ch;
    EXPECT_EQ(e.plugged, s.plugged) << "encoder " << ch;
    EXPECT_EQ(e.position, s.position) << "encoder " << ch;
    EXPECT_EQ(e.speed, s.speed) << "encoder " << ch;
  }
}

TEST(Schema, ValueNamesCarryTheChannelDigitForEncodersOnly) {
  char name[NALOUNI_VALUE_NAME_SIZE];
  NaloUniValueName(NaloUniFindSetting(NALOUNI_GROUP_ENCODER, "bits"), 3, name);
  EXPECT_STREQ(name, "SimBits3");
  NaloUniValueName(NaloUniFindSetting(NALOUNI_GROUP_CARD, "address"), 3, name);
  EXPECT_STREQ(name, "SimCardAddress");
  NaloUniValueName(NaloUniFindSetting(NALOUNI_GROUP_PORT_WINDOW, "count"), 1, name);
  EXPECT_STREQ(name, "IoPortCount");
  EXPECT_EQ(NaloUniFindSetting(NALOUNI_GROUP_CARD, "bits"), nullptr);
}

struct EncoderCase {
  const char* name;
  NaloUniEncoder encoder;
  bool valid;
};

class EncoderRule : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(EncoderRule, Holds) {
  EXPECT_EQ(NaloUniEncoderValid(&GetParam().encoder) != 0, GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncoderRule,
    ::testing::Values(
        EncoderCase{"defaults", {1, 25, 0, 1, 0, 0}, true},
        EncoderCase{"channel4_widest", {4, 25, 1, 0, (1u << 25) - 1, INT32_MAX}, true},
        EncoderCase{"one_bit_at_1", {2, 1, 0, 1, 1, INT32_MIN + 1}, true},
        EncoderCase{"channel0", {0, 25, 0, 1, 0, 0}, false},
        EncoderCase{"channel5", {5, 25, 0, 1, 0, 0}, false},
        EncoderCase{"bits0", {1, 0, 0, 1, 0, 0}, false},
        EncoderCase{"bits26", {1, 26, 0, 1, 0, 0}, false},
        EncoderCase{"code2", {1, 25, 2, 1, 0, 0}, false},
        EncoderCase{"plugged2", {1, 25, 0, 2, 0, 0}, false},
        EncoderCase{"position_beyond_bits", {1, 10, 0, 1, 1024, 0}, false},
        EncoderCase{"position_at_top_of_bits", {1, 10, 0, 1, 1023, 0}, true},
        EncoderCase{"speed_int32_min", {1, 25, 0, 1, 0, INT32_MIN}, false}),
    [](const ::testing::TestParamInfo<EncoderCase>& info) { return info.param.name; });

// A parameters key as a map of its REG_DWORD values.
struct StoredValues {
  std::map<std::string, uint32_t> values;
  static int Read(void* context, const char* name, uint32_t* value) {
    const auto& values = static_cast<StoredValues*>(context)->values;
    const auto found = values.find(name);
    if (found == values.end()) return 0;
    *value = found->second;
    return 1;
  }
  NaloUniState Load() {
    NaloUniState state;
    NaloUniDefaultState(&state);
    NaloUniLoadSettings(&state, Read, this);
    return state;
  }
};

TEST(LoadRule, NothingStoredKeepsTheDefaults) {
  StoredValues key;
  NaloUniState defaults;
  NaloUniDefaultState(&defaults);
  const NaloUniState loaded = key.Load();
  EXPECT_EQ(std::memcmp(&loaded, &defaults, sizeof loaded), 0);
}

TEST(LoadRule, StoredValuesInRangeAreTaken) {
  StoredValues key{{{"IoPortAddress", 0x300}, {"IoPortCount", 16}, {"SimCardPresent", 0},
                    {"SimCardAddress", 0x208}, {"SimZeroInputs", 0x5}, {"SimBits2", 13},
                    {"SimCode2", 1}, {"SimPlugged2", 0}, {"SimPosition2", 0x123},
                    {"SimSpeed2", 0xFFFFFFFBu}}};
  const NaloUniState s = key.Load();
  EXPECT_EQ(s.ioPortAddress, 0x300u);
  EXPECT_EQ(s.ioPortCount, 16u);
  EXPECT_EQ(s.card.present, 0u);
  EXPECT_EQ(s.card.address, 0x208u);
  EXPECT_EQ(s.zeroInputs, 0x5u);
  const NaloUniEncoder& e = s.encoder[1];
  EXPECT_EQ(e.bits, 13u);
  EXPECT_EQ(e.code, 1u);
  EXPECT_EQ(e.plugged, 0u);
  EXPECT_EQ(e.position, 0x123u);
  EXPECT_EQ(e.speed, -5);
  EXPECT_EQ(s.encoder[0].bits, NALOUNI_DEFAULT_BITS) << "other encoders keep their defaults";
}

TEST(LoadRule, ValuesOutOfRangeAreNotTaken) {
  StoredValues key{{{"IoPortAddress", 0x10000}, {"SimCardAddress", 0x12345},
                    {"SimCardPresent", 2}, {"SimZeroInputs", 0x1F}}};
  const NaloUniState s = key.Load();
  EXPECT_EQ(s.ioPortAddress, NALOUNI_DEFAULT_ADDRESS);
  EXPECT_EQ(s.card.address, NALOUNI_DEFAULT_ADDRESS);
  EXPECT_EQ(s.card.present, 1u);
  EXPECT_EQ(s.zeroInputs, 0u);
}

TEST(LoadRule, AnEncoderIsTakenWholeOrNotAtAll) {
  // Encoder 3 has one value out of range: none of its values is taken.
  StoredValues key{{{"SimBits3", 40}, {"SimCode3", 1}, {"SimPosition3", 7}, {"SimBits4", 12},
                    {"SimSpeed4", 0x80000000u}, {"SimCode4", 1}}};
  const NaloUniState s = key.Load();
  for (unsigned ch : {3u, 4u}) {
    const NaloUniEncoder& e = s.encoder[ch - 1];
    EXPECT_EQ(e.bits, NALOUNI_DEFAULT_BITS) << "encoder " << ch;
    EXPECT_EQ(e.code, NALOUNI_CODE_GRAY) << "encoder " << ch;
    EXPECT_EQ(e.position, 0u) << "encoder " << ch;
    EXPECT_EQ(e.speed, 0) << "encoder " << ch;
  }
}

TEST(LoadRule, APositionIsCutToTheEncodersBits) {
  StoredValues key{{{"SimBits1", 13}, {"SimPosition1", 0x12345}}};
  EXPECT_EQ(key.Load().encoder[0].position, 0x12345u & 0x1FFFu);
}

}  // namespace
