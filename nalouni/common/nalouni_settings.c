/* The rows of the simulated card's steering schema (nalouni_settings.h). */
#include "nalouni_settings.h"

#define STATE_FIELD(field) offsetof(NaloUniState, field)
#define ENCODER_FIELD(field) offsetof(NaloUniEncoder, field)
#define NO_WORDS {NULL, NULL}

/* Rows of a group print in this order, joined by ", ". */
const NaloUniSetting NaloUniSettings[] = {
    {NALOUNI_GROUP_PORT_WINDOW, "address", "A", NALOUNI_STYLE_HEX, NO_WORDS, 0, 0xFFFF,
     NALOUNI_DEFAULT_ADDRESS, "IoPortAddress", "IoPortAddress %s", STATE_FIELD(ioPortAddress)},
    {NALOUNI_GROUP_PORT_WINDOW, "count", "N", NALOUNI_STYLE_DECIMAL, NO_WORDS, 0, 0x10000,
     NALOUNI_DEFAULT_COUNT, "IoPortCount", "IoPortCount %s", STATE_FIELD(ioPortCount)},

    {NALOUNI_GROUP_CARD, "present", "", NALOUNI_STYLE_FLAG, {"absent", "present"}, 0, 1, 1,
     "SimCardPresent", "%s", STATE_FIELD(card.present)},
    {NALOUNI_GROUP_CARD, "address", "A", NALOUNI_STYLE_HEX, NO_WORDS, 0, 0xFFFF,
     NALOUNI_DEFAULT_ADDRESS, "SimCardAddress", "address %s", STATE_FIELD(card.address)},

    {NALOUNI_GROUP_ZERO, "inputs", "", NALOUNI_STYLE_BITS, {"off", "on"}, 0,
     (1 << NALOUNI_CHANNELS) - 1, 0, "SimZeroInputs", "zero inputs 1-4: %s",
     STATE_FIELD(zeroInputs)},

    {NALOUNI_GROUP_ENCODER, "bits", "N", NALOUNI_STYLE_DECIMAL, NO_WORDS, 1, NALOUNI_MAX_BITS,
     NALOUNI_DEFAULT_BITS, "SimBits", "%s bits", ENCODER_FIELD(bits)},
    {NALOUNI_GROUP_ENCODER, "code", "gray|binary", NALOUNI_STYLE_WORD, {"gray", "binary"},
     NALOUNI_CODE_GRAY, NALOUNI_CODE_BINARY, NALOUNI_CODE_GRAY, "SimCode", "%s",
     ENCODER_FIELD(code)},
    {NALOUNI_GROUP_ENCODER, "plugged", "", NALOUNI_STYLE_FLAG, {"unplugged", "plugged"}, 0, 1, 1,
     "SimPlugged", "%s", ENCODER_FIELD(plugged)},
    {NALOUNI_GROUP_ENCODER, "position", "P", NALOUNI_STYLE_DECIMAL, NO_WORDS, 0,
     (1 << NALOUNI_MAX_BITS) - 1, 0, "SimPosition", "position %s", ENCODER_FIELD(position)},
    {NALOUNI_GROUP_ENCODER, "speed", "S", NALOUNI_STYLE_SIGNED, NO_WORDS, INT32_MIN + 1,
     INT32_MAX, 0, "SimSpeed", "speed %s", ENCODER_FIELD(speed)},
};

const unsigned NaloUniSettingCount = sizeof NaloUniSettings / sizeof NaloUniSettings[0];

uint32_t *NaloUniSettingField(const NaloUniSetting *setting, NaloUniState *state, unsigned channel)
{
  unsigned char *record = (unsigned char *)state;
  if (setting->group == NALOUNI_GROUP_ENCODER)
    record = (unsigned char *)&state->encoder[channel - 1];
  return (uint32_t *)(record + setting->offset);
}

int64_t NaloUniSettingFromDword(const NaloUniSetting *setting, uint32_t value)
{
  return setting->style == NALOUNI_STYLE_SIGNED ? (int64_t)(int32_t)value : (int64_t)value;
}

