// The first stage of the demo's polling cycle: shown positions from raw
// readings and offsets, the wrap of negative differences, zeroing from the
// zero inputs with one save per input, and the order of the card calls.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "polling_cycle.h"
#include "protocol.h"
#include "scripted_card.h"

namespace {

// A card binding that records every call and, at each save, the four
// offsets the store would write.
struct Recorder {
  int32_t raw[kChannels] = {0, 0, 0, 0};
  uint8_t inputs = 0;
  std::vector<std::string> calls;
  std::vector<std::array<int32_t, kChannels>> savedOffsets;
};
Recorder Rec;

int32_t SSIKOVO_CALL RecordGetSSIKovo(uint8_t channel) {
  Rec.calls.push_back("GetSSIKovo " + std::to_string(channel));
  return channel >= 1 && channel <= kChannels ? Rec.raw[channel - 1] : 0;
}

uint8_t SSIKOVO_CALL RecordGetInputs() {
  Rec.calls.push_back("GetInputs");
  return Rec.inputs;
}

void RecordSaveSettings(const ChannelRecords& channels) {
  Rec.calls.push_back("SaveSettings");
  Rec.savedOffsets.push_back(
      {channels[0]->Offset, channels[1]->Offset, channels[2]->Offset, channels[3]->Offset});
}

const PollingCard kRecordingCard = {&RecordGetSSIKovo, &RecordGetInputs, &RecordSaveSettings};

// The main dialog's records and shown positions.
class PollingStage : public ::testing::Test {
 protected:
  void SetUp() override { Rec = Recorder(); }

  uint8_t Cycle(const PollingCard& card = kRecordingCard) {
    ChannelRecords records = {&channel[0], &channel[1], &channel[2], &channel[3]};
    ShownPositions positions = {&shown[0], &shown[1], &shown[2], &shown[3]};
    return RunPollingStage(records, positions, card);
  }

