// The tool's commands over the service manager, the parameters key and the
// running driver. Card settings go both to the key (for the next start of
// the driver) and, while the driver runs, to the driver itself.
#include "commands.h"

#include <windows.h>

#include <cstdio>

#include "device.h"
#include "parameters.h"
#include "service.h"

namespace {

int Fail(const std::string &message, int code = 1) {
  std::fprintf(stderr, "nalouni: %s\n", message.c_str());
  return code;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", static_cast<unsigned>(value));
  return text;
}

std::string ToolDirectory() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n < MAX_PATH ? n : 0);
  const size_t slash = p.find_last_of("\\/");
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

std::string InstalledImagePath() {
  char system[MAX_PATH];
  const UINT n = GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system, n < MAX_PATH ? n : 0) + "\\drivers\\nalouni.sys";
}

// The card settings the command starts from: the running driver's, else
// the stored ones. *device is open when the driver runs.
bool Current(Device *device, NaloUniState *state, std::string *error) {
  if (device->Open())
    return device->State(state, error);
  if (QueryService() == ServiceState::Running) {
    *error = "service runs but its device does not open";
    return false;
  }
  *state = LoadStoredSettings();
  return true;
}

void PrintCard(const NaloUniState &s) {
  std::printf("card: %s, address %s\n", s.card.present ? "present" : "absent",
              Hex(s.card.address).c_str());
  for (const NaloUniEncoder &e : s.encoder)
    std::printf("encoder %u: %u bits, %s, %s, position %u, speed %d\n",
                static_cast<unsigned>(e.channel), static_cast<unsigned>(e.bits),
                e.code == NALOUNI_CODE_BINARY ? "binary" : "gray",
                e.plugged ? "plugged" : "unplugged", static_cast<unsigned>(e.position),
                static_cast<int>(e.speed));
  std::printf("zero inputs 1-4:");
  for (unsigned n = 0; n < NALOUNI_CHANNELS; ++n)
    std::printf(" %s", (s.zeroInputs >> n) & 1 ? "on" : "off");
  std::printf("\n");
}

void PrintOutputs(uint32_t controlRegister) {
  std::printf("outputs 1-6:");
  for (unsigned n = 0; n < 6; ++n)
    std::printf(" %u", static_cast<unsigned>((controlRegister >> (n + 2)) & 1));
  std::printf(", register 7: 0x%02X\n", static_cast<unsigned>(controlRegister & 0xFF));
}

int Install(const Command &c) {
  std::string error;
  const std::string image = c.image.empty() ? ToolDirectory() + "\\nalouni.sys" : c.image;
  if (GetFileAttributesA(image.c_str()) == INVALID_FILE_ATTRIBUTES)
    return Fail("driver image " + image + " not found");
  const ServiceState state = QueryService();
  if (state != ServiceState::NotInstalled && state != ServiceState::Stopped &&
      !StopDriver(&error))
    return Fail("cannot replace the running driver: " + error);
  const std::string target = InstalledImagePath();
  if (!CopyFileA(image.c_str(), target.c_str(), FALSE))
    return Fail("cannot copy " + image + " to " + target + " (error " +
                std::to_string(GetLastError()) + ")");
  const uint32_t address = c.ioPortAddress.set ? static_cast<uint32_t>(c.ioPortAddress.value)
                                               : NALOUNI_DEFAULT_ADDRESS;
  const uint32_t count = c.ioPortCount.set ? static_cast<uint32_t>(c.ioPortCount.value)
                                           : NALOUNI_DEFAULT_COUNT;
  if (!ConfigureService(target, &error) || !StorePortWindow(address, count, &error) ||
      !StartDriver(&error))
    return Fail(error);
  std::printf("service NALOUNI running from %s: IoPortAddress %s, IoPortCount %u\n",
              target.c_str(), Hex(address).c_str(), static_cast<unsigned>(count));
  return 0;
}

int Uninstall() {
  std::string error;
  const ServiceState state = QueryService();
  if (state == ServiceState::NotInstalled) {
    std::printf("service NALOUNI: not installed\n");
    return 0;
  }
  const std::string image = ServiceImage();
  if (!StopDriver(&error))  // a driver without an unload routine never stops
    return Fail(error + "; end Wine (wineserver -k) and uninstall again");
  if (!RemoveService(&error))
    return Fail(error);
  if (!image.empty())
    DeleteFileA(image.c_str());
  std::printf("service NALOUNI removed\n");
  return 0;
}

