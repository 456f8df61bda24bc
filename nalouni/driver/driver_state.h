/* What the driver keeps while it runs: its port window, read from the
   parameters key at each start, and the lock around the simulated card. */
#ifndef NALOUNI_DRIVER_STATE_H
#define NALOUNI_DRIVER_STATE_H

#include <ntddk.h>

#include "nalouni_requests.h"
#include "sim_card_c.h"

typedef struct PortWindow {
  ULONG address; /* "IoPortAddress": I/O port of request port 0 */
  ULONG count;   /* "IoPortCount": request ports 0 .. count-1 are served */
} PortWindow;

/* Reads the port window and the card's settings from the service's
   "Parameters" subkey; missing or malformed values keep their defaults. */
void ReadParameters(PUNICODE_STRING serviceKey, PortWindow *window, SimCardSettings *card);

/* The card's settings as request records and back (card_records.c). The
   records' values must lie in their ranges (nalouni_settings.h). */
void EncoderToSim(const NaloUniEncoder *encoder, SimEncoderSettings *sim);
void StateFromSim(const SimCardSettings *card, NaloUniState *state);
void SimFromState(const NaloUniState *state, SimCardSettings *card);

/* Serves one device request on the system buffer. Returns the status and
   sets *information to the bytes of output written. Every refused request
   leaves the card as it was. */
NTSTATUS ServeRequest(ULONG code, void *buffer, ULONG inputLength, ULONG outputLength,
                      ULONG_PTR *information);

/* Starts the card and the request handler with the window and settings. */
void StartCard(const PortWindow *window, const SimCardSettings *card);

#endif
