// The SSI interface card: eight byte ports at a jumper address.
//
//   0-3  8254-compatible timer (counter 0, 1, 2, control)
//   4-6  read: receive register bits 0-7, 8-15, 16-23
//   7    read: bit 0 receive register bit 24, bits 1-4 zero inputs 1-4,
//              bits 5-7 not driven (read as 1)
//        write: bits 0-1 channel select, bits 2-7 outputs 1-6
//
// Timer wiring: counter 0 runs from a 2 MHz oscillator and makes the SSI
// clock (mode 3, 2000 / divisor kHz). Counter 1 counts counter 0's OUT and is
// gated by counter 2's OUT; as a one-shot (mode 1) its OUT is low for the
// length of the clock burst. Counter 2 has no clock: software sets its OUT by
// writing a control word (mode 0: low, mode 1: high), and its rising edge
// triggers the burst.
//
// The SSI clock line of the selected channel is counter 0's OUT while counter
// 1's OUT is low, and high otherwise. The receiver samples the data line of
// the selected channel at every falling edge of that line and shifts the bit
// into the 25-bit receive register from the bottom; bits shifted out at the
// top are lost and the register is never cleared.
//
// A burst of n + 1 pulses to an n-bit encoder therefore leaves, from the
// bottom: the LSB in bit 0 up to the MSB in bit n - 1, then in bit n the level
// the line had at the first falling edge (1 when the encoder was idle, 0 when
// the burst came inside the monoflop time), and above that what earlier
// bursts left. The low n bits are the encoder's word. With nothing plugged in
// the line reads high, so every sampled bit is 1.
//
// When the card is absent, or a port lies outside its eight, reads float
// (0xFF) and writes vanish; the card keeps running unseen.
//
// Settling. The card catches up with the clock line at each access, from the
// previous one. However the timer is programmed, the line between two writes
// is a few irregular edges followed by a pattern that repeats: counter 0's
// square wave while counter 1's OUT is low, and, when counter 1 runs
// periodically too, its low stretches (bursts of counter 0 pulses) one per
// period of counter 1. A program may leave such a line running for hours, so
// the card does not deliver every edge: it delivers periods edge by edge
// until the selected encoder is in a steady state, skips whole periods by
// arithmetic, and delivers the last periods again edge by edge so that the
// receive register holds its last 25 samples. The result is the one that
// delivering every edge gives; an access costs a bounded number of edge
// steps (see SettleSteps) whatever the gap.
//
// Steady state of an encoder under a running clock: when no gap between two
// clock edges reaches the monoflop time, the encoder latches once, at the
// first falling edge, and then sends that word MSB first, the low line after
// the LSB, and the same word again, for as long as the clock runs: the
// receiver samples a stream that repeats every bits + 1 falling edges, and
// the latched position stays the one of the first edge however far the
// encoder turns meanwhile. When the line pauses for the monoflop time or
// longer once per period, the encoder returns to idle each time and latches
// afresh at the first falling edge after the pause (its position then), so
// each period sends a new word. An unplugged channel never changes.
#pragma once

#include <stdint.h>

#include "sim_card_c.h"
#include "ssi_encoder.h"
#include "time_source.h"
#include "timer8254.h"

namespace sim {

constexpr uint16_t kDefaultAddress = 0x100;
constexpr uint8_t kCardPorts = 8;
constexpr uint32_t kTimerClockNs = 500;  // 2 MHz
constexpr uint32_t kReceiveMask = 0x1FFFFFF;
constexpr uint32_t kReceiveBits = 25;

// How the card catches up with the clock line: Bounded skips the periods that
// cannot change the outcome; EdgeByEdge delivers every edge (the reference the
// tests hold Bounded to; its cost grows with the gap times the clock rate).
enum class Settling : uint8_t { Bounded, EdgeByEdge };

// Power-on defaults: address 0x100, card present, no zero input active, four
// 25-bit Gray encoders plugged in, at rest at position 0.
SimCardSettings DefaultCardSettings();

class Card {
 public:
  void Reset(const SimCardSettings& settings, TimeSource clock);

  // One bus access each; every access takes one reading of the clock.
  uint8_t Read(uint16_t port);
  void Write(uint16_t port, uint8_t value);

  // Steering; each takes effect from "now".
  void SetAddress(uint16_t address, bool present);
  void SetEncoder(unsigned channel, const SimEncoderSettings& settings);  // channel 1..4
  void SetZeroInput(unsigned input, bool active);                         // input 1..4

  SimCardSettings Settings();  // encoder positions as of now
  uint8_t ControlRegister() const { return control_; }
  // When the encoder of a channel last latched its position, and which.
  bool LastLatch(unsigned channel, uint64_t* timeNs, uint32_t* position) const;

  // Reset chooses Bounded and no step limit.
  void SetSettling(Settling settling) { settling_ = settling; }
  // Edge steps (moments of the line examined) of the latest catching up.
  uint32_t SettleSteps() const { return steps_; }
  // A hard cap on the edge steps of one catching up, for a host that must
  // bound its work (0: none). Should it ever be reached, the card drops the
  // rest of the gap: the line takes its present level, the receive register
  // and the encoder keep what the edges delivered so far made of them. Each
  // time counts in Overruns.
  void SetStepLimit(uint32_t steps) { stepLimit_ = steps; }
  uint32_t Overruns() const { return overruns_; }

 private:
  uint64_t Now();
  bool ClockLine(uint64_t now) const;
  void Settle(uint64_t now);
  void SettleBounded(uint64_t now);
  void Deliver(uint64_t until, bool wholeStretches);
  void Stretch(uint64_t until);
  void RepeatPeriods(uint64_t periodNs, uint64_t until, bool wholeStretches);
  void Walk(uint64_t until);
  bool Dropped(uint64_t until);
  void ClockEdge(bool level, uint64_t now);
  uint8_t ReadRegister(uint8_t reg, uint64_t now);
  void WriteRegister(uint8_t reg, uint8_t value, uint64_t now);

  TimeSource clock_;
  Timer8254 timer_;
  SsiEncoder encoder_[SIM_CHANNELS];
  uint16_t address_;
  bool present_;
  uint8_t zeroInputs_;  // bit n-1: zero input n active
  uint8_t control_;     // last byte written to register 7
  uint32_t receive_;
  bool clockLine_;      // level of the selected channel's clock line at settled_
  uint64_t settled_;    // clock edges are processed up to here
  uint64_t lastNow_;    // latest clock reading; an earlier one counts as this
  Settling settling_;
  uint32_t falls_;      // falling edges delivered, modulo 2^32
  uint32_t steps_;
  uint32_t stepLimit_;
  uint32_t overruns_;
  bool overran_;        // the latest catching up reached the step limit
};

}  // namespace sim