int64_t NaloUniSettingValue(const NaloUniSetting *setting, const NaloUniState *state,
                            unsigned channel)
{
  return NaloUniSettingFromDword(
      setting, *NaloUniSettingField(setting, (NaloUniState *)state, channel));
}

int NaloUniSettingInRange(const NaloUniSetting *setting, int64_t value)
{
  return value >= setting->low && value <= setting->high;
}

void NaloUniValueName(const NaloUniSetting *setting, unsigned channel,
                      char name[NALOUNI_VALUE_NAME_SIZE])
{
  unsigned i = 0;
  while (setting->valueName[i] && i + 2 < NALOUNI_VALUE_NAME_SIZE) {
    name[i] = setting->valueName[i];
    ++i;
  }
  if (setting->group == NALOUNI_GROUP_ENCODER)
    name[i++] = (char)('0' + channel);
  name[i] = 0;
}

static int SameName(const char *a, const char *b)
{
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

const NaloUniSetting *NaloUniFindSetting(NaloUniGroup group, const char *name)
{
  unsigned i;
  for (i = 0; i < NaloUniSettingCount; ++i)
    if (NaloUniSettings[i].group == group && SameName(NaloUniSettings[i].name, name))
      return &NaloUniSettings[i];
  return NULL;
}

void NaloUniDefaultState(NaloUniState *state)
{
  unsigned char *bytes = (unsigned char *)state;
  unsigned i, ch;
  for (i = 0; i < sizeof *state; ++i)
    bytes[i] = 0;
  for (ch = 1; ch <= NALOUNI_CHANNELS; ++ch)
    state->encoder[ch - 1].channel = ch;
  for (i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting *setting = &NaloUniSettings[i];
    const unsigned channels = setting->group == NALOUNI_GROUP_ENCODER ? NALOUNI_CHANNELS : 1;
    for (ch = 1; ch <= channels; ++ch)
      *NaloUniSettingField(setting, state, ch) = (uint32_t)setting->defaultValue;
  }
}

int NaloUniEncoderValid(const NaloUniEncoder *encoder)
{
  NaloUniState state;
  unsigned i;
  if (encoder->channel < 1 || encoder->channel > NALOUNI_CHANNELS)
    return 0;
  state.encoder[0] = *encoder;
  for (i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting *setting = &NaloUniSettings[i];
    if (setting->group == NALOUNI_GROUP_ENCODER &&
        !NaloUniSettingInRange(setting, NaloUniSettingValue(setting, &state, 1)))
      return 0;
  }
  return (encoder->position >> encoder->bits) == 0;
}

void NaloUniLoadSettings(NaloUniState *state, NaloUniReadValue read, void *context)
{
  NaloUniState stored = *state;
  int encoderGood[NALOUNI_CHANNELS] = {1, 1, 1, 1};
  unsigned i, ch;

  for (i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting *setting = &NaloUniSettings[i];
    const unsigned channels = setting->group == NALOUNI_GROUP_ENCODER ? NALOUNI_CHANNELS : 1;
    for (ch = 1; ch <= channels; ++ch) {
      char name[NALOUNI_VALUE_NAME_SIZE];
      uint32_t value;
      NaloUniValueName(setting, ch, name);
      if (!read(context, name, &value))
        continue;
      if (NaloUniSettingInRange(setting, NaloUniSettingFromDword(setting, value)))
        *NaloUniSettingField(setting, &stored, ch) = value;
      else if (setting->group == NALOUNI_GROUP_ENCODER)
        encoderGood[ch - 1] = 0;
    }
  }
  for (ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    NaloUniEncoder *encoder = &stored.encoder[ch - 1];
    if (encoderGood[ch - 1])
      encoder->position &= (1UL << encoder->bits) - 1;
    else
      *encoder = state->encoder[ch - 1];
  }
  *state = stored;
}
