// The tool's commands over the service manager, the parameters key and the
// running driver (nalouni_client.h). Card settings go both to the key (for
// the next start of the driver) and, while the driver runs, to the driver
// itself. What a command prints of the card's settings comes from the
// steering schema.
#include "commands.h"

#include <windows.h>

#include <cstdio>

#include "nalouni_client.h"

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

// One setting's value as the schema prints it.
std::string Text(const NaloUniSetting &setting, int64_t value) {
  std::string number;
  switch (setting.style) {
  case NALOUNI_STYLE_HEX: number = Hex(static_cast<uint32_t>(value)); break;
  case NALOUNI_STYLE_WORD:
  case NALOUNI_STYLE_FLAG: number = setting.words[value ? 1 : 0]; break;
  case NALOUNI_STYLE_BITS:
    for (unsigned n = 0; n < NALOUNI_CHANNELS; ++n)
      number += std::string(n ? " " : "") + setting.words[(value >> n) & 1];
    break;
  case NALOUNI_STYLE_DECIMAL:
  case NALOUNI_STYLE_SIGNED: number = std::to_string(value); break;
  }
  const std::string pattern = setting.print;
  const size_t at = pattern.find("%s");
  return pattern.substr(0, at) + number + pattern.substr(at + 2);
}

// The settings of a group ("channel" for an encoder), joined by ", ".
std::string Describe(NaloUniGroup group, const NaloUniState &state, unsigned channel = 1) {
  std::string text;
  for (unsigned i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting &setting = NaloUniSettings[i];
    if (setting.group == group)
      text += (text.empty() ? "" : ", ") + Text(setting, NaloUniSettingValue(&setting, &state, channel));
  }
  return text;
}

// The settings given on the command line, put into *state.
void Apply(const Command &c, NaloUniGroup group, NaloUniState *state, unsigned channel = 1) {
  for (unsigned i = 0; i < NaloUniSettingCount; ++i)
    if (NaloUniSettings[i].group == group && c.settings[i].set)
      *NaloUniSettingField(&NaloUniSettings[i], state, channel) =
          static_cast<uint32_t>(c.settings[i].value);
}

std::string RefusedRequest(DWORD code) {
  char text[80];
  std::snprintf(text, sizeof text, "driver refused request 0x%08lX (error %lu)", code,
                GetLastError());
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
bool Current(NaloUniDevice *device, NaloUniState *state, std::string *error) {
  if (device->Open()) {
    if (!device->State(state))
      return *error = RefusedRequest(IOCTL_NALOUNI_GET_STATE), false;
    return true;
  }
  if (QueryDriverService() == ServiceState::Running) {
    *error = "service runs but its device does not open";
    return false;
  }
  *state = LoadStoredSettings();
  return true;
}

void PrintCard(const NaloUniState &s) {
  std::printf("card: %s\n", Describe(NALOUNI_GROUP_CARD, s).c_str());
  for (unsigned ch = 1; ch <= NALOUNI_CHANNELS; ++ch)
    std::printf("encoder %u: %s\n", ch, Describe(NALOUNI_GROUP_ENCODER, s, ch).c_str());
  std::printf("%s\n", Describe(NALOUNI_GROUP_ZERO, s).c_str());
}

void PrintOutputs(uint32_t controlRegister) {
  std::printf("outputs 1-6:");
  for (unsigned n = 0; n < 6; ++n)
    std::printf(" %u", static_cast<unsigned>((controlRegister >> (n + 2)) & 1));
  std::printf(", register 7: 0x%02X\n", static_cast<unsigned>(controlRegister & 0xFF));
}

// A 32-bit program on 64-bit Windows: its system folder is redirected, and a
// 32-bit driver image could not load there anyway.
bool RunsOnWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI *)(HANDLE, PBOOL);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void *>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

int Install(const Command &c) {
  if (RunsOnWow64())
    return Fail("this 32-bit nalouni.exe cannot install the driver on 64-bit Windows; "
                "install with the 64-bit nalouni.exe");
  std::string error;
  const std::string image = c.image.empty() ? ToolDirectory() + "\\nalouni.sys" : c.image;
  if (GetFileAttributesA(image.c_str()) == INVALID_FILE_ATTRIBUTES)
    return Fail("driver image " + image + " not found");
  const ServiceState state = QueryDriverService();
  if (state != ServiceState::NotInstalled && state != ServiceState::Stopped &&
      !StopDriverService(&error))
    return Fail("cannot replace the running driver: " + error);
  const std::string target = InstalledImagePath();
  if (!CopyFileA(image.c_str(), target.c_str(), FALSE))
    return Fail("cannot copy " + image + " to " + target + " (error " +
                std::to_string(GetLastError()) + ")");
  NaloUniState window;
  NaloUniDefaultState(&window);  // an option not given takes its default
  Apply(c, NALOUNI_GROUP_PORT_WINDOW, &window);
  if (!ConfigureDriverService(target, &error) ||
      !StoreSettings(NALOUNI_GROUP_PORT_WINDOW, window, 1, &error) || !StartDriverService(&error))
    return Fail(error);
  std::printf("service NALOUNI running from %s: %s\n", target.c_str(),
              Describe(NALOUNI_GROUP_PORT_WINDOW, window).c_str());
  return 0;
}

int Uninstall(const Command &) {
  std::string error;
  const ServiceState state = QueryDriverService();
  if (state == ServiceState::NotInstalled) {
    std::printf("service NALOUNI: not installed\n");
    return 0;
  }
  const std::string image = DriverServiceImage();
  if (!StopDriverService(&error))  // a driver without an unload routine never stops
    return Fail(error + "; end Wine (wineserver -k) and uninstall again");
  if (!RemoveDriverService(&error))
    return Fail(error);
  if (!image.empty())
    DeleteFileA(image.c_str());
  std::printf("service NALOUNI removed\n");
  return 0;
}

