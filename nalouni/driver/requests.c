/* The driver's device requests: byte reads and writes on the port window,
   and the steering requests of the simulated card. Every request is checked
   in full before the card is touched, so a refused one changes nothing. */
#include "driver_state.h"

#include "nalouni_requests.h"
#include "nalouni_settings.h"

_Static_assert(IOCTL_NALOUNI_WRITE_BYTE == 0x9C40A440u, "write request code");
_Static_assert(IOCTL_NALOUNI_READ_BYTE == 0x9C406400u, "read request code");
_Static_assert(sizeof(NaloUniEncoder) == 24 && sizeof(NaloUniState) == 124, "record sizes");

/* The guard on the time a request holds the card lock (a spin lock: raised
   IRQL, nothing else runs on that processor). Under the lock every request
   makes the card catch up with its clock at most once, and the card does at
   most CARD_STEP_LIMIT edge steps for that, each a fixed piece of timer
   arithmetic without loops. Its own tests find a few hundred steps at most
   for every gap and timer programming they try, so the limit is not reached
   in use; it caps what a fault in the card could cost. Everything else under
   the lock is constant work. */
#define CARD_STEP_LIMIT 4096u

static PortWindow Window;
static uint32_t PortRequests;
static KSPIN_LOCK CardLock;
static LARGE_INTEGER ClockStart, ClockFrequency;

/* Nanoseconds since the driver started, from the high-resolution counter.
   Split so that the product never overflows 64 bits. */
static uint64_t CardNow(void *context)
{
  uint64_t ticks, frequency = (uint64_t)ClockFrequency.QuadPart;
  (void)context;
  ticks = (uint64_t)(KeQueryPerformanceCounter(NULL).QuadPart - ClockStart.QuadPart);
  if (frequency == 0)
    return 0;
  return ticks / frequency * 1000000000ULL + ticks % frequency * 1000000000ULL / frequency;
}

void StartCard(const PortWindow *window, const SimCardSettings *card)
{
  Window = *window;
  KeInitializeSpinLock(&CardLock);
  ClockStart = KeQueryPerformanceCounter(&ClockFrequency);
  SimCard_Reset(card, CardNow, NULL);
  SimCard_SetStepLimit(CARD_STEP_LIMIT);
}

/* The I/O port of request port "port", or -1 when it lies outside the
   window or outside the 16-bit I/O space. */
static LONG PortOf(ULONG port)
{
  ULONG absolute;
  if (port >= Window.count)
    return -1;
  absolute = Window.address + port;
  if (absolute < Window.address || absolute > 0xFFFF)
    return -1;
  return (LONG)absolute;
}

static ULONG Dword(const UCHAR *bytes)
{
  return (ULONG)bytes[0] | (ULONG)bytes[1] << 8 | (ULONG)bytes[2] << 16 | (ULONG)bytes[3] << 24;
}

static void FillState(NaloUniState *state)
{
  SimCardSettings card;

  SimCard_GetSettings(&card);
  RtlZeroMemory(state, sizeof(*state));
  state->ioPortAddress = Window.address;
  state->ioPortCount = Window.count;
  StateFromSim(&card, state);
  state->controlRegister = SimCard_ControlRegister();
  state->portRequests = PortRequests;
}

/* Runs under the card lock; the buffer has been checked for length. Each case
   makes the card catch up once at most (CARD_STEP_LIMIT). */
