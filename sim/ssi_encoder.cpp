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
    word_ = code_ == SIM_CODE_BINARY ? latchPosition_ : latchPosition_ ^ (latchPosition_ >> 1);
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

}  // namespace sim
