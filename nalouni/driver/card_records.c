/* Between the request records the driver speaks (nalouni_requests.h) and
   the simulated card's own settings (sim_card_c.h). */
#include "driver_state.h"

void EncoderToSim(const NaloUniEncoder *encoder, SimEncoderSettings *sim)
{
  RtlZeroMemory(sim, sizeof(*sim));
  sim->bits = (uint8_t)encoder->bits;
  sim->code = (uint8_t)encoder->code;
  sim->plugged = (uint8_t)encoder->plugged;
  sim->position = encoder->position;
  sim->speed = encoder->speed;
}

void StateFromSim(const SimCardSettings *card, NaloUniState *state)
{
  unsigned i;
  state->card.address = card->address;
  state->card.present = card->present;
  state->zeroInputs = card->zeroInputs;
  for (i = 0; i < NALOUNI_CHANNELS; ++i) {
    NaloUniEncoder *encoder = &state->encoder[i];
    encoder->channel = i + 1;
    encoder->bits = card->encoder[i].bits;
    encoder->code = card->encoder[i].code;
    encoder->plugged = card->encoder[i].plugged;
    encoder->position = card->encoder[i].position;
    encoder->speed = card->encoder[i].speed;
  }
}

void SimFromState(const NaloUniState *state, SimCardSettings *card)
{
  unsigned i;
  card->address = (uint16_t)state->card.address;
  card->present = (uint8_t)state->card.present;
  card->zeroInputs = (uint8_t)state->zeroInputs;
  for (i = 0; i < NALOUNI_CHANNELS; ++i)
    EncoderToSim(&state->encoder[i], &card->encoder[i]);
}
