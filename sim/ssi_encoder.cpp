#include "ssi_encoder.h"

namespace sim {

namespace {
constexpr uint64_t kNsPerSecond = 1000000000u;
}

void SsiEncoder::Configure(const SimEncoderSettings& s, uint64_t now) {
  bits_ = s.bits < 1 ? 1 : s.bits > kMaxEncoderBits ? kMaxEncoderBits : s.bits;
  code_ = s.code;
  plugged_ = s.plugged != 0;
  startPosition_ = s.position & ((1u << bits_) - 1);
  speed_ = s.speed;
  startTime_ = now;
  clocked_ = false;
  lastEdge_ = 0;
  word_ = 0;
  sent_ = 0;
  repeating_ = false;
  latched_ = false;
  latchTime_ = 0;
  latchPosition_ = 0;
}

SimEncoderSettings SsiEncoder::SettingsAt(uint64_t now) const {
  SimEncoderSettings s{};
  s.bits = bits_;
  s.code = code_;
  s.plugged = plugged_ ? 1 : 0;
  s.position = PositionAt(now);
  s.speed = speed_;
  return s;
}

uint32_t SsiEncoder::PositionAt(uint64_t now) const {
  uint32_t mask = (1u << bits_) - 1;
  uint64_t elapsed = now > startTime_ ? now - startTime_ : 0;
  uint64_t speed = speed_ < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(speed_))
                              : static_cast<uint64_t>(speed_);
  // floor(speed * elapsed / 1 s) modulo 2^bits, without overflowing 64 bits.
  uint64_t seconds = elapsed / kNsPerSecond;
  uint64_t rest = elapsed % kNsPerSecond;
  uint64_t moved = speed * (seconds & mask) + speed * rest / kNsPerSecond;
  uint32_t delta = static_cast<uint32_t>(moved) & mask;
  return (speed_ < 0 ? startPosition_ - delta : startPosition_ + delta) & mask;
}

uint32_t SsiEncoder::WordAt(uint32_t position) const {
  return code_ == SIM_CODE_BINARY ? position : position ^ (position >> 1);
}

bool SsiEncoder::MonoflopRunning(uint64_t now) const {
  return clocked_ && now - lastEdge_ < kMonoflopNs;
}

bool SsiEncoder::Data(uint64_t now) const {
  if (!plugged_ || !MonoflopRunning(now)) return true;
  if (sent_ == 0) return !repeating_;  // before the MSB the line holds its level
  if (sent_ > bits_) return false;
  return (word_ >> (bits_ - sent_)) & 1;
}

void SsiEncoder::ClockFalling(uint64_t now) {
  if (!plugged_) return;
  if (!MonoflopRunning(now)) {
    latchPosition_ = PositionAt(now);
    latchTime_ = now;
    latched_ = true;
    word_ = WordAt(latchPosition_);
    sent_ = 0;
    repeating_ = false;
  } else if (sent_ > bits_) {
    sent_ = 0;  // repeat the old word
    repeating_ = true;
  }
  clocked_ = true;
  lastEdge_ = now;
}

void SsiEncoder::ClockRising(uint64_t now) {
  if (!plugged_ || !MonoflopRunning(now)) return;  // no falling edge began a word
  if (sent_ <= bits_) ++sent_;
  lastEdge_ = now;
}

bool SsiEncoder::LastLatch(uint64_t* timeNs, uint32_t* position) const {
  if (!latched_) return false;
  if (timeNs) *timeNs = latchTime_;
  if (position) *position = latchPosition_;
  return latched_;
}

// The monoflop and the latch are decided by the time since the last edge
// alone, so an encoder whose timing state (edge and latch times relative to
// the period, bits sent) comes back after one period of a repeating line
// goes through the same steps in every later period.
SsiEncoder::Repeat SsiEncoder::RepeatsAfter(const SsiEncoder& before, uint64_t periodNs,
                                            uint32_t* pairs) const {
  *pairs = 0;
  if (clocked_ == before.clocked_ && lastEdge_ == before.lastEdge_ && sent_ == before.sent_ &&
      repeating_ == before.repeating_ && latched_ == before.latched_ &&
      latchTime_ == before.latchTime_)
    return Repeat::Unchanged;
  if (!clocked_ || !before.clocked_ || lastEdge_ != before.lastEdge_ + periodNs ||
      latched_ != before.latched_ || repeating_ != before.repeating_)
    return Repeat::Other;
  if (latchTime_ == before.latchTime_ + periodNs && sent_ == before.sent_) return Repeat::Relatched;
  if (latchTime_ != before.latchTime_ || !repeating_) return Repeat::Other;
  uint32_t cycle = bits_ + 1u;
  *pairs = (sent_ + cycle - before.sent_) % cycle;
  return Repeat::Running;
}

void SsiEncoder::SkipPeriods(Repeat repeat, uint64_t periods, uint64_t periodNs, uint32_t pairs,
                             bool lineHigh) {
  uint64_t shift = periods * periodNs;
  switch (repeat) {
    case Repeat::Relatched:
      // The same latch, "shift" later: the position of that moment.
      lastEdge_ += shift;
      latchTime_ += shift;
      latchPosition_ = PositionAt(latchTime_);
      word_ = WordAt(latchPosition_);
      break;
    case Repeat::Running: {
      // After a falling edge sent_ is 0..bits (bits shifted out of this
      // word), after a rising one 1..bits + 1; a clock pulse moves it on by
      // one, modulo bits + 1.
      lastEdge_ += shift;
      uint32_t cycle = bits_ + 1u;
      uint32_t phase = lineHigh ? sent_ - 1u : sent_;
      phase = static_cast<uint32_t>((phase + (periods % cycle) * pairs) % cycle);
      sent_ = static_cast<uint8_t>(lineHigh ? phase + 1u : phase);
      break;
    }
    default:
      break;
  }
}

}  // namespace sim
