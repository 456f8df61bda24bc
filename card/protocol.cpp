// The card protocol. Every register access is one port operation at
// PortBase + register, in the order written here; the card cannot be read back
// except through the data registers and counter 1's status.
#include "protocol.h"

#include "port_access.h"

ChannelConfig Channels[kChannelCount];
uint8_t ControlShadow;
uint8_t InputLatch;

namespace {

constexpr ChannelConfig kDefaultConfig = {25, 20, 0};
constexpr uint8_t kZeroInputBits = 0x1E; // DataByte3 bits 1-4
constexpr uint8_t kChannelBits = 0x03;   // ControlRegister bits 0-1

void WriteRegister(uint8_t reg, uint8_t value) {
  WritePortByte(static_cast<uint16_t>(PortBase + reg), value);
}

uint8_t ReadRegister(uint8_t reg) {
  return ReadPortByte(static_cast<uint16_t>(PortBase + reg));
}

bool ValidChannel(uint8_t channel) { return channel >= 1 && channel <= kChannelCount; }

// Loads a 16-bit count, low byte first; the card's counts all fit one byte.
void LoadCount(uint8_t counterRegister, uint8_t count) {
  WriteRegister(counterRegister, count);
  WriteRegister(counterRegister, 0x00);
}

// Counter 1's status byte after the read-back command: bit 7 the level of OUT,
// bit 6 NULL COUNT (1 from a count write until the count is loaded into the
// counting element), bits 5-0 the counter's programming, as written in bits
// 5-0 of its control word.
constexpr uint8_t kStatusOut = 0x80;
constexpr uint8_t kStatusNullCount = 0x40;
constexpr uint8_t kStatusProgramming = 0x3F;
constexpr uint8_t kCounter1Programming = Counter1OneShot & kStatusProgramming;  // 0x32

// A status byte that does not show the programming the acquisition has just
// written comes from no 8254: a floating bus reads 0xFF, a port layer with a
// closed device hands back the last byte read. Waiting cannot change it.
bool TimerAnswers(uint8_t status) { return (status & kStatusProgramming) == kCounter1Programming; }

// The burst has begun once counter 1's OUT is low. It has also begun once
// NULL COUNT is 0: the count written before the trigger moves into the
// counting element at the same clock pulse that drives OUT low. A short
// burst (26 us at 1000 kHz) is over before a slow host's first poll can see
// OUT low; NULL COUNT 0 still tells that it ran, so the wait does not sit out
// its limit for a burst that is already done.
bool BurstHasBegun(uint8_t status) {
  return (status & kStatusOut) == 0 || (status & kStatusNullCount) == 0 || !TimerAnswers(status);
}

// The burst is over once OUT is high again.
bool BurstHasEnded(uint8_t status) { return (status & kStatusOut) != 0 || !TimerAnswers(status); }

// Polls counter 1's status until the condition holds or the wait limit has
// passed. Status first, time second: there is always at least one poll. The
// unsigned difference keeps the limit right across a wrap of the ticks.
void WaitForCounter1(bool (*done)(uint8_t status)) {
  const uint32_t start = TickCount();
  for (;;) {
    WriteRegister(TimerControl, ReadBackStatus1);
    const uint8_t status = ReadRegister(TimerCounter1);
    const uint32_t now = TickCount();
    if (done(status)) return;
    if (now - start >= kWaitLimitMs) return;
  }
}

// Selects the channel, programs the clock and the one-shot and starts the
// burst by raising counter 1's gate.
void StartBurst(uint8_t channel, const ChannelConfig& config) {
  ControlShadow = static_cast<uint8_t>((ControlShadow & ~kChannelBits) | (channel - 1));
  WriteRegister(ControlRegister, ControlShadow);
  WriteRegister(TimerControl, Counter2OutputLow);
  WriteRegister(TimerControl, Counter0SquareWave);
  LoadCount(TimerCounter0, config.ClockDivisor);
  WriteRegister(TimerControl, Counter1OneShot);
  LoadCount(TimerCounter1, static_cast<uint8_t>(config.Resolution + 1));
  WriteRegister(TimerControl, Counter2OutputHigh);
}

// Reads the 25-bit receive register; collects the zero inputs on the way.
int32_t ReadReceivedWord() {
  const uint8_t byte0 = ReadRegister(DataByte0);
  const uint8_t byte1 = ReadRegister(DataByte1);
  const uint8_t byte2 = ReadRegister(DataByte2);
  const uint8_t byte3 = ReadRegister(DataByte3);
  InputLatch = static_cast<uint8_t>(InputLatch | (byte3 & kZeroInputBits));
  const uint32_t word = (static_cast<uint32_t>(byte3 & 0x01) << 24) |
                        (static_cast<uint32_t>(byte2) << 16) |
                        (static_cast<uint32_t>(byte1) << 8) | byte0;
  return static_cast<int32_t>(word);
}

}  // namespace

