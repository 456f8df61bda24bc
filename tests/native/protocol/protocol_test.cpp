// The card protocol against a recording fake of the ports: exact access
// sequences, argument checks, masking and decoding, the input latch and the
// two bounded waits.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_port.h"
#include "port_access.h"
#include "protocol.h"

namespace {

constexpr uint16_t B = 0x2A8;  // the fake port layer's base

// Index of the first access after the nine writes that start a burst.
constexpr size_t kBurstWrites = 9;

PortAccess W(uint8_t reg, uint8_t value) { return {PortAccess::Write, uint16_t(B + reg), value}; }
PortAccess R(uint8_t reg, uint8_t value) { return {PortAccess::Read, uint16_t(B + reg), value}; }

class ProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fake.Reset();
    InitSSIKovo();
    Fake.log.clear();
  }
};

TEST(ProtocolInit, PreparesCardAfterPortLayerStartsAndResetsState) {
  Fake.Reset();
  ControlShadow = 0x5A;
  InputLatch = 0x1E;
  Channels[2] = {12, 4, 1};
  EXPECT_EQ(InitSSIKovo(), 0xFF);
  const std::vector<PortAccess> expected = {
      {PortAccess::Start, 0, 0}, W(7, 0x00), R(7, 0x00), W(3, 0xB0), W(2, 0x01), W(2, 0x00)};
  EXPECT_EQ(Fake.log, expected);
  EXPECT_EQ(ControlShadow, 0);
  EXPECT_EQ(InputLatch, 0);
  for (const ChannelConfig& c : Channels) {
    EXPECT_EQ(c.Resolution, 25);
    EXPECT_EQ(c.ClockDivisor, 20);
    EXPECT_EQ(c.CodeType, 0);
  }
}

TEST_F(ProtocolTest, DeInitClearsRegister7ThenReleasesPortLayer) {
  SetOutputs(0x3F);
  Fake.log.clear();
  EXPECT_EQ(DeInitSSIKovo(), 0xFF);
  const std::vector<PortAccess> expected = {W(7, 0x00), {PortAccess::Release, 0, 0}};
  EXPECT_EQ(Fake.log, expected);
}

TEST_F(ProtocolTest, AcquisitionSequenceIsExact) {
  ConfSSIKovo(2, 13, 400, 1);  // divisor 5, one-shot of 14 counts
  Fake.data[0] = 0x34;
  Fake.data[1] = 0x12;
  Fake.status = [](int n) { return n < 2 ? 0xF2 : (n < 5 ? 0x32 : 0xB2); };
  EXPECT_EQ(GetSSIKovo(2), 0x1234 & 0x1FFF);
  std::vector<PortAccess> expected = {W(7, 0x01), W(3, 0xB0), W(3, 0x36), W(0, 5),   W(0, 0),
                                      W(3, 0x72), W(1, 14),   W(1, 0),    W(3, 0xB2)};
  const uint8_t statuses[] = {0xF2, 0xF2, 0x32, 0x32, 0x32, 0xB2};
  for (uint8_t s : statuses) {
    expected.push_back(W(3, 0xE4));
    expected.push_back(R(1, s));
  }
  for (uint8_t reg = 4; reg <= 7; ++reg) expected.push_back(R(reg, Fake.data[reg - 4]));
  EXPECT_EQ(Fake.log, expected);
}

TEST_F(ProtocolTest, InvalidChannelTouchesNothing) {
  SetOutputs(0x15);
  Fake.data[3] = 0x1E;
  const uint8_t shadow = ControlShadow;
  Fake.log.clear();
  for (uint8_t channel : {0, 5, 255}) {
    EXPECT_EQ(GetSSIKovo(channel), 0) << int(channel);
  }
  EXPECT_TRUE(Fake.log.empty());
  EXPECT_EQ(ControlShadow, shadow);
  EXPECT_EQ(InputLatch, 0);
}

TEST_F(ProtocolTest, ChannelSelectionKeepsOutputs) {
  struct Case { uint8_t shadowBefore, channel, written; };
  const Case cases[] = {{0xFC, 2, 0xFD}, {0x00, 4, 0x03}, {0xFF, 1, 0xFC}, {0x57, 3, 0x56}};
  for (const Case& c : cases) {
    ControlShadow = c.shadowBefore;
    Fake.log.clear();
    GetSSIKovo(c.channel);
    EXPECT_EQ(Fake.log.front(), W(7, c.written)) << int(c.shadowBefore) << " ch" << int(c.channel);
    EXPECT_EQ(ControlShadow, c.written);
  }
}

TEST_F(ProtocolTest, SetOutputsKeepsChannelSelection) {
  struct Case { uint8_t lastChannel, flags, written; };
  const Case cases[] = {{3, 0x40, 0x02}, {3, 0x3F, 0xFE}, {4, 0xFF, 0xFF}, {1, 0x21, 0x84}};
  for (const Case& c : cases) {
    GetSSIKovo(c.lastChannel);
    Fake.log.clear();
    SetOutputs(c.flags);
    ASSERT_EQ(Fake.log.size(), 1u);
    EXPECT_EQ(Fake.log[0], W(7, c.written)) << "flags " << int(c.flags);
    EXPECT_EQ(ControlShadow, c.written);
  }
}

