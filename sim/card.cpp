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
  settling_ = Settling::Bounded;
  falls_ = 0;
  steps_ = 0;
  stepLimit_ = 0;
  overruns_ = 0;
  overran_ = false;
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
// selected channel.
void Card::Settle(uint64_t now) {
  steps_ = 0;
  overran_ = false;
  if (now <= settled_) return;
  if (settling_ == Settling::EdgeByEdge)
    Walk(now);
  else
    SettleBounded(now);
  settled_ = now;
}

// Past the step limit the rest of the gap goes undelivered.
bool Card::Dropped(uint64_t until) {
  if (stepLimit_ == 0 || steps_ < stepLimit_) return false;
  if (!overran_) ++overruns_;
  overran_ = true;
  clockLine_ = ClockLine(until);
  settled_ = until;
  return true;
}

namespace {

// Up to four of a counter's next OUT changes after "at" (kNever for none).
struct Changes {
  uint64_t at[4];

  Changes(const Timer8254& timer, int counter, uint64_t after) {
    at[0] = timer.NextOutChange(counter, after);
    for (int i = 1; i < 4; ++i)
      at[i] = at[i - 1] == kNever ? kNever : timer.NextOutChange(counter, at[i - 1]);
  }
  // A counter with a steady clock that changes four times is a periodic one
  // (modes 2 and 3) after its first change: low and high, then again.
  uint64_t Period() const {
    if (at[3] == kNever || at[2] - at[0] != at[3] - at[1]) return 0;
    return at[2] - at[0];
  }
};

// Periods tried edge by edge before the encoder must have reached its steady
// state: a latch, a word of up to 25 bits and the low bit after it.
constexpr int kSteadyTries = 32;

}  // namespace

// Counter 1's OUT changes only at counter 0's falling edges (its clock) or at
// writes. Between its changes the line is either high or counter 0's wave.
void Card::SettleBounded(uint64_t now) {
  while (settled_ < now && !Dropped(now)) {
    Changes counter1(timer_, 1, settled_);
    if (counter1.at[0] >= now) {
      Stretch(now);
      return;
    }
    Stretch(counter1.at[0]);
    uint64_t period = counter1.Period();
    if (period != 0) RepeatPeriods(period, now, true);
  }
}

// Up to "until", in pieces over which counter 1's OUT stays as it is
// (wholeStretches), or edge by edge.
void Card::Deliver(uint64_t until, bool wholeStretches) {
  if (!wholeStretches) {
    Walk(until);
    return;
  }
  while (settled_ < until && !Dropped(until)) {
    uint64_t change = timer_.NextOutChange(1, settled_);
    Stretch(change < until ? change : until);
  }
}

// Up to "until", counter 1's OUT changing at "until" at the earliest: while
// it is high the line is high; while it is low the line is counter 0's OUT.
void Card::Stretch(uint64_t until) {
  if (!timer_.Out(1, settled_)) {
    Changes counter0(timer_, 0, settled_);
    uint64_t period = counter0.Period();
    if (period != 0 && counter0.at[0] < until) {
      Walk(counter0.at[0]);
      RepeatPeriods(period, until, false);
      return;
    }
  }
  Walk(until);
}

// The line repeats every "periodNs" from the settled moment on, up to
// "until". Periods go edge by edge until the selected encoder comes back to
// the same state (see SsiEncoder::RepeatsAfter); then all whole periods but
// the last few are skipped, and those few, which leave at least 25 samples
// in the receive register, go edge by edge again.
void Card::RepeatPeriods(uint64_t periodNs, uint64_t until, bool wholeStretches) {
  SsiEncoder& encoder = encoder_[control_ & 3];
  SsiEncoder before = encoder;
  for (int tries = 0; tries < kSteadyTries && until - settled_ > periodNs; ++tries) {
    uint32_t fallsBefore = falls_;
    Deliver(settled_ + periodNs, wholeStretches);
    uint32_t pairs = 0;
    SsiEncoder::Repeat repeat = encoder.RepeatsAfter(before, periodNs, &pairs);
    if (repeat != SsiEncoder::Repeat::Other) {
      uint32_t falls = falls_ - fallsBefore;
      uint64_t keep = falls == 0 ? 0 : (kReceiveBits + falls - 1) / falls;
      // Whole periods that end before "until", whose last edges therefore
      // lie before it too.
      uint64_t whole = (until - settled_ - 1) / periodNs;
      if (whole > keep) {
        uint64_t skip = whole - keep;
        encoder.SkipPeriods(repeat, skip, periodNs, pairs, clockLine_);
        settled_ += skip * periodNs;
      }
      break;
    }
    before = encoder;
  }
  Deliver(until, wholeStretches);
}

// Edge by edge. While counter 1's OUT is high the line stays high, so only
// its changes matter; while it is low, counter 0's edges pass.
void Card::Walk(uint64_t until) {
  uint64_t at = settled_;
  for (;;) {
    if (Dropped(until)) return;
    ++steps_;
    uint64_t next = timer_.NextOutChange(1, at);
    if (!timer_.Out(1, at)) {
      uint64_t clock = timer_.NextOutChange(0, at);
      if (clock < next) next = clock;
    }
    if (next > until) break;
    bool line = ClockLine(next);
    if (line != clockLine_) ClockEdge(line, next);
    at = next;
  }
  settled_ = until;
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
  ++falls_;
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