int Status() {
  const ServiceState state = QueryService();
  std::printf("service NALOUNI: %s\n", StateName(state));
  if (state == ServiceState::NotInstalled)
    return 0;
  std::printf("image: %s\n", ServiceImage().c_str());
  const NaloUniState stored = LoadStoredSettings();
  std::printf("parameters: IoPortAddress %s, IoPortCount %u\n", Hex(stored.ioPortAddress).c_str(),
              static_cast<unsigned>(stored.ioPortCount));
  Device device;
  NaloUniState live;
  std::string error;
  if (device.Open() && device.State(&live, &error)) {
    std::printf("driver serves: IoPortAddress %s, IoPortCount %u\n",
                Hex(live.ioPortAddress).c_str(), static_cast<unsigned>(live.ioPortCount));
    PrintCard(live);
    PrintOutputs(live.controlRegister);
  } else {
    std::printf("driver not reachable; stored card settings:\n");
    PrintCard(stored);
  }
  return 0;
}

int Card(const Command &c) {
  Device device;
  NaloUniState s;
  std::string error;
  if (!Current(&device, &s, &error))
    return Fail(error);
  NaloUniCard card = s.card;
  card.present = c.absent ? 0 : 1;
  if (!c.absent)
    card.address = c.cardAddress;
  if (device.Open() &&
      !device.Request(IOCTL_NALOUNI_SET_CARD, &card, sizeof(card), nullptr, 0, &error))
    return Fail(error);
  if (!StoreCard(card, &error))
    return Fail(error);
  std::printf("card: %s, address %s\n", card.present ? "present" : "absent",
              Hex(card.address).c_str());
  return 0;
}

int Encoder(const Command &c) {
  Device device;
  NaloUniState s;
  std::string error;
  if (!Current(&device, &s, &error))
    return Fail(error);
  NaloUniEncoder e = s.encoder[c.channel - 1];
  e.channel = c.channel;
  if (c.bits.set)
    e.bits = static_cast<uint32_t>(c.bits.value);
  if (c.code.set)
    e.code = static_cast<uint32_t>(c.code.value);
  if (c.plugged.set)
    e.plugged = static_cast<uint32_t>(c.plugged.value);
  if (c.speed.set)
    e.speed = static_cast<int32_t>(c.speed.value);
  if (c.position.set) {
    if ((c.position.value >> e.bits) != 0)
      return Fail("--position does not fit in " + std::to_string(e.bits) + " bits", 2);
    e.position = static_cast<uint32_t>(c.position.value);
  } else {
    e.position &= (1u << e.bits) - 1;  // the encoder goes on from where it stands
  }
  if (device.Open() &&
      !device.Request(IOCTL_NALOUNI_SET_ENCODER, &e, sizeof(e), nullptr, 0, &error))
    return Fail(error);
  if (!StoreEncoder(e, &error))
    return Fail(error);
  std::printf("encoder %u: %u bits, %s, %s, position %u, speed %d\n",
              static_cast<unsigned>(e.channel), static_cast<unsigned>(e.bits),
              e.code == NALOUNI_CODE_BINARY ? "binary" : "gray",
              e.plugged ? "plugged" : "unplugged", static_cast<unsigned>(e.position),
              static_cast<int>(e.speed));
  return 0;
}

int Zero(const Command &c) {
  Device device;
  NaloUniState s;
  std::string error;
  if (!Current(&device, &s, &error))
    return Fail(error);
  const NaloUniZero zero{c.channel, c.zeroActive ? 1u : 0u};
  const uint32_t bit = 1u << (c.channel - 1);
  const uint32_t inputs = c.zeroActive ? (s.zeroInputs | bit) : (s.zeroInputs & ~bit);
  if (device.Open() &&
      !device.Request(IOCTL_NALOUNI_SET_ZERO, &zero, sizeof(zero), nullptr, 0, &error))
    return Fail(error);
  if (!StoreZeroInputs(inputs, &error))
    return Fail(error);
  std::printf("zero input %u: %s\n", c.channel, c.zeroActive ? "on" : "off");
  return 0;
}

int Outputs() {
  Device device;
  NaloUniState s;
  std::string error;
  if (!device.Open())
    return Fail("the driver does not run; start it with: nalouni install");
  if (!device.State(&s, &error))
    return Fail(error);
  PrintOutputs(s.controlRegister);
  return 0;
}

}  // namespace

int RunCommand(const Command &c) {
  switch (c.verb) {
  case Verb::Install: return Install(c);
  case Verb::Uninstall: return Uninstall();
  case Verb::Status: return Status();
  case Verb::Card: return Card(c);
  case Verb::Encoder: return Encoder(c);
  case Verb::Zero: return Zero(c);
  case Verb::Outputs: return Outputs();
  }
  return 1;
}
