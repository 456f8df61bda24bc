// Reads and writes REG_DWORD values under the service's Parameters key.
#include "parameters.h"

#include <windows.h>

namespace {

std::string ChannelName(const char *name, uint32_t channel) {
  return std::string(name) + static_cast<char>('0' + channel);
}

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h)
      RegCloseKey(h);
  }
};

bool Open(Key *key, bool write, std::string *error) {
  LONG rc;
  if (write)
    rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, nullptr,
                         REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key->h, nullptr);
  else
    rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_READ, &key->h);
  if (rc != ERROR_SUCCESS) {
    key->h = nullptr;
    if (error)
      *error = "cannot open HKLM\\" NALOUNI_PARAMETERS_KEY " (error " + std::to_string(rc) + ")";
    return false;
  }
  return true;
}

void Read(HKEY key, const std::string &name, uint32_t *value) {
  DWORD type = 0, data = 0, size = sizeof(data);
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&data),
                       &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof(data))
    *value = data;
}

bool Write(HKEY key, const std::string &name, uint32_t value, std::string *error) {
  const DWORD data = value;
  const LONG rc = RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE *>(&data), sizeof(data));
  if (rc != ERROR_SUCCESS) {
    *error = "cannot write " + name + " (error " + std::to_string(rc) + ")";
    return false;
  }
  return true;
}

}  // namespace

NaloUniState LoadStoredSettings() {
  NaloUniState s{};
  s.ioPortAddress = NALOUNI_DEFAULT_ADDRESS;
  s.ioPortCount = NALOUNI_DEFAULT_COUNT;
  s.card.address = NALOUNI_DEFAULT_ADDRESS;
  s.card.present = 1;
  for (uint32_t ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    NaloUniEncoder &e = s.encoder[ch - 1];
    e.channel = ch;
    e.bits = NALOUNI_DEFAULT_BITS;
    e.code = NALOUNI_CODE_GRAY;
    e.plugged = 1;
  }
  Key key;
  if (!Open(&key, false, nullptr))
    return s;
  Read(key.h, "IoPortAddress", &s.ioPortAddress);
  Read(key.h, "IoPortCount", &s.ioPortCount);
  Read(key.h, NALOUNI_VALUE_CARD_ADDRESS, &s.card.address);
  Read(key.h, NALOUNI_VALUE_CARD_PRESENT, &s.card.present);
  Read(key.h, NALOUNI_VALUE_ZERO_INPUTS, &s.zeroInputs);
  for (uint32_t ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    NaloUniEncoder &e = s.encoder[ch - 1];
    Read(key.h, ChannelName(NALOUNI_VALUE_BITS, ch), &e.bits);
    Read(key.h, ChannelName(NALOUNI_VALUE_CODE, ch), &e.code);
    Read(key.h, ChannelName(NALOUNI_VALUE_PLUGGED, ch), &e.plugged);
    Read(key.h, ChannelName(NALOUNI_VALUE_POSITION, ch), &e.position);
    uint32_t speed = static_cast<uint32_t>(e.speed);
    Read(key.h, ChannelName(NALOUNI_VALUE_SPEED, ch), &speed);
    e.speed = static_cast<int32_t>(speed);
  }
  return s;
}

bool StorePortWindow(uint32_t address, uint32_t count, std::string *error) {
  Key key;
  return Open(&key, true, error) && Write(key.h, "IoPortAddress", address, error) &&
         Write(key.h, "IoPortCount", count, error);
}

bool StoreCard(const NaloUniCard &card, std::string *error) {
  Key key;
  return Open(&key, true, error) &&
         Write(key.h, NALOUNI_VALUE_CARD_ADDRESS, card.address, error) &&
         Write(key.h, NALOUNI_VALUE_CARD_PRESENT, card.present, error);
}

bool StoreEncoder(const NaloUniEncoder &e, std::string *error) {
  Key key;
  const uint32_t ch = e.channel;
  return Open(&key, true, error) && Write(key.h, ChannelName(NALOUNI_VALUE_BITS, ch), e.bits, error) &&
         Write(key.h, ChannelName(NALOUNI_VALUE_CODE, ch), e.code, error) &&
         Write(key.h, ChannelName(NALOUNI_VALUE_PLUGGED, ch), e.plugged, error) &&
         Write(key.h, ChannelName(NALOUNI_VALUE_POSITION, ch), e.position, error) &&
         Write(key.h, ChannelName(NALOUNI_VALUE_SPEED, ch), static_cast<uint32_t>(e.speed), error);
}

bool StoreZeroInputs(uint32_t zeroInputs, std::string *error) {
  Key key;
  return Open(&key, true, error) && Write(key.h, NALOUNI_VALUE_ZERO_INPUTS, zeroInputs, error);
}
