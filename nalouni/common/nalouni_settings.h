/* The simulated card's steering schema: one row per setting, with its name
   on the command line, its range, its default, its value in the driver's
   parameters key and how it prints. The tool parses, prints and stores by
   these rows, the driver checks its requests and loads its parameters by
   them, and an unset card's defaults come from them. A new setting is one
   row here plus its field in the records of nalouni_requests.h and, for the
   driver, in the simulated card (nalouni/driver/card_records.c).
   Plain C without library calls: the driver builds it too. */
#ifndef NALOUNI_SETTINGS_H
#define NALOUNI_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

#include "nalouni_requests.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Which record a setting belongs to, and so which line it prints on. */
typedef enum NaloUniGroup {
  NALOUNI_GROUP_PORT_WINDOW, /* the driver's port window (install) */
  NALOUNI_GROUP_CARD,        /* the card on the bus (card) */
  NALOUNI_GROUP_ZERO,        /* the zero inputs (zero) */
  NALOUNI_GROUP_ENCODER      /* one per channel (encoder CH); values carry the channel digit */
} NaloUniGroup;

/* How a value is written on the command line and printed. */
typedef enum NaloUniStyle {
  NALOUNI_STYLE_DECIMAL, /* --name N, decimal or 0x hex; prints decimal */
  NALOUNI_STYLE_SIGNED,  /* the same, may be negative */
  NALOUNI_STYLE_HEX,     /* the same; prints 0x hex */
  NALOUNI_STYLE_WORD,    /* --name WORD, one of words[0], words[1] */
  NALOUNI_STYLE_FLAG,    /* --words[0] or --words[1], no value */
  NALOUNI_STYLE_BITS     /* one word per channel: words[bit] */
} NaloUniStyle;

typedef struct NaloUniSetting {
  NaloUniGroup group;
  const char *name;      /* option (without "--") and name in messages */
  const char *argument;  /* what stands after the option in the usage text */
  NaloUniStyle style;
  const char *words[2];  /* WORD, FLAG, BITS: the names of 0 and 1 */
  int64_t low, high;     /* the values a setting may take */
  int64_t defaultValue;
  const char *valueName; /* REG_DWORD in the parameters key */
  const char *print;     /* the value's text in place of %s */
  size_t offset;         /* the field (uint32 or int32): in NaloUniEncoder for encoder
                            rows, in NaloUniState for the others */
} NaloUniSetting;

extern const NaloUniSetting NaloUniSettings[];
extern const unsigned NaloUniSettingCount;

#define NALOUNI_VALUE_NAME_SIZE 32u

/* The setting's field in *state; "channel" 1 to 4 for encoder rows. */
uint32_t *NaloUniSettingField(const NaloUniSetting *setting, NaloUniState *state, unsigned channel);
/* The field read as the setting's number (signed for SIGNED rows). */
int64_t NaloUniSettingValue(const NaloUniSetting *setting, const NaloUniState *state,
                            unsigned channel);
int NaloUniSettingInRange(const NaloUniSetting *setting, int64_t value);
/* A stored 32-bit value read as the setting's number. */
int64_t NaloUniSettingFromDword(const NaloUniSetting *setting, uint32_t value);
/* The registry value's name, e.g. "SimBits2" for encoder 2's bits. */
void NaloUniValueName(const NaloUniSetting *setting, unsigned channel,
                      char name[NALOUNI_VALUE_NAME_SIZE]);
/* The row of a group with the given name, or NULL. */
const NaloUniSetting *NaloUniFindSetting(NaloUniGroup group, const char *name);

/* Every setting at its default, channels numbered, other fields 0. */
void NaloUniDefaultState(NaloUniState *state);

/* Takes the stored settings into *state, each read by name through "read"
   (true when a value was stored). A value outside its setting's range is
   not taken; an encoder is taken whole or not at all, its position cut to
   its bits (the encoder goes on from where it stands). */
typedef int (*NaloUniReadValue)(void *context, const char *name, uint32_t *value);
void NaloUniLoadSettings(NaloUniState *state, NaloUniReadValue read, void *context);

/* The encoder rule: channel 1 to 4, every setting in its range, and the
   position below 2^bits. */
int NaloUniEncoderValid(const NaloUniEncoder *encoder);

#ifdef __cplusplus
}
#endif

#endif