uint8_t SSIKOVO_CALL InitSSIKovo(void) {
  for (ChannelConfig& config : Channels) config = kDefaultConfig;
  ControlShadow = 0;
  InputLatch = 0;
  StartPortAccess();
  WriteRegister(ControlRegister, 0x00);
  (void)ReadRegister(DataByte3);
  WriteRegister(TimerControl, Counter2OutputLow);
  LoadCount(TimerCounter2, 0x01);
  return 0xFF;
}

uint8_t SSIKOVO_CALL DeInitSSIKovo(void) {
  WriteRegister(ControlRegister, 0x00);
  ReleasePortAccess();
  return 0xFF;
}

void SSIKOVO_CALL ConfSSIKovo(uint8_t channel, uint8_t resolution, uint16_t clockKHz,
                              uint8_t codeType) {
  if (!ValidChannel(channel)) return;
  if (resolution < 10 || resolution > 25) return;
  if (clockKHz < 50 || clockKHz > 1000) return;
  if (codeType > 1) return;
  ChannelConfig& config = Channels[channel - 1];
  config.Resolution = resolution;
  config.CodeType = codeType;
  config.ClockDivisor = static_cast<uint8_t>(2000 / clockKHz);
}

int32_t SSIKOVO_CALL GetSSIKovo(uint8_t channel) {
  if (!ValidChannel(channel)) return 0;
  const ChannelConfig& config = Channels[channel - 1];
  StartBurst(channel, config);
  WaitForCounter1(BurstHasBegun);
  WaitForCounter1(BurstHasEnded);
  int32_t word = ReadReceivedWord();
  if (config.Resolution >= 10 && config.Resolution <= 25) {
    word &= static_cast<int32_t>((uint32_t{1} << config.Resolution) - 1);
  }
  return config.CodeType == 0 ? GrayToBin(word) : word;
}

uint8_t SSIKOVO_CALL GetInputs(void) {
  const uint8_t byte3 = ReadRegister(DataByte3);
  const uint8_t flags = static_cast<uint8_t>(((InputLatch | (byte3 & kZeroInputBits)) >> 1) & 0x0F);
  InputLatch = 0;
  return flags;
}

void SSIKOVO_CALL SetOutputs(uint8_t flags) {
  ControlShadow = static_cast<uint8_t>((ControlShadow & kChannelBits) | ((flags << 2) & 0xFF));
  WriteRegister(ControlRegister, ControlShadow);
}

// One step x ^= x >> 1, with an arithmetic shift, is a binary-to-Gray step of
// the sign-extended value; 32 of them give x back, so 31 undo one. For inputs
// with bit 31 set the sign copies leave the result XOR 0xAAAAAAAA; callers of
// the exported function may rely on that, so it is kept exactly.
int32_t SSIKOVO_CALL GrayToBin(int32_t value) {
  uint32_t x = static_cast<uint32_t>(value);
  for (int i = 0; i < 31; ++i) {
    const uint32_t shifted = (x >> 1) | (x & 0x80000000u);
    x ^= shifted;
  }
  return static_cast<int32_t>(x);
}
