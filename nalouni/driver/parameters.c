/* The driver's parameters: "IoPortAddress" and "IoPortCount", and the
   simulated card's settings that the tool stores beside them. Read once at
   each start of the service. */
#include "driver_state.h"

#include "nalouni_requests.h"

#define VALUE_BUFFER_SIZE (sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG))

/* One REG_DWORD value; anything else (missing, other type or size) leaves
   *value untouched. */
static void ReadDword(HANDLE key, const WCHAR *name, ULONG *value)
{
  UNICODE_STRING valueName;
  ULONG buffer[(VALUE_BUFFER_SIZE + sizeof(ULONG) - 1) / sizeof(ULONG)];
  KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)buffer;
  ULONG length = 0;

  RtlInitUnicodeString(&valueName, name);
  if (!NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info,
                                  sizeof(buffer), &length)))
    return;
  if (info->Type != REG_DWORD || info->DataLength != sizeof(ULONG))
    return;
  *value = *(const ULONG *)info->Data;
}

/* name + channel digit, e.g. L"SimBits2". */
static void ChannelValueName(WCHAR *out, unsigned size, const WCHAR *name, unsigned channel)
{
  unsigned i = 0;
  while (name[i] && i + 2 < size) {
    out[i] = name[i];
    ++i;
  }
  out[i++] = (WCHAR)(L'0' + channel);
  out[i] = 0;
}

static void ReadCard(HANDLE key, SimCardSettings *card)
{
  ULONG address = card->address, present = card->present, zero = card->zeroInputs;
  unsigned ch;

  ReadDword(key, L"" NALOUNI_VALUE_CARD_ADDRESS, &address);
  ReadDword(key, L"" NALOUNI_VALUE_CARD_PRESENT, &present);
  ReadDword(key, L"" NALOUNI_VALUE_ZERO_INPUTS, &zero);
  if (address <= 0xFFFF)
    card->address = (uint16_t)address;
  card->present = present != 0;
  card->zeroInputs = (uint8_t)(zero & 0x0F);

  for (ch = 1; ch <= SIM_CHANNELS; ++ch) {
    SimEncoderSettings *enc = &card->encoder[ch - 1];
    ULONG bits = enc->bits, code = enc->code, plugged = enc->plugged;
    ULONG position = enc->position, speed = (ULONG)enc->speed;
    WCHAR name[32];

    ChannelValueName(name, 32, L"" NALOUNI_VALUE_BITS, ch);
    ReadDword(key, name, &bits);
    ChannelValueName(name, 32, L"" NALOUNI_VALUE_CODE, ch);
    ReadDword(key, name, &code);
    ChannelValueName(name, 32, L"" NALOUNI_VALUE_PLUGGED, ch);
    ReadDword(key, name, &plugged);
    ChannelValueName(name, 32, L"" NALOUNI_VALUE_POSITION, ch);
    ReadDword(key, name, &position);
    ChannelValueName(name, 32, L"" NALOUNI_VALUE_SPEED, ch);
    ReadDword(key, name, &speed);

    /* A stored encoder that does not make sense is not taken at all. */
    if (bits < 1 || bits > NALOUNI_MAX_BITS || code > SIM_CODE_BINARY)
      continue;
    enc->bits = (uint8_t)bits;
    enc->code = (uint8_t)code;
    enc->plugged = plugged != 0;
    enc->position = position & ((1UL << bits) - 1);
    enc->speed = (int32_t)speed;
  }
}

static NTSTATUS OpenKey(HANDLE *key, HANDLE root, PUNICODE_STRING name)
{
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, root,
                             NULL);
  return ZwOpenKey(key, KEY_READ, &attributes);
}

void ReadParameters(PUNICODE_STRING serviceKey, PortWindow *window, SimCardSettings *card)
{
  HANDLE service, parameters;
  UNICODE_STRING subkey;
  ULONG address = window->address, count = window->count;

  if (!NT_SUCCESS(OpenKey(&service, NULL, serviceKey)))
    return;
  RtlInitUnicodeString(&subkey, L"Parameters");
  if (NT_SUCCESS(OpenKey(&parameters, service, &subkey))) {
    ReadDword(parameters, L"IoPortAddress", &address);
    ReadDword(parameters, L"IoPortCount", &count);
    window->address = address;
    window->count = count;
    ReadCard(parameters, card);
    ZwClose(parameters);
  }
  ZwClose(service);
}
