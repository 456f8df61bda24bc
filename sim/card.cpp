#include "card.h"

namespace sim {

namespace {

constexpr TimerWiring kCardTimer = {{
    {ClockInput::Fixed, kTimerClockNs, 0, GateInput::High, 0},  // 0: SSI clock
    {ClockInput::Counter, 0, 0, GateInput::Counter, 2},         // 1: burst length
    {ClockInput::None, 0, 0, GateInput::High, 0},               // 2: burst start level
}};

}  // namespace

SimCardSettings DefaultCardSettings() {
  SimCardSettings s{};
  s.address = kDefaultAddress;
  s.present = 1;
  for (SimEncoderSettings& e : s.encoder) {
    e.bits = kMaxEncoderBits;
    e.code = SIM_CODE_GRAY;
    e.plugged = 1;
  }
  return s;
}

void Card::Reset(const SimCardSettings& settings, TimeSource clock) {
  clock_ = clock;
  lastNow_ = 0;
  uint64_t now = Now();
  timer_.PowerOn(kCardTimer, now);
  for (int i = 0; i < SIM_CHANNELS; ++i) encoder_[i].Configure(settings.encoder[i], now);
  address_ = settings.address;
  present_ = settings.present != 0;
  zeroInputs_ = settings.zeroInputs & 0x0F;
  control_ = 0;
  receive_ = 0;
  clockLine_ = true;
  settled_ = now;
}

// The timer's arithmetic needs time that never runs backwards.
uint64_t Card::Now() {
  uint64_t now = clock_.Now();
  if (now < lastNow_) now = lastNow_;
  lastNow_ = now;
  return now;
}

uint8_t Card::Read(uint16_t port) {
  uint64_t now = Now();
  uint16_t reg = static_cast<uint16_t>(port - address_);
  if (!present_ || reg >= kCardPorts) return 0xFF;
  return ReadRegister(static_cast<uint8_t>(reg), now);
}

void Card::Write(uint16_t port, uint8_t value) {
  uint64_t now = Now();
  uint16_t reg = static_cast<uint16_t>(port - address_);
  if (!present_ || reg >= kCardPorts) return;
  WriteRegister(static_cast<uint8_t>(reg), value, now);
}

uint8_t Card::ReadRegister(uint8_t reg, uint64_t now) {
  if (reg < 4) return timer_.Read(reg, now);
  Settle(now);
  if (reg < 7) return static_cast<uint8_t>(receive_ >> (8 * (reg - 4)));
  return static_cast<uint8_t>(0xE0 | zeroInputs_ << 1 | ((receive_ >> 24) & 1));
}

void Card::WriteRegister(uint8_t reg, uint8_t value, uint64_t now) {
  if (reg >= 4 && reg < 7) return;  // data registers are read-only
  Settle(now);
  if (reg == 7) {
    control_ = value;
    return;
  }
  timer_.Write(reg, value, now);
  // A control word can move counter 0's or counter 1's OUT at once.
  bool line = ClockLine(now);
  if (line != clockLine_) ClockEdge(line, now);
}

bool Card::ClockLine(uint64_t now) const { return timer_.Out(0, now) || timer_.Out(1, now); }

// Delivers the clock edges between the last settled moment and "now" to the
// selected channel. While counter 1's OUT is high the line stays high, so
// only its changes matter; while it is low, counter 0's edges pass.
void Card::Settle(uint64_t now) {
  uint64_t at = settled_;
  for (;;) {
    uint64_t next = timer_.NextOutChange(1, at);
    if (!timer_.Out(1, at)) {
      uint64_t clock = timer_.NextOutChange(0, at);
      if (clock < next) next = clock;
    }
    if (next > now) break;
    bool line = ClockLine(next);
    if (line != clockLine_) ClockEdge(line, next);
    at = next;
  }
  settled_ = now;
}

void Card::ClockEdge(bool level, uint64_t now) {
  SsiEncoder& encoder = encoder_[control_ & 3];
  clockLine_ = level;
  if (level) {
    encoder.ClockRising(now);
    return;
  }
  // The receiver samples mid-bit, at the falling edge, before the encoder
  // reacts to that edge.
  receive_ = ((receive_ << 1) | (encoder.Data(now) ? 1u : 0u)) & kReceiveMask;
  encoder.ClockFalling(now);
}

void Card::SetAddress(uint16_t address, bool present) {
  Settle(Now());
  address_ = address;
  present_ = present;
}

void Card::SetEncoder(unsigned channel, const SimEncoderSettings& settings) {
  if (channel < 1 || channel > SIM_CHANNELS) return;
  uint64_t now = Now();
  Settle(now);
  encoder_[channel - 1].Configure(settings, now);
}

void Card::SetZeroInput(unsigned input, bool active) {
  if (input < 1 || input > 4) return;
  uint8_t bit = static_cast<uint8_t>(1u << (input - 1));
  zeroInputs_ = static_cast<uint8_t>(active ? zeroInputs_ | bit : zeroInputs_ & ~bit);
}

SimCardSettings Card::Settings() {
  uint64_t now = Now();
  Settle(now);
  SimCardSettings s{};
  s.address = address_;
  s.present = present_ ? 1 : 0;
  s.zeroInputs = zeroInputs_;
  for (int i = 0; i < SIM_CHANNELS; ++i) s.encoder[i] = encoder_[i].SettingsAt(now);
  return s;
}

bool Card::LastLatch(unsigned channel, uint64_t* timeNs, uint32_t* position) const {
  if (channel < 1 || channel > SIM_CHANNELS) return false;
  return encoder_[channel - 1].LastLatch(timeNs, position);
}

}  // namespace sim
