// A card behind the protocol's port operations that answers every burst at
// once with the selected channel's word, and whose zero inputs can be active
// during one channel's acquisition only.
#pragma once

#include <cstdint>

struct ScriptedCard {
  uint32_t word[4] = {0, 0, 0, 0};  // received word of channel 1..4, 25 bits
  uint8_t inputsDuringAcquisition[4] = {0, 0, 0, 0};  // input flags seen while channel n is read
  uint8_t inputsAtRest = 0;                           // input flags outside acquisitions
  // Internal: what the last writes and reads selected.
  uint8_t selected = 0;     // channel - 1 from register 7
  bool statusLow = false;   // counter 1's OUT: low once, then high, per burst
  bool inAcquisition = false;

  void Reset() { *this = ScriptedCard(); }
};

extern ScriptedCard Card;
