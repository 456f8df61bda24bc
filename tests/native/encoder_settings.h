// An encoder's settings for the simulated card, for the host tests.
#pragma once

#include "sim_card_c.h"

inline SimEncoderSettings Encoder(uint8_t bits, uint8_t code, uint32_t position,
                                  int32_t speed = 0, bool plugged = true) {
  SimEncoderSettings e{};
  e.bits = bits;
  e.code = code;
  e.plugged = plugged ? 1 : 0;
  e.position = position;
  e.speed = speed;
  return e;
}
