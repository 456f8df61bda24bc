// The one card that a host keeps, behind the C interface. Zero-initialised
// static storage: nothing runs before SimCard_Reset.
#include "sim_card_c.h"

#include "card.h"

namespace {
sim::Card card;
}

extern "C" {

void SimCard_DefaultSettings(SimCardSettings *out) {
  if (out) *out = sim::DefaultCardSettings();
}

void SimCard_Reset(const SimCardSettings *settings, SimNowNs now, void *context) {
  SimCardSettings defaults = sim::DefaultCardSettings();
  card.Reset(settings ? *settings : defaults, sim::TimeSource{now, context});
}

uint8_t SimCard_Read(uint16_t port) { return card.Read(port); }

void SimCard_Write(uint16_t port, uint8_t value) { card.Write(port, value); }

void SimCard_SetAddress(uint16_t address, uint8_t present) { card.SetAddress(address, present != 0); }

void SimCard_SetEncoder(unsigned channel, const SimEncoderSettings *encoder) {
  if (encoder) card.SetEncoder(channel, *encoder);
}

void SimCard_SetZeroInput(unsigned input, uint8_t active) { card.SetZeroInput(input, active != 0); }

void SimCard_GetSettings(SimCardSettings *out) {
  if (out) *out = card.Settings();
}

void SimCard_SetStepLimit(uint32_t steps) { card.SetStepLimit(steps); }

uint8_t SimCard_ControlRegister(void) { return card.ControlRegister(); }

uint8_t SimCard_LastLatch(unsigned channel, uint64_t *timeNs, uint32_t *position) {
  return card.LastLatch(channel, timeNs, position) ? 1 : 0;
}

}  // extern "C"
