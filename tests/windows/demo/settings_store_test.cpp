// The demo's settings store against the real registry: the key under
// HKEY_CURRENT_USER, the fall-backs of a load and the sixteen values of a save.
#include <windows.h>

#include <cstring>
#include <vector>

#include "../check.h"
#include "settings_store.h"

namespace {

const char kKey[] = "SOFTWARE\\NALO\\SSIKovo";

struct Stored {
  const char* name;
  DWORD type;
  std::vector<BYTE> data;
};

Stored Dword(const char* name, DWORD value) {
  return {name, REG_DWORD,
          {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}

Stored Raw(const char* name, DWORD type, std::vector<BYTE> data) { return {name, type, data}; }

void DeleteKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

HKEY OpenKey() {
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return NULL;
  return key;
}

// A fresh key holding exactly these values.
void Store(const std::vector<Stored>& values) {
  DeleteKey();
  HKEY key = NULL;
  RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
  for (const Stored& v : values)
    RegSetValueExA(key, v.name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
  RegCloseKey(key);
}

struct Records {
  // Garbage first: the load must set every field.
  ChannelSettings channel[kChannels] = {{-9, 9, "x", 9, 9}, {-9, 9, "x", 9, 9},
                                        {-9, 9, "x", 9, 9}, {-9, 9, "x", 9, 9}};
  void Load() {
    ChannelRecords records = {&channel[0], &channel[1], &channel[2], &channel[3]};
    LoadSettings(records);
  }
  void Save() {
    ChannelRecords records = {&channel[0], &channel[1], &channel[2], &channel[3]};
    SaveSettings(records);
  }
};

const char* const kNames[kChannels] = {"SSI 1", "SSI 2", "SSI 3", "SSI 4"};

ChannelSettings Defaults(int n) { return {0, 100, kNames[n - 1], 25, 0}; }
ChannelSettings Record(int n, int32_t offset, uint16_t clock, uint8_t bits, uint8_t code) {
  return {offset, clock, kNames[n - 1], bits, code};
}

void CheckRecord(const char* what, int n, const ChannelSettings& got, const ChannelSettings& want) {
  CHECK(got.Name != NULL && std::strcmp(got.Name, want.Name) == 0, "%s: channel %d name %s", what,
        n, got.Name ? got.Name : "(null)");
  CHECK(got.Resolution == want.Resolution, "%s: channel %d resolution %u, want %u", what, n,
        got.Resolution, want.Resolution);
  CHECK(got.ClockKHz == want.ClockKHz, "%s: channel %d clock %u, want %u", what, n, got.ClockKHz,
        want.ClockKHz);
  CHECK(got.CodeType == want.CodeType, "%s: channel %d code type %u, want %u", what, n,
        got.CodeType, want.CodeType);
  CHECK(got.Offset == want.Offset, "%s: channel %d offset %ld, want %ld", what, n,
        static_cast<long>(got.Offset), static_cast<long>(want.Offset));
}

// Each case stores the values of one channel; the other three have none and
// must load the defaults.
struct LoadCase {
  const char* what;
  int channel;
  std::vector<Stored> stored;
  ChannelSettings expected;
};

const BYTE kFF = 0xFF;

const LoadCase kLoadCases[] = {
    {"all four values", 1,
     {Dword("BITS1", 12), Dword("CLOCK1", 500), Dword("GRAYBIN1", 1), Dword("OFFSET1", 123456)},
     Record(1, 123456, 500, 12, 1)},
    {"BITS missing: whole channel defaults", 2,
     {Dword("CLOCK2", 500), Dword("GRAYBIN2", 1), Dword("OFFSET2", 7)}, Defaults(2)},
    {"CLOCK missing", 3, {Dword("BITS3", 13), Dword("GRAYBIN3", 1), Dword("OFFSET3", 99)},
     Record(3, 99, 100, 13, 1)},
    {"GRAYBIN missing", 4, {Dword("BITS4", 20), Dword("CLOCK4", 200), Dword("OFFSET4", 5)},
     Record(4, 5, 200, 20, 0)},
    {"OFFSET missing", 2, {Dword("BITS2", 14), Dword("CLOCK2", 1000), Dword("GRAYBIN2", 1)},
     Record(2, 0, 1000, 14, 1)},
    {"only the low bits of BITS, CLOCK and GRAYBIN", 1,
     {Dword("BITS1", 0x119), Dword("CLOCK1", 0x10064), Dword("GRAYBIN1", 0x101)},
     Record(1, 0, 100, 25, 1)},
    {"OFFSET 0xFFFFFFFF", 4, {Dword("BITS4", 25), Dword("OFFSET4", 0xFFFFFFFF)},
     Record(4, -1, 100, 25, 0)},
    {"out-of-range values are held", 1,
     {Dword("BITS1", 40), Dword("CLOCK1", 250), Dword("GRAYBIN1", 7)}, Record(1, 0, 250, 40, 7)},
    {"4 bytes of other types read as a number", 3,
     {Raw("BITS3", REG_BINARY, {16, 0, 0, 0}), Raw("CLOCK3", REG_BINARY, {0xF4, 0x01, 0, 0}),
      Raw("GRAYBIN3", REG_NONE, {1, 0, 0, 0}),
      Raw("OFFSET3", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 5})},
     Record(3, 0x05000000, 500, 16, 1)},
    {"8 bytes of CLOCK: unreadable", 2,
     {Dword("BITS2", 18), Raw("CLOCK2", REG_QWORD, {0xF4, 0x01, 0, 0, 0, 0, 0, 0}),
      Dword("OFFSET2", 3)},
     Record(2, 3, 100, 18, 0)},
    {"8 bytes of BITS: whole channel defaults", 4,
     {Raw("BITS4", REG_BINARY, {12, 0, 0, 0, 0, 0, 0, 0}), Dword("CLOCK4", 500),
      Dword("OFFSET4", 3)},
     Defaults(4)},
    // A value shorter than 4 bytes supplies only its own bytes; the rest read
    // as 0, not as what the previous read (GRAYBIN2's high bytes) left.
    {"shorter than 4 bytes", 2,
     {Raw("BITS2", REG_BINARY, {12}), Raw("CLOCK2", REG_BINARY, {0xE8, 0x03}),
      Dword("GRAYBIN2", 0xFFFFFF01), Raw("OFFSET2", REG_BINARY, {kFF, kFF})},
     Record(2, 0xFFFF, 1000, 12, 1)},
};

void TestLoadCases() {
  for (const LoadCase& c : kLoadCases) {
    Store(c.stored);
    Records r;
    r.Load();
    for (int n = 1; n <= kChannels; ++n)
      CheckRecord(c.what, n, r.channel[n - 1], n == c.channel ? c.expected : Defaults(n));
  }
}

// First start of a user: the load creates the key, empty, and gives every
// channel the defaults.
void TestFirstStart() {
  DeleteKey();
  Records r;
  r.Load();
  for (int n = 1; n <= kChannels; ++n) CheckRecord("no key", n, r.channel[n - 1], Defaults(n));
  HKEY key = OpenKey();
  CHECK(key != NULL, "the load left no key behind");
  if (key == NULL) return;
  DWORD values = 99;
  RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
  CHECK(values == 0, "the new key holds %lu values", values);
  RegCloseKey(key);
}

struct Expected {
  const char* name;
  DWORD value;
};

// A save writes all sixteen values as REG_DWORD, whatever they held before
// and of whatever type, and leaves other values alone.
void TestSave() {
  Store({Raw("BITS1", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}), Raw("CLOCK2", REG_SZ, {'x', 0}),
         Dword("Other", 42)});
  Records r;
  r.channel[0] = Record(1, 123456, 1000, 10, 0);
  r.channel[1] = Record(2, -1, 500, 13, 1);
  r.channel[2] = Record(3, 0, 50, 25, 0);
  r.channel[3] = Record(4, INT32_MIN, 250, 40, 7);
  r.Save();

  const Expected expected[] = {
      {"BITS1", 10},          {"BITS2", 13},          {"BITS3", 25},     {"BITS4", 40},
      {"CLOCK1", 1000},       {"CLOCK2", 500},        {"CLOCK3", 50},    {"CLOCK4", 250},
      {"GRAYBIN1", 0},        {"GRAYBIN2", 1},        {"GRAYBIN3", 0},   {"GRAYBIN4", 7},
      {"OFFSET1", 123456},    {"OFFSET2", 0xFFFFFFFF}, {"OFFSET3", 0},   {"OFFSET4", 0x80000000},
      {"Other", 42},
  };
  HKEY key = OpenKey();
  CHECK(key != NULL, "no key after the save");
  if (key == NULL) return;
  for (const Expected& e : expected) {
    BYTE data[16];
    DWORD type = 0, size = sizeof(data);
    const LONG rc = RegQueryValueExA(key, e.name, NULL, &type, data, &size);
    DWORD value = 0;
    std::memcpy(&value, data, 4);
    CHECK(rc == ERROR_SUCCESS && type == REG_DWORD && size == 4 && value == e.value,
          "%s: rc %ld type %lu size %lu value 0x%lX, want 0x%lX", e.name, rc, type, size, value,
          e.value);
  }
  DWORD values = 0;
  RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
  CHECK(values == 17, "%lu values after the save", values);
  RegCloseKey(key);

  // And back: what was saved loads as it was, -1 and all.
  Records loaded;
  loaded.Load();
  for (int n = 1; n <= kChannels; ++n)
    CheckRecord("saved and loaded", n, loaded.channel[n - 1], r.channel[n - 1]);
}

}  // namespace

int main() {
  TestFirstStart();
  TestLoadCases();
  TestSave();
  DeleteKey();
  return check_result("settings store");
}