  ChannelSettings channel[kChannels] = {
      {0, 100, "SSI 1", 25, 0}, {0, 100, "SSI 2", 25, 0},
      {0, 100, "SSI 3", 25, 0}, {0, 100, "SSI 4", 25, 0}};
  int32_t shown[kChannels] = {-7, -7, -7, -7};  // stale values the cycle must overwrite
};

struct PositionCase {
  const char* name;
  uint8_t resolution;
  int32_t offset;
  int32_t raw;
  int32_t shown;
};

const PositionCase kPositionCases[] = {
    {"OffsetSubtracted", 12, 1, 4095, 4094},
    {"ReadingEqualToOffsetIsZero", 25, 5000, 5000, 0},
    {"NegativeWrapsIntoRange", 10, 900, 100, 224},
    {"Full25BitReading", 25, 0, 0x1FFFFFF, 33554431},
    {"OneBelowOffsetIsTopOfRange", 25, 10, 9, 33554431},
    // Zeroed at 25 bits with reading 2000, then lowered to 10 bits: one
    // wrap is not enough to come back into range.
    {"LoweredResolutionStaysNegative", 10, 2000, 100, -876},
    // A resolution of 40 from the registry: the wrap uses 2^(40 mod 32).
    {"ResolutionTakenModulo32", 40, 300, 5, -39},
    {"Resolution32WrapsByOne", 32, 10, 5, -4},
    {"Resolution31", 31, 10, 5, 2147483643},
    // Offset 0xFFFFFFFF as stored in the registry.
    {"OffsetMinusOne", 25, -1, 5, 6},
    // Differences that leave the 32-bit range wrap around, never trap.
    {"DifferenceWrapsAt32Bits", 25, INT32_MIN, 0, INT32_MIN + (1 << 25)},
    {"LargeOffset", 25, INT32_MAX, 0, -INT32_MAX + (1 << 25)},
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class PositionTest : public PollingStage, public ::testing::WithParamInterface<PositionCase> {};

// Each case on each channel in turn, the other three standing at readings of
// their own, so a mix-up between channels shows.
TEST_P(PositionTest, ShownPositionOnEveryChannel) {
  const PositionCase& c = GetParam();
  for (int n = 0; n < kChannels; ++n) {
    SetUp();
    for (int i = 0; i < kChannels; ++i) Rec.raw[i] = 1000 * (i + 1);
    channel[n].Resolution = c.resolution;
    channel[n].Offset = c.offset;
    Rec.raw[n] = c.raw;
    EXPECT_EQ(Cycle(), 0);
    for (int i = 0; i < kChannels; ++i) {
      const int32_t expected = i == n ? c.shown : 1000 * (i + 1);
      EXPECT_EQ(shown[i], expected) << "case on channel " << n + 1 << ", channel " << i + 1;
    }
    EXPECT_EQ(channel[n].Offset, c.offset);  // no input: no zeroing
    EXPECT_TRUE(Rec.savedOffsets.empty());
    channel[n] = {0, 100, channel[n].Name, 25, 0};
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PositionTest, ::testing::ValuesIn(kPositionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollingStage, FourAcquisitionsInOrderThenOneInputRead) {
  Cycle();
  const std::vector<std::string> expected = {"GetSSIKovo 1", "GetSSIKovo 2", "GetSSIKovo 3",
                                             "GetSSIKovo 4", "GetInputs"};
  EXPECT_EQ(Rec.calls, expected);
}

// Inputs 1 and 3 in one cycle: each offset takes this cycle's reading and is
// followed by its own save, channel 1 first; the positions shown in this
// cycle are still those against the old offsets.
TEST_F(PollingStage, TwoInputsZeroTheirChannelsWithOneSaveEach) {
  const int32_t oldOffset[kChannels] = {10, 20, 30, 40};
  for (int i = 0; i < kChannels; ++i) channel[i].Offset = oldOffset[i];
  Rec.raw[0] = 111;
  Rec.raw[1] = 222;
  Rec.raw[2] = 333;
  Rec.raw[3] = 444;
  Rec.inputs = 0x05;

  EXPECT_EQ(Cycle(), 0x05);

  const std::vector<std::string> calls = {"GetSSIKovo 1", "GetSSIKovo 2", "GetSSIKovo 3",
                                          "GetSSIKovo 4", "GetInputs",    "SaveSettings",
                                          "SaveSettings"};
  EXPECT_EQ(Rec.calls, calls);
  const std::vector<std::array<int32_t, kChannels>> saves = {{111, 20, 30, 40},
                                                             {111, 20, 333, 40}};
  EXPECT_EQ(Rec.savedOffsets, saves);
  EXPECT_EQ(shown[0], 101);
  EXPECT_EQ(shown[1], 202);
  EXPECT_EQ(shown[2], 303);
  EXPECT_EQ(shown[3], 404);
  EXPECT_EQ(channel[1].Offset, 20);
  EXPECT_EQ(channel[3].Offset, 40);
}

TEST_F(PollingStage, AllFourInputsSaveFourTimesInChannelOrder) {
  for (int i = 0; i < kChannels; ++i) Rec.raw[i] = 7 * (i + 1);
  Rec.inputs = 0x0F;
  EXPECT_EQ(Cycle(), 0x0F);
  const std::vector<std::array<int32_t, kChannels>> saves = {
      {7, 0, 0, 0}, {7, 14, 0, 0}, {7, 14, 21, 0}, {7, 14, 21, 28}};
  EXPECT_EQ(Rec.savedOffsets, saves);
}

// Channel 2 reads 500 with offset 100 while its input is seen: 400 in that
// cycle, 0 from the next one on while the encoder stands still.
TEST_F(PollingStage, ZeroedChannelShowsZeroFromTheNextCycle) {
  channel[1].Offset = 100;
  Rec.raw[1] = 500;
  Rec.inputs = 0x02;
  EXPECT_EQ(Cycle(), 0x02);
  EXPECT_EQ(shown[1], 400);
  EXPECT_EQ(channel[1].Offset, 500);
  EXPECT_EQ(Rec.savedOffsets.size(), 1u);

  Rec.inputs = 0;
  EXPECT_EQ(Cycle(), 0);
  EXPECT_EQ(shown[1], 0);
  EXPECT_EQ(Rec.savedOffsets.size(), 1u);
}

// While an input stays active every cycle zeroes again and saves; the
// channel then shows the movement between two cycles.
TEST_F(PollingStage, InputHeldZeroesEveryCycle) {
  Rec.inputs = 0x08;
  Rec.raw[3] = 1000;
  Cycle();
  Rec.raw[3] = 1030;
  Cycle();
  EXPECT_EQ(shown[3], 30);
  EXPECT_EQ(channel[3].Offset, 1030);
  EXPECT_EQ(Rec.savedOffsets.size(), 2u);
}

// Over the real card protocol: an input that was active only while another
// channel was being read is latched by that acquisition and still zeroes
// its own channel; one active at the input read does too.
TEST_F(PollingStage, LatchedAndPresentInputsZeroOverTheProtocol) {
  Card.Reset();
  InitSSIKovo();
  for (uint8_t n = 1; n <= kChannels; ++n) ConfSSIKovo(n, 25, 100, 1);  // binary: word = reading
  Card.word[0] = 1000;
  Card.word[1] = 2000;
  Card.word[2] = 3000;
  Card.word[3] = 0x1ABCDEF;
  Card.inputsDuringAcquisition[1] = 0x04;  // input 3, seen only while channel 2 is read
  Card.inputsAtRest = 0x08;                // input 4, seen at the input read
  const PollingCard protocol = {&GetSSIKovo, &GetInputs, &RecordSaveSettings};

  EXPECT_EQ(Cycle(protocol), 0x0C);
  EXPECT_EQ(shown[2], 3000);
  EXPECT_EQ(shown[3], 0x1ABCDEF);
  const std::vector<std::array<int32_t, kChannels>> saves = {{0, 0, 3000, 0},
                                                             {0, 0, 3000, 0x1ABCDEF}};
  EXPECT_EQ(Rec.savedOffsets, saves);

  // The latch was emptied by the input read: nothing is seen next time.
  Card.inputsDuringAcquisition[1] = 0;
  Card.inputsAtRest = 0;
  Card.word[2] = 3005;
  EXPECT_EQ(Cycle(protocol), 0);
  EXPECT_EQ(shown[2], 5);
  EXPECT_EQ(shown[3], 0);
  EXPECT_EQ(Rec.savedOffsets.size(), 2u);
}

}  // namespace
