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
constexpr uint8_t kStatusOut = 0x80;     // counter status bit 7: level of OUT
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

// Polls counter 1's output until it has the wanted level or the wait limit
// has passed. Status first, time second: there is always at least one poll.
// The unsigned difference keeps the limit right across a wrap of the ticks.
void WaitForCounter1(bool wantHigh) {
  const uint32_t start = TickCount();
  for (;;) {
    WriteRegister(TimerControl, ReadBackStatus1);
    const uint8_t status = ReadRegister(TimerCounter1);
    const uint32_t now = TickCount();
    if (((status & kStatusOut) != 0) == wantHigh) return;
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
  WaitForCounter1(false);  // the burst has begun: OUT low
  WaitForCounter1(true);   // the burst is over: OUT high again
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
