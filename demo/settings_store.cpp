#include "settings_store.h"

#include <windows.h>

#include <cstring>

namespace {

const char kKeyPath[] = "SOFTWARE\\NALO\\SSIKovo";

const char* const kNames[kChannels] = {"SSI 1", "SSI 2", "SSI 3", "SSI 4"};
const char* const kBitsValues[kChannels] = {"BITS1", "BITS2", "BITS3", "BITS4"};
const char* const kClockValues[kChannels] = {"CLOCK1", "CLOCK2", "CLOCK3", "CLOCK4"};
const char* const kGrayBinValues[kChannels] = {"GRAYBIN1", "GRAYBIN2", "GRAYBIN3", "GRAYBIN4"};
const char* const kOffsetValues[kChannels] = {"OFFSET1", "OFFSET2", "OFFSET3", "OFFSET4"};

// The same as the card protocol's start-up configuration of every channel,
// so a channel that falls back to them is configured as the card already is.
const uint8_t kDefaultResolution = 25;
const uint16_t kDefaultClockKHz = 100;
const uint8_t kDefaultCodeType = 0;
const int32_t kDefaultOffset = 0;

void SetDefaults(ChannelSettings& channel) {
  channel.Resolution = kDefaultResolution;
  channel.ClockKHz = kDefaultClockKHz;
  channel.CodeType = kDefaultCodeType;
  channel.Offset = kDefaultOffset;
}

// Opens the key, creating it and any missing key above it.
bool OpenKey(HKEY* key) {
  static_assert(sizeof(SECURITY_ATTRIBUTES) == (sizeof(void*) == 4 ? 12 : 24),
                "security attributes: a length, a pointer and a flag");
  SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), NULL, FALSE};
  char noClass[] = "";
  DWORD disposition;
  return RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, noClass, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, &security, key, &disposition) == ERROR_SUCCESS;
}

// Reads a value of exactly 4 bytes or fewer as a little-endian number,
// whatever its registry type; longer data (ERROR_MORE_DATA) counts as a
// failed read. A shorter value still reads successfully but supplies only
// its own bytes; the buffer is cleared before each read so that the missing
// high bytes are 0 rather than whatever the buffer held.
bool ReadValue(HKEY key, const char* name, DWORD* number) {
  BYTE data[4];
  std::memset(data, 0, sizeof(data));
  DWORD type;
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, name, NULL, &type, data, &size) != ERROR_SUCCESS) return false;
  *number = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
            static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
  return true;
}

void WriteValue(HKEY key, const char* name, DWORD number) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

// A channel whose BITS value cannot be read takes all four defaults, even
// if its other values are there.
void LoadChannel(HKEY key, int index, ChannelSettings& channel) {
  DWORD number;
  if (!ReadValue(key, kBitsValues[index], &number)) {
    SetDefaults(channel);
    return;
  }
  channel.Resolution = static_cast<uint8_t>(number);
  channel.ClockKHz =
      ReadValue(key, kClockValues[index], &number) ? static_cast<uint16_t>(number) : kDefaultClockKHz;
  channel.CodeType =
      ReadValue(key, kGrayBinValues[index], &number) ? static_cast<uint8_t>(number) : kDefaultCodeType;
  channel.Offset =
      ReadValue(key, kOffsetValues[index], &number) ? static_cast<int32_t>(number) : kDefaultOffset;
}

}  // namespace

void LoadSettings(const ChannelRecords& channels) {
  for (int i = 0; i < kChannels; ++i) channels[i]->Name = kNames[i];
  HKEY key;
  if (!OpenKey(&key)) {
    for (int i = 0; i < kChannels; ++i) SetDefaults(*channels[i]);
    return;
  }
  for (int i = 0; i < kChannels; ++i) LoadChannel(key, i, *channels[i]);
  RegCloseKey(key);
}

// All sixteen values on every save, kind by kind, whether they changed or not.
void SaveSettings(const ChannelRecords& channels) {
  HKEY key;
  if (!OpenKey(&key)) return;
  for (int i = 0; i < kChannels; ++i) WriteValue(key, kBitsValues[i], channels[i]->Resolution);
  for (int i = 0; i < kChannels; ++i) WriteValue(key, kClockValues[i], channels[i]->ClockKHz);
  for (int i = 0; i < kChannels; ++i) WriteValue(key, kGrayBinValues[i], channels[i]->CodeType);
  for (int i = 0; i < kChannels; ++i)
    WriteValue(key, kOffsetValues[i], static_cast<DWORD>(channels[i]->Offset));
  RegCloseKey(key);
}
