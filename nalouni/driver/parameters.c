/* The driver's parameters: "IoPortAddress" and "IoPortCount", and the
   simulated card's settings that the tool stores beside them. Read once at
   each start of the service. */
#include "driver_state.h"

#include "nalouni_settings.h"

#define VALUE_BUFFER_SIZE (sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG))

/* One REG_DWORD value; true when it was read. Anything else (missing, other
   type or size) leaves *value untouched. */
static int ReadDword(HANDLE key, const WCHAR *name, ULONG *value)
{
  UNICODE_STRING valueName;
  ULONG buffer[(VALUE_BUFFER_SIZE + sizeof(ULONG) - 1) / sizeof(ULONG)];
  KEY_VALUE_PARTIAL_INFORMATION *info = (KEY_VALUE_PARTIAL_INFORMATION *)buffer;
  ULONG length = 0;

  RtlInitUnicodeString(&valueName, name);
  if (!NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info,
                                  sizeof(buffer), &length)))
    return 0;
  if (info->Type != REG_DWORD || info->DataLength != sizeof(ULONG))
    return 0;
  *value = *(const ULONG *)info->Data;
  return 1;
}

/* The stored value of a setting by its name; the key is the context. */
static int ReadSetting(void *key, const char *name, uint32_t *value)
{
  WCHAR wide[NALOUNI_VALUE_NAME_SIZE];
  ULONG stored;
  unsigned i;

  for (i = 0; i < NALOUNI_VALUE_NAME_SIZE; ++i)
    wide[i] = (WCHAR)(unsigned char)name[i];
  if (!ReadDword((HANDLE)key, wide, &stored))
    return 0;
  *value = stored;
  return 1;
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
  NaloUniState state;

  if (!NT_SUCCESS(OpenKey(&service, NULL, serviceKey)))
    return;
  RtlInitUnicodeString(&subkey, L"Parameters");
  if (NT_SUCCESS(OpenKey(&parameters, service, &subkey))) {
    RtlZeroMemory(&state, sizeof(state));
    state.ioPortAddress = window->address;
    state.ioPortCount = window->count;
    StateFromSim(card, &state);
    NaloUniLoadSettings(&state, ReadSetting, parameters);
    window->address = state.ioPortAddress;
    window->count = state.ioPortCount;
    SimFromState(&state, card);
    ZwClose(parameters);
  }
  ZwClose(service);
}
