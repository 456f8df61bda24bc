/* Device requests of the port driver "\\.\NaloUniDev" and their records.
   Shared by the driver, the card library, the port library, the tool and
   the tests. All requests are METHOD_BUFFERED on device type 40000;
   numbers little-endian.
   Codes follow the CTL_CODE rule: type << 16 | access << 14 | function << 2. */
#ifndef NALOUNI_REQUESTS_H
#define NALOUNI_REQUESTS_H

#include <stdint.h>

#define NALOUNI_DEVICE_TYPE 40000u
#define NALOUNI_REQUEST(function, access) \
  ((NALOUNI_DEVICE_TYPE << 16) | ((uint32_t)(access) << 14) | ((uint32_t)(function) << 2))

#define NALOUNI_READ_ACCESS 1u
#define NALOUNI_WRITE_ACCESS 2u

#define NALOUNI_SERVICE_NAME "NALOUNI"
#define NALOUNI_DEVICE_PATH "\\\\.\\NaloUniDev"
#define NALOUNI_PARAMETERS_KEY "SYSTEM\\CurrentControlSet\\Services\\NALOUNI\\Parameters"

/* Port requests: the port is an offset from "IoPortAddress", below "IoPortCount". */
#define IOCTL_NALOUNI_WRITE_BYTE NALOUNI_REQUEST(0x910, NALOUNI_WRITE_ACCESS) /* 0x9C40A440 */
#define IOCTL_NALOUNI_READ_BYTE NALOUNI_REQUEST(0x900, NALOUNI_READ_ACCESS)   /* 0x9C406400 */
#define NALOUNI_WRITE_BYTE_INPUT 5u /* 32-bit port, 8-bit value */
#define NALOUNI_READ_BYTE_INPUT 4u  /* 32-bit port */
#define NALOUNI_READ_BYTE_OUTPUT 1u

/* The records of the port and bus requests, written byte by byte so that
   they are the same on every compiler and target: the write record is the
   port in four bytes, least significant first, then the value; the read
   record is the port alone. */
static inline void NaloUniReadRecord(uint8_t record[NALOUNI_READ_BYTE_INPUT], uint32_t port)
{
  record[0] = (uint8_t)port;
  record[1] = (uint8_t)(port >> 8);
  record[2] = (uint8_t)(port >> 16);
  record[3] = (uint8_t)(port >> 24);
}

static inline void NaloUniWriteRecord(uint8_t record[NALOUNI_WRITE_BYTE_INPUT], uint32_t port,
                                      uint8_t value)
{
  NaloUniReadRecord(record, port);
  record[4] = value;
}

/* Steering requests for the simulated card behind the ports. Each takes
   effect at once and lasts until the driver's service stops; the tool keeps
   the same settings in the parameters key so that they outlast a restart. */
#define IOCTL_NALOUNI_SET_CARD NALOUNI_REQUEST(0xA00, NALOUNI_WRITE_ACCESS)    /* in: NaloUniCard */
#define IOCTL_NALOUNI_SET_ENCODER NALOUNI_REQUEST(0xA01, NALOUNI_WRITE_ACCESS) /* in: NaloUniEncoder */
#define IOCTL_NALOUNI_SET_ZERO NALOUNI_REQUEST(0xA02, NALOUNI_WRITE_ACCESS)    /* in: NaloUniZero */
#define IOCTL_NALOUNI_GET_STATE NALOUNI_REQUEST(0xA03, NALOUNI_READ_ACCESS)    /* out: NaloUniState */

/* Bus access at an absolute I/O port, outside the port window: what a port
   instruction would do on a machine with the card plugged in. Same records
   as the port requests, the port being the absolute one (0 to 0xFFFF). */
#define IOCTL_NALOUNI_BUS_WRITE NALOUNI_REQUEST(0xA04, NALOUNI_WRITE_ACCESS) /* in: 5 bytes */
#define IOCTL_NALOUNI_BUS_READ NALOUNI_REQUEST(0xA05, NALOUNI_READ_ACCESS)   /* in: 4, out: 1 byte */

#define NALOUNI_CHANNELS 4u
#define NALOUNI_MAX_BITS 25u
#define NALOUNI_CODE_GRAY 0u
#define NALOUNI_CODE_BINARY 1u

typedef struct NaloUniCard {
  uint32_t address; /* jumper: base of the card's eight ports, 0 to 0xFFFF */
  uint32_t present; /* 0: no card on the bus, 1: card present */
} NaloUniCard;

typedef struct NaloUniEncoder {
  uint32_t channel;  /* 1 to 4 */
  uint32_t bits;     /* 1 to 25 */
  uint32_t code;     /* NALOUNI_CODE_GRAY or NALOUNI_CODE_BINARY */
  uint32_t plugged;  /* 0 or 1 */
  uint32_t position; /* below 2^bits */
  int32_t speed;     /* counts per second */
} NaloUniEncoder;

typedef struct NaloUniZero {
  uint32_t input;  /* 1 to 4 */
  uint32_t active; /* 0 or 1 */
} NaloUniZero;

typedef struct NaloUniState {
  uint32_t ioPortAddress; /* the driver's configuration, read at its start */
  uint32_t ioPortCount;
  NaloUniCard card;
  uint32_t zeroInputs;      /* bit n-1: zero input n active */
  uint32_t controlRegister; /* last byte written to register 7: channel select, outputs 1-6 in bits 2-7 */
  NaloUniEncoder encoder[NALOUNI_CHANNELS]; /* positions as of the request */
  uint32_t portRequests; /* port reads and writes served since the driver started */
} NaloUniState;

/* The defaults of an unset card: at the factory jumper 0x100, 25-bit Gray
   encoders plugged in and standing at 0. Every setting, its range, default
   and registry value is a row of nalouni_settings.h. */
#define NALOUNI_DEFAULT_ADDRESS 0x100u
#define NALOUNI_DEFAULT_COUNT 8u
#define NALOUNI_DEFAULT_BITS 25u

#endif