int Status(const Command &) {
  const ServiceState state = QueryDriverService();
  std::printf("service NALOUNI: %s\n", StateName(state));
  if (state == ServiceState::NotInstalled)
    return 0;
  std::printf("image: %s\n", DriverServiceImage().c_str());
  const NaloUniState stored = LoadStoredSettings();
  std::printf("parameters: %s\n", Describe(NALOUNI_GROUP_PORT_WINDOW, stored).c_str());
  NaloUniDevice device;
  NaloUniState live;
  if (device.Open() && device.State(&live)) {
    std::printf("driver serves: %s\n", Describe(NALOUNI_GROUP_PORT_WINDOW, live).c_str());
    PrintCard(live);
    PrintOutputs(live.controlRegister);
  } else {
    std::printf("driver not reachable; stored card settings:\n");
    PrintCard(stored);
  }
  return 0;
}

// A steering command: from the current settings, "change" makes the new
// ones (or returns an exit code), "send" gives them to the running driver,
// and the group's settings are stored for its next start.
template <typename Change, typename Send>
int Steer(NaloUniGroup group, unsigned channel, DWORD request, NaloUniState *s, Change change,
          Send send) {
  NaloUniDevice device;
  std::string error;
  if (!Current(&device, s, &error))
    return Fail(error);
  if (const int refused = change(s))
    return refused;
  if (device.Open() && !send(device, *s))
    return Fail(RefusedRequest(request));
  if (!StoreSettings(group, *s, channel, &error))
    return Fail(error);
  return 0;
}

int Card(const Command &c) {
  NaloUniState s;
  const int code = Steer(
      NALOUNI_GROUP_CARD, 1, IOCTL_NALOUNI_SET_CARD, &s,
      [&c](NaloUniState *next) {
        next->card.present = 1;  // "--address" puts a card there; "--absent" takes it away
        Apply(c, NALOUNI_GROUP_CARD, next);
        return 0;
      },
      [](NaloUniDevice &d, const NaloUniState &next) {
        return d.SetCard(next.card.address, next.card.present);
      });
  if (code == 0)
    std::printf("card: %s\n", Describe(NALOUNI_GROUP_CARD, s).c_str());
  return code;
}

int Encoder(const Command &c) {
  NaloUniState s;
  const unsigned ch = c.channel;
  const int code = Steer(
      NALOUNI_GROUP_ENCODER, ch, IOCTL_NALOUNI_SET_ENCODER, &s,
      [&c, ch](NaloUniState *next) {
        NaloUniEncoder &e = next->encoder[ch - 1];
        e.channel = ch;
        Apply(c, NALOUNI_GROUP_ENCODER, next, ch);
        if (!c.Setting(NALOUNI_GROUP_ENCODER, "position").set)
          e.position &= (1u << e.bits) - 1;  // the encoder goes on from where it stands
        else if ((e.position >> e.bits) != 0)
          return Fail("--position does not fit in " + std::to_string(e.bits) + " bits", 2);
        return 0;
      },
      [ch](NaloUniDevice &d, const NaloUniState &next) {
        return d.SetEncoder(next.encoder[ch - 1]);
      });
  if (code == 0)
    std::printf("encoder %u: %s\n", ch, Describe(NALOUNI_GROUP_ENCODER, s, ch).c_str());
  return code;
}

int Zero(const Command &c) {
  NaloUniState s;
  const uint32_t active = c.zeroActive ? 1u : 0u;
  const int code = Steer(
      NALOUNI_GROUP_ZERO, 1, IOCTL_NALOUNI_SET_ZERO, &s,
      [&c, active](NaloUniState *next) {
        const uint32_t bit = 1u << (c.channel - 1);
        next->zeroInputs = active ? (next->zeroInputs | bit) : (next->zeroInputs & ~bit);
        return 0;
      },
      [&c, active](NaloUniDevice &d, const NaloUniState &) { return d.SetZero(c.channel, active); });
  if (code == 0)
    std::printf("zero input %u: %s\n", c.channel, active ? "on" : "off");
  return code;
}

int Outputs(const Command &) {
  NaloUniDevice device;
  NaloUniState s;
  if (!device.Open())
    return Fail("the driver does not run; start it with: nalouni install");
  if (!device.State(&s))
    return Fail(RefusedRequest(IOCTL_NALOUNI_GET_STATE));
  PrintOutputs(s.controlRegister);
  return 0;
}

int Help(const Command &) {
  std::printf("%s", Usage().c_str());
  return 0;
}

}  // namespace

const ToolCommand kToolCommands[] = {
    {"install", "[--image X.sys]",
     "create or update the service and its parameters (IoPortAddress default 0x100, "
     "IoPortCount 8), start it",
     NALOUNI_GROUP_PORT_WINDOW, ParseInstall, Install},
    {"uninstall", "", "stop and remove the service", kNoSettingOptions, nullptr,
     Uninstall},
    {"status", "", "service state, parameters, card state", kNoSettingOptions, nullptr,
     Status},
    {"card", "--address A | --absent", "where the simulated card sits (jumper), or none",
     kNoSettingOptions, ParseCard, Card},
    {"encoder", "CH", "encoder CH's resolution, code, plugging, position and speed",
     NALOUNI_GROUP_ENCODER, ParseEncoder, Encoder},
    {"zero", "CH on|off", "zero input CH level", kNoSettingOptions, ParseZero, Zero},
    {"outputs", "", "the six output levels and the raw register 7 byte", kNoSettingOptions, nullptr, Outputs},
    {"help", "", "this text", kNoSettingOptions, nullptr, Help},
};

const unsigned kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

int RunCommand(const Command &c) { return c.command->run(c); }
