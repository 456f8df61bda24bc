/* C view of the one simulated card that a host (the port driver) keeps.
   Freestanding: no heap, no exceptions, no library calls. The host supplies
   "now" in nanoseconds; the card computes its timer state from it. */
#ifndef SIM_CARD_C_H
#define SIM_CARD_C_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SIM_CHANNELS 4
#define SIM_CODE_GRAY 0
#define SIM_CODE_BINARY 1

typedef uint64_t (*SimNowNs)(void *context);

typedef struct SimEncoderSettings {
  uint8_t bits;      /* 1 to 25 */
  uint8_t code;      /* SIM_CODE_GRAY or SIM_CODE_BINARY */
  uint8_t plugged;   /* 0: no encoder on the channel, data line stays idle */
  uint8_t reserved;
  uint32_t position; /* position at the moment the settings were applied */
  int32_t speed;     /* counts per second, wraps at 2^bits */
} SimEncoderSettings;

typedef struct SimCardSettings {
  uint16_t address;  /* jumper: base of the card's eight ports */
  uint8_t present;   /* 0: no card on the bus at all */
  uint8_t zeroInputs; /* bit n-1: zero input n active */
  SimEncoderSettings encoder[SIM_CHANNELS];
} SimCardSettings;

/* Resets the card to power-on state with the given settings and clock.
   settings NULL: the defaults of SimCard_DefaultSettings. now NULL: time
   stands still at 0. The card reads the clock once per bus access and once
   per steering call. */
void SimCard_Reset(const SimCardSettings *settings, SimNowNs now, void *context);

/* Address 0x100, card present, no zero input active, four plugged 25-bit
   Gray encoders at rest at position 0. */
void SimCard_DefaultSettings(SimCardSettings *out);

/* One bus access at an absolute I/O port; ports outside the card float. */
uint8_t SimCard_Read(uint16_t port);
void SimCard_Write(uint16_t port, uint8_t value);

/* Steering while running; each takes effect from "now". */
void SimCard_SetAddress(uint16_t address, uint8_t present);
void SimCard_SetEncoder(unsigned channel /* 1..4 */, const SimEncoderSettings *encoder);
void SimCard_SetZeroInput(unsigned input /* 1..4 */, uint8_t active);

/* A cap on the work of one call: the card catches up with its clock line in
   at most "steps" edge steps (0: no cap). Its work does not grow with the
   time it was left alone, however its timer is programmed: in every case
   the card's tests try, a call takes a few hundred steps at most. Should a
   call ever reach the cap, the rest of the time since the previous call
   goes undelivered (the clock line takes its present level) rather than
   taking longer. SimCard_Reset removes the cap. */
void SimCard_SetStepLimit(uint32_t steps);

/* Read-back for tests and tools. */
void SimCard_GetSettings(SimCardSettings *out); /* encoder positions as of now */
uint8_t SimCard_ControlRegister(void);          /* last byte written to register 7 */
/* The moment (ns of the card's clock) and the position at which the channel's
   encoder last latched, as of the last bus access. Returns 0 if it never has. */
uint8_t SimCard_LastLatch(unsigned channel /* 1..4 */, uint64_t *timeNs, uint32_t *position);

#ifdef __cplusplus
}
#endif

#endif