TEST_F(ProtocolTest, ConfigurationChecksEveryArgument) {
  struct Case { uint8_t channel, resolution; uint16_t clock; uint8_t code; bool accepted; uint8_t divisor; };
  const Case cases[] = {
      {1, 10, 50, 0, true, 40},    {4, 25, 1000, 1, true, 2},  {3, 17, 700, 0, true, 2},
      {2, 20, 300, 1, true, 6},    {2, 20, 400, 1, true, 5},   {0, 20, 100, 0, false, 0},
      {5, 20, 100, 0, false, 0},   {1, 9, 100, 0, false, 0},   {1, 26, 100, 0, false, 0},
      {1, 20, 49, 0, false, 0},    {1, 20, 1001, 0, false, 0}, {1, 20, 100, 2, false, 0},
  };
  for (const Case& c : cases) {
    InitSSIKovo();
    Fake.log.clear();
    ConfSSIKovo(c.channel, c.resolution, c.clock, c.code);
    EXPECT_TRUE(Fake.log.empty());
    for (uint8_t ch = 1; ch <= 4; ++ch) {
      const ChannelConfig& got = Channels[ch - 1];
      const bool changed = c.accepted && ch == c.channel;
      const ChannelConfig want = changed ? ChannelConfig{c.resolution, c.divisor, c.code}
                                         : ChannelConfig{25, 20, 0};
      EXPECT_EQ(got.Resolution, want.Resolution) << "case ch" << int(c.channel) << " clock " << c.clock;
      EXPECT_EQ(got.ClockDivisor, want.ClockDivisor) << "case ch" << int(c.channel) << " clock " << c.clock;
      EXPECT_EQ(got.CodeType, want.CodeType) << "case ch" << int(c.channel) << " clock " << c.clock;
    }
  }
}

TEST_F(ProtocolTest, WordIsMaskedAndDecoded) {
  struct Case { uint8_t data[4]; uint8_t resolution, code; int32_t expected; };
  const Case cases[] = {
      {{0xFF, 0xFF, 0xFF, 0x01}, 10, 1, 0x3FF},
      {{0xFF, 0xFF, 0xFF, 0x01}, 25, 0, 0x1555555},
      {{0xFF, 0xFF, 0xFF, 0xFF}, 25, 1, 0x1FFFFFF},  // bits 1-7 of DataByte3 stay out
      {{0x00, 0x00, 0x00, 0xE1}, 25, 1, 0x1000000},
      {{0x00, 0x00, 0x00, 0xFE}, 25, 1, 0},
      {{0x00, 0x00, 0x00, 0x01}, 24, 1, 0},
      {{0x0F, 0x00, 0x00, 0x00}, 10, 0, 0x0A},      // Gray 1111 -> 1010
      {{0x78, 0x56, 0x34, 0x00}, 16, 1, 0x5678},
      {{0x78, 0x56, 0x34, 0x00}, 17, 1, 0x5678},
      {{0x78, 0x56, 0x35, 0x00}, 17, 1, 0x15678},
  };
  for (const Case& c : cases) {
    std::memcpy(Fake.data, c.data, 4);
    ConfSSIKovo(1, c.resolution, 100, c.code);
    EXPECT_EQ(GetSSIKovo(1), c.expected) << "resolution " << int(c.resolution);
  }
}

TEST_F(ProtocolTest, ZeroInputsAreLatchedUntilRead) {
  Fake.data[3] = 0x08 | 0xE0;  // input 3 during the acquisition, bits 5-7 floating
  GetSSIKovo(1);
  Fake.data[3] = 0xE0;  // input gone when the inputs are read
  Fake.log.clear();
  EXPECT_EQ(GetInputs(), 0x04);
  const std::vector<PortAccess> expected = {R(7, 0xE0)};
  EXPECT_EQ(Fake.log, expected);
  EXPECT_EQ(GetInputs(), 0x00);
  Fake.data[3] = 0x12;  // inputs 1 and 4 active now, data bit 24 set
  EXPECT_EQ(GetInputs(), 0x09);
  EXPECT_EQ(InputLatch, 0);
}

TEST_F(ProtocolTest, InputsOfSeveralAcquisitionsAccumulate) {
  const uint8_t seen[] = {0x02, 0x00, 0x10};
  for (uint8_t ch = 1; ch <= 3; ++ch) {
    Fake.data[3] = seen[ch - 1];
    GetSSIKovo(ch);
  }
  Fake.data[3] = 0;
  EXPECT_EQ(GetInputs(), 0x09);
}

