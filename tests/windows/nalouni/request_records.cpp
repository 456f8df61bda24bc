// The driver's request records as they cross from a program to the driver:
// the same bytes from a 32-bit program, a 64-bit one and a 32-bit one on
// WoW64, which passes buffered requests to the 64-bit driver unchanged. So
// every record has fixed-width fields at fixed offsets and no pointer or
// pointer-sized member; this build fails if one moves.
#include <cstddef>

#include "nalouni_requests.h"

static_assert(NALOUNI_WRITE_BYTE_INPUT == 5 && NALOUNI_READ_BYTE_INPUT == 4 &&
                  NALOUNI_READ_BYTE_OUTPUT == 1,
              "port records: 32-bit port (and 8-bit value) in, 8-bit value out");

static_assert(sizeof(NaloUniCard) == 8 && offsetof(NaloUniCard, address) == 0 &&
                  offsetof(NaloUniCard, present) == 4,
              "card record");
static_assert(sizeof(NaloUniEncoder) == 24 && offsetof(NaloUniEncoder, channel) == 0 &&
                  offsetof(NaloUniEncoder, bits) == 4 && offsetof(NaloUniEncoder, code) == 8 &&
                  offsetof(NaloUniEncoder, plugged) == 12 &&
                  offsetof(NaloUniEncoder, position) == 16 && offsetof(NaloUniEncoder, speed) == 20,
              "encoder record");
static_assert(sizeof(NaloUniZero) == 8 && offsetof(NaloUniZero, input) == 0 &&
                  offsetof(NaloUniZero, active) == 4,
              "zero input record");
static_assert(sizeof(NaloUniState) == 124 && offsetof(NaloUniState, ioPortAddress) == 0 &&
                  offsetof(NaloUniState, ioPortCount) == 4 && offsetof(NaloUniState, card) == 8 &&
                  offsetof(NaloUniState, zeroInputs) == 16 &&
                  offsetof(NaloUniState, controlRegister) == 20 &&
                  offsetof(NaloUniState, encoder) == 24 && offsetof(NaloUniState, portRequests) == 120,
              "state record");