static NTSTATUS Serve(ULONG code, UCHAR *buffer, ULONG_PTR *information)
{
  LONG port;

  switch (code) {
  case IOCTL_NALOUNI_WRITE_BYTE:
    if ((port = PortOf(Dword(buffer))) < 0)
      return STATUS_INVALID_PARAMETER;
    SimCard_Write((uint16_t)port, buffer[4]);
    ++PortRequests;
    return STATUS_SUCCESS;

  case IOCTL_NALOUNI_READ_BYTE:
    if ((port = PortOf(Dword(buffer))) < 0)
      return STATUS_INVALID_PARAMETER;
    buffer[0] = SimCard_Read((uint16_t)port);
    ++PortRequests;
    *information = NALOUNI_READ_BYTE_OUTPUT;
    return STATUS_SUCCESS;

  case IOCTL_NALOUNI_BUS_WRITE:
    if (Dword(buffer) > 0xFFFF)
      return STATUS_INVALID_PARAMETER;
    SimCard_Write((uint16_t)Dword(buffer), buffer[4]);
    return STATUS_SUCCESS;

  case IOCTL_NALOUNI_BUS_READ:
    if (Dword(buffer) > 0xFFFF)
      return STATUS_INVALID_PARAMETER;
    buffer[0] = SimCard_Read((uint16_t)Dword(buffer));
    *information = NALOUNI_READ_BYTE_OUTPUT;
    return STATUS_SUCCESS;

  case IOCTL_NALOUNI_SET_CARD: {
    NaloUniCard card;
    RtlCopyMemory(&card, buffer, sizeof(card));
    if (card.address > 0xFFFF || card.present > 1)
      return STATUS_INVALID_PARAMETER;
    SimCard_SetAddress((uint16_t)card.address, (uint8_t)card.present);
    return STATUS_SUCCESS;
  }

  case IOCTL_NALOUNI_SET_ENCODER: {
    NaloUniEncoder enc;
    SimEncoderSettings settings;
    RtlCopyMemory(&enc, buffer, sizeof(enc));
    if (!NaloUniEncoderValid(&enc))
      return STATUS_INVALID_PARAMETER;
    EncoderToSim(&enc, &settings);
    SimCard_SetEncoder(enc.channel, &settings);
    return STATUS_SUCCESS;
  }

  case IOCTL_NALOUNI_SET_ZERO: {
    NaloUniZero zero;
    RtlCopyMemory(&zero, buffer, sizeof(zero));
    if (zero.input < 1 || zero.input > NALOUNI_CHANNELS || zero.active > 1)
      return STATUS_INVALID_PARAMETER;
    SimCard_SetZeroInput(zero.input, (uint8_t)zero.active);
    return STATUS_SUCCESS;
  }

  case IOCTL_NALOUNI_GET_STATE: {
    NaloUniState state;
    FillState(&state);
    RtlCopyMemory(buffer, &state, sizeof(state));
    *information = sizeof(state);
    return STATUS_SUCCESS;
  }
  }
  return STATUS_INVALID_DEVICE_REQUEST;
}

/* Input and output bytes each request needs at least. */
static int Needs(ULONG code, ULONG *input, ULONG *output)
{
  *input = *output = 0;
  switch (code) {
  case IOCTL_NALOUNI_WRITE_BYTE:
  case IOCTL_NALOUNI_BUS_WRITE: *input = NALOUNI_WRITE_BYTE_INPUT; return 1;
  case IOCTL_NALOUNI_READ_BYTE:
  case IOCTL_NALOUNI_BUS_READ:
    *input = NALOUNI_READ_BYTE_INPUT;
    *output = NALOUNI_READ_BYTE_OUTPUT;
    return 1;
  case IOCTL_NALOUNI_SET_CARD: *input = sizeof(NaloUniCard); return 1;
  case IOCTL_NALOUNI_SET_ENCODER: *input = sizeof(NaloUniEncoder); return 1;
  case IOCTL_NALOUNI_SET_ZERO: *input = sizeof(NaloUniZero); return 1;
  case IOCTL_NALOUNI_GET_STATE: *output = sizeof(NaloUniState); return 1;
  }
  return 0;
}

NTSTATUS ServeRequest(ULONG code, void *buffer, ULONG inputLength, ULONG outputLength,
                      ULONG_PTR *information)
{
  ULONG input, output;
  KIRQL irql;
  NTSTATUS status;

  *information = 0;
  if (!Needs(code, &input, &output))
    return STATUS_INVALID_DEVICE_REQUEST;
  if (inputLength < input || outputLength < output)
    return STATUS_BUFFER_TOO_SMALL;
  if (!buffer && (input || output))
    return STATUS_INVALID_PARAMETER;

  KeAcquireSpinLock(&CardLock, &irql);
  status = Serve(code, (UCHAR *)buffer, information);
  KeReleaseSpinLock(&CardLock, irql);
  return status;
}