// The number of status polls in each wait. Each wait takes the tick count
// once before its first poll and once after every poll, so the second wait
// begins where two queries of the tick counter follow each other with no
// port access between them.
struct WaitTrace { size_t firstPolls, secondPolls; };

WaitTrace TraceWaits() {
  const std::vector<size_t>& q = Fake.tickQueries;
  size_t boundary = Fake.log.size();
  for (size_t i = 2; i < q.size(); ++i)
    if (q[i] == q[i - 1]) { boundary = q[i]; break; }
  return {(boundary - kBurstWrites) / 2, (Fake.log.size() - 4 - boundary) / 2};
}

// Status bytes: 0xF2 OUT high with the count not yet loaded, 0x32 OUT low
// (burst running), 0xB2 OUT high with the count loaded (burst over), all in
// counter 1's programmed mode 0x32; 0xFF a floating bus; 0x00 and 0x72 never
// show OUT high. A wait that ends by its bound makes 200 polls here, since the
// fake tick counter advances 1 ms per query.
TEST_F(ProtocolTest, WaitsEndByStatusOrAfter200Ms) {
  struct Case { const char* name; uint8_t (*status)(int); uint32_t startTicks; size_t firstPolls, secondPolls; };
  const Case cases[] = {
      {"burst seen running", [](int n) -> uint8_t { return n < 3 ? 0xF2 : (n < 10 ? 0x32 : 0xB2); }, 1000, 4, 7},
      {"F2, 32, B2", [](int n) -> uint8_t { return n == 0 ? 0xF2 : (n == 1 ? 0x32 : 0xB2); }, 1000, 2, 1},
      {"burst over at the first poll", [](int) -> uint8_t { return 0xB2; }, 1000, 1, 1},
      {"floating bus", [](int) -> uint8_t { return 0xFF; }, 1000, 1, 1},
      {"status 00", [](int) -> uint8_t { return 0x00; }, 1000, 1, 1},
      {"count never loaded", [](int) -> uint8_t { return 0xF2; }, 1000, 200, 1},
      {"OUT never high again", [](int) -> uint8_t { return 0x72; }, 1000, 1, 200},
      {"ticks wrap in first wait", [](int) -> uint8_t { return 0xF2; }, 0xFFFFFF9C, 200, 1},
      {"ticks wrap in second wait", [](int) -> uint8_t { return 0x72; }, 0xFFFFFFF0, 1, 200},
  };
  for (const Case& c : cases) {
    Fake.status = c.status;
    Fake.ticks = c.startTicks;
    Fake.log.clear();
    Fake.tickQueries.clear();
    GetSSIKovo(1);
    const WaitTrace trace = TraceWaits();
    EXPECT_EQ(trace.firstPolls, c.firstPolls) << c.name;
    EXPECT_EQ(trace.secondPolls, c.secondPolls) << c.name;
    EXPECT_EQ(Fake.log.size(), kBurstWrites + 2 * (c.firstPolls + c.secondPolls) + 4) << c.name;
    EXPECT_EQ(Fake.tickQueries.size(), 2 + c.firstPolls + c.secondPolls) << c.name;
    // Whatever the waits did, the data registers are read last.
    ASSERT_GE(Fake.log.size(), 4u);
    EXPECT_EQ(Fake.log[Fake.log.size() - 4], R(4, 0)) << c.name;
  }
}

TEST(GrayToBin, KnownValues) {
  struct Case { uint32_t in, out; };
  const Case cases[] = {{0, 0},
                        {1, 1},
                        {2, 3},
                        {3, 2},
                        {0x1000000, 0x1FFFFFF},
                        {0x7FFFFFFF, 0x55555555},
                        {0x80000000, 0x55555555},
                        {0xFFFFFFFF, 0},
                        {0x1555555 ^ (0x1555555 >> 1), 0x1555555}};
  for (const Case& c : cases) {
    EXPECT_EQ(uint32_t(GrayToBin(int32_t(c.in))), c.out) << std::hex << c.in;
  }
}

TEST(GrayToBin, UndoesBinaryToGrayForEveryNonNegativeValue) {
  // A spread of values over the whole positive range, and every 16-bit value.
  for (uint32_t x = 0; x < 0x80000000u; x = x < 0x10000 ? x + 1 : x + 0x10001 * 3 + 7) {
    const uint32_t gray = x ^ (x >> 1);
    ASSERT_EQ(uint32_t(GrayToBin(int32_t(gray))), x) << std::hex << x;
  }
}

TEST(GrayToBin, NegativeInputsGiveStandardConversionXorAlternatingBits) {
  for (uint32_t x = 0x80000000u; x != 0; x += 0x00F0F0F1u) {
    if (!(x & 0x80000000u)) break;
    uint32_t standard = 0;  // bit i is the XOR of input bits i to 31
    for (int shift = 0; shift < 32; ++shift) standard ^= x >> shift;
    ASSERT_EQ(uint32_t(GrayToBin(int32_t(x))), standard ^ 0xAAAAAAAAu) << std::hex << x;
  }
}

}  // namespace
