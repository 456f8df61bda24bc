// SSIKovoDemo.exe as a user meets it: started as a process over the port
// driver with the simulated card, driven from here by window messages only.
// The card is steered and read back with nalouni.exe, the settings are read
// from the user's registry key. One launch for the whole run.
//   demo_program_test <SSIKovoDemo.exe> <nalouni.exe>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../check.h"
#include "demo_window.h"

using namespace demo_window;

namespace {

const char kKey[] = "SOFTWARE\\NALO\\SSIKovo";
const DWORD kWindowWaitMs = 30000;
// Several polling cycles of 200 ms, with room for a slow machine.
const DWORD kPollingWaitMs = 5000;

std::string Tool;

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// Runs nalouni.exe with the arguments; its output, or "" after a failure.
std::string Nalouni(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "";
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process;
  std::string line = "\"" + Tool + "\" " + arguments;
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  const BOOL started = CreateProcessA(NULL, commandLine.data(), NULL, NULL, TRUE, 0, NULL, NULL,
                                      &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  DWORD code = 1;
  if (started) {
    char chunk[256];
    DWORD got;
    while (ReadFile(readEnd, chunk, sizeof(chunk), &got, NULL) && got != 0) output.append(chunk, got);
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  CHECK(started && code == 0, "nalouni %s: exit %lu: %s", arguments.c_str(), code, output.c_str());
  return code == 0 ? output : "";
}

// "outputs 1-6: 1 0 0 0 0 1" from nalouni's report of register 7.
std::string CardOutputs() {
  const std::string report = Nalouni("outputs");
  const size_t at = report.find("outputs 1-6: ");
  return at == std::string::npos ? report : report.substr(at + 13, 11);
}

bool ReadSetting(const char* name, DWORD* value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = sizeof(*value);
  const LONG rc = RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_DWORD && size == 4;
}

struct Setting {
  const char* name;
  DWORD value;
};

void CheckSettings(const char* when, std::initializer_list<Setting> settings) {
  for (const Setting& s : settings) {
    DWORD value = 0;
    const bool read = ReadSetting(s.name, &value);
    CHECK(read && value == s.value, "%s: %s is %s%lu, want %lu", when, s.name,
          read ? "" : "unreadable, ", value, s.value);
  }
}

void WriteSetting(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

// Channel 1 and 3 with the defaults (no values), channel 2 at 13 bits
// binary 500 kHz with offset 100, channel 4 with an offset and no clock or
// code values, channel 3 with a clock that is not in the settings list.
void PrepareSettings() {
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
  WriteSetting(key, "BITS2", 13);
  WriteSetting(key, "CLOCK2", 500);
  WriteSetting(key, "GRAYBIN2", 1);
  WriteSetting(key, "OFFSET2", 100);
  WriteSetting(key, "BITS3", 25);
  WriteSetting(key, "CLOCK3", 250);
  WriteSetting(key, "BITS4", 25);
  WriteSetting(key, "OFFSET4", 10);
  RegCloseKey(key);
}

// Encoders that match the settings, standing still; no zero input active.
// Other tests share the driver, so every part of the card is set here.
void PrepareCard() {
  Nalouni("card --address 0x100");
  Nalouni("encoder 1 --bits 25 --code gray --position 123456 --speed 0 --plugged");
  Nalouni("encoder 2 --bits 13 --code binary --position 5000 --speed 0 --plugged");
  Nalouni("encoder 3 --bits 25 --code gray --position 0x1FFFFFF --speed 0 --plugged");
  Nalouni("encoder 4 --bits 25 --code gray --position 7 --speed 0 --plugged");
  for (int n = 1; n <= 4; ++n) Nalouni("zero " + std::to_string(n) + " off");
}

void Cycle(HWND main) { Send(main, WM_TIMER, 1, 0); }

bool Checked(HWND dialog, int id) { return SendItem(dialog, id, BM_GETCHECK) == BST_CHECKED; }

void Click(HWND dialog, int id) { SendItem(dialog, id, BM_CLICK); }

// A click on a button whose handler runs a modal dialog: posted, so that
// this side does not wait for the dialog to end.
void PostClick(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool Shows(HWND main, int channel, const char* text) {
  return ItemText(main, kPositionEdits[channel - 1]) == text;
}

void CheckShows(HWND main, int channel, const char* text) {
  const std::string shown = ItemText(main, kPositionEdits[channel - 1]);
  CHECK(shown == text, "channel %d shows \"%s\", want \"%s\"", channel, shown.c_str(), text);
}

// Settings from the registry configure the card; offsets and the wrap apply.
void TestPositions(HWND main) {
  Cycle(main);
  CheckShows(main, 1, "123456");    // 25-bit Gray, no offset
  CheckShows(main, 2, "4900");      // 13-bit binary at 500 kHz, offset 100
  CheckShows(main, 3, "33554431");  // full 25-bit reading
  CheckShows(main, 4, "33554429");  // 7 - 10, raised by 2^25
  // Any timer identifier runs a cycle.
  Nalouni("encoder 1 --position 123457");
  Send(main, WM_TIMER, 7, 0);
  CheckShows(main, 1, "123457");
  Nalouni("encoder 1 --position 123456");
  Cycle(main);
}

// Every click sends all six boxes to the card's outputs.
void TestOutputs(HWND main) {
  for (int id = 1004; id <= 1009; ++id) CHECK(!Checked(main, id), "output box %d starts clear", id);
  CHECK(CardOutputs() == "0 0 0 0 0 0", "the card's outputs start clear");
  Click(main, 1009);  // output 1
  Click(main, 1004);  // output 6
  CHECK(Checked(main, 1009) && Checked(main, 1004), "boxes 1 and 6 checked");
  std::string outputs = CardOutputs();
  CHECK(outputs == "1 0 0 0 0 1", "outputs 1 and 6 on: %s", outputs.c_str());
  Click(main, 1009);
  Click(main, 1007);  // output 3
  outputs = CardOutputs();
  CHECK(outputs == "0 0 1 0 0 1", "outputs 3 and 6 on: %s", outputs.c_str());
}

// Zero input 1: channel 1's reading becomes its offset and all sixteen
// values are saved; the box shows the input while it is active.
void TestZeroing(HWND main) {
  Nalouni("zero 1 on");
  CHECK(WaitUntil([&] { Cycle(main); return Checked(main, 1003); }, kPollingWaitMs),
        "zero input 1 shows in box 1003");
  CHECK(!Checked(main, 1002) && !Checked(main, 1001) && !Checked(main, 1000),
        "the other zero-input boxes stay clear");
  CheckSettings("after zeroing channel 1",
                {{"OFFSET1", 123456}, {"BITS1", 25}, {"CLOCK1", 100}, {"GRAYBIN1", 0},
                 {"OFFSET2", 100}, {"BITS2", 13}, {"CLOCK2", 500}, {"GRAYBIN2", 1},
                 {"OFFSET3", 0}, {"BITS3", 25}, {"CLOCK3", 250}, {"GRAYBIN3", 0},
                 {"OFFSET4", 10}, {"BITS4", 25}, {"CLOCK4", 100}, {"GRAYBIN4", 0}});
  Nalouni("zero 1 off");
  Cycle(main);  // may still see the input latched before it went off
  Cycle(main);
  CHECK(!Checked(main, 1003), "box 1003 clear once the input is off");
  CheckShows(main, 1, "0");
  CheckShows(main, 2, "4900");
}

// Opens channel n's settings dialog from its "..." button.
HWND OpenSettings(HWND main, int channel) {
  PostClick(main, 1010 + channel);
  const std::string caption = "SSI " + std::to_string(channel);
  HWND dialog = WaitForDialog(caption.c_str(), kWindowWaitMs);
  CHECK(dialog != NULL, "\"...\" of channel %d opens the dialog \"%s\"", channel, caption.c_str());
  CHECK(FindWindowA(kDialogClass, "Config") == NULL, "the template's caption is replaced");
  return dialog;
}

void CheckSelection(HWND dialog, int list, int index, const char* what) {
  const LRESULT selected = SendItem(dialog, list, CB_GETCURSEL);
  CHECK(selected == index, "%s: list %d selects %ld, want %d", what, list,
        static_cast<long>(selected), index);
}

void Select(HWND dialog, int list, int index) {
  SendItem(dialog, list, CB_SETCURSEL, static_cast<WPARAM>(index));
  Send(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
       reinterpret_cast<LPARAM>(GetDlgItem(dialog, list)));
}

bool Closes(HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }, kWindowWaitMs); }

// OK takes the edited values into the channel, configures the card and
// saves; polling is stopped while the dialog is open and runs again after.
void TestSettingsOk(HWND main) {
  HWND dialog = OpenSettings(main, 1);
  if (dialog == NULL) return;
  CHECK(SendItem(dialog, 1012, CB_GETCOUNT) == 16 && SendItem(dialog, 1013, CB_GETCOUNT) == 6,
        "the lists hold 16 resolutions and 6 clocks");
  CheckSelection(dialog, 1012, 0, "channel 1 at 25 bits");
  CheckSelection(dialog, 1013, 4, "channel 1 at 100 kHz");
  CHECK(Checked(dialog, 1016) && !Checked(dialog, 1017), "channel 1 is Gray");

  Nalouni("encoder 1 --position 200000");
  Sleep(1000);
  CheckShows(main, 1, "0");  // no cycle while the dialog is open

  Select(dialog, 1012, 12);  // "13"
  Select(dialog, 1013, 1);   // "500"
  Click(dialog, 1017);
  CHECK(!Checked(dialog, 1016) && Checked(dialog, 1017), "BINARY replaces GRAY");
  Click(dialog, 1017);
  CHECK(!Checked(dialog, 1016) && Checked(dialog, 1017), "a second click leaves BINARY checked");
  Click(dialog, IDOK);
  CHECK(Closes(dialog), "OK ends the settings dialog");
  CheckSettings("after OK on channel 1",
                {{"BITS1", 13}, {"CLOCK1", 500}, {"GRAYBIN1", 1}, {"OFFSET1", 123456},
                 {"BITS2", 13}, {"OFFSET4", 10}});

  // The card reads channel 1 as 13-bit binary now; the offset of the 25-bit
  // zeroing stays, so the difference is raised by 2^13 only.
  Nalouni("encoder 1 --bits 13 --code binary --position 4321");
  CHECK(WaitUntil([&] { return Shows(main, 1, "-110943"); }, kPollingWaitMs),
        "polling resumes with channel 1 reconfigured: shows \"%s\", want \"-110943\"",
        ItemText(main, 1010).c_str());
}

// Cancel drops the edits: nothing reaches the card or the registry.
void TestSettingsCancel(HWND main) {
  HWND dialog = OpenSettings(main, 2);
  if (dialog == NULL) return;
  CheckSelection(dialog, 1012, 12, "channel 2 at 13 bits");
  CheckSelection(dialog, 1013, 1, "channel 2 at 500 kHz");
  CHECK(!Checked(dialog, 1016) && Checked(dialog, 1017), "channel 2 is binary");
  Select(dialog, 1012, 0);
  Select(dialog, 1013, 5);
  Click(dialog, 1016);
  Click(dialog, IDCANCEL);
  CHECK(Closes(dialog), "Cancel ends the settings dialog");
  CheckSettings("after Cancel on channel 2", {{"BITS2", 13}, {"CLOCK2", 500}, {"GRAYBIN2", 1}});
  Nalouni("encoder 2 --position 6000");
  CHECK(WaitUntil([&] { return Shows(main, 2, "5900"); }, kPollingWaitMs),
        "polling resumes with channel 2 unchanged: shows \"%s\", want \"5900\"",
        ItemText(main, 1015).c_str());
}

// A clock that is not in the list shows no selection and survives OK; the
// close box ends the dialog like Cancel.
void TestSettingsUnlistedAndClose(HWND main) {
  HWND dialog = OpenSettings(main, 3);
  if (dialog != NULL) {
    CheckSelection(dialog, 1013, CB_ERR, "channel 3 at 250 kHz");
    CheckSelection(dialog, 1012, 0, "channel 3 at 25 bits");
    Click(dialog, IDOK);
    CHECK(Closes(dialog), "OK ends the settings dialog of channel 3");
    CheckSettings("after OK on channel 3", {{"CLOCK3", 250}, {"BITS3", 25}});
  }
  dialog = OpenSettings(main, 4);
  if (dialog != NULL) {
    CHECK(Checked(dialog, 1016), "channel 4 is Gray");
    Select(dialog, 1012, 15);
    Send(dialog, WM_CLOSE);
    CHECK(Closes(dialog), "the close box ends the settings dialog");
    CheckSettings("after closing channel 4's dialog", {{"BITS4", 25}});
  }
}

// The About item of the system menu, and commands that mask to it. Polling
// goes on behind the About dialog.
void TestAbout(HWND main) {
  PostMessageA(main, WM_SYSCOMMAND, 0x0010, 0);
  HWND about = WaitForDialog("Info", kWindowWaitMs);
  CHECK(about != NULL, "the About item opens \"Info\"");
  if (about == NULL) return;
  CHECK(GetWindow(about, GW_OWNER) == main, "the About dialog belongs to the main dialog");
  Nalouni("encoder 3 --position 1000");
  CHECK(WaitUntil([&] { return Shows(main, 3, "1000"); }, kPollingWaitMs),
        "positions go on under the About dialog: \"%s\"", ItemText(main, 1016).c_str());
  Click(about, IDOK);
  CHECK(Closes(about), "OK ends the About dialog");

  PostMessageA(main, WM_SYSCOMMAND, 0x001F, 0);
  about = WaitForDialog("Info", kWindowWaitMs);
  CHECK(about != NULL, "command 0x001F opens the About dialog too");
  if (about == NULL) return;
  Send(about, WM_CLOSE);
  CHECK(Closes(about), "the close box ends the About dialog");
}

// "Abbrechen" ends the program; the card's release clears the outputs.
void TestCancelEnds(HWND main, HANDLE process) {
  CHECK(CardOutputs() == "0 0 1 0 0 1", "outputs still set before the end");
  PostClick(main, IDCANCEL);
  CHECK(WaitForSingleObject(process, kWindowWaitMs) == WAIT_OBJECT_0,
        "\"Abbrechen\" ends the program");
  const std::string outputs = CardOutputs();
  CHECK(outputs == "0 0 0 0 0 0", "outputs cleared at the end: %s", outputs.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: demo_program_test <SSIKovoDemo.exe> <nalouni.exe>\n");
    return 2;
  }
  const std::string program = WindowsPath(argv[1]);
  Tool = WindowsPath(argv[2]);
  CHECK(FindWindowA(kDialogClass, kMainCaption) == NULL, "no demo runs before the test");

  PrepareSettings();
  PrepareCard();

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  std::string line = "\"" + program + "\"";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  const BOOL started = CreateProcessA(NULL, commandLine.data(), NULL, NULL, FALSE, 0, NULL, NULL,
                                      &startup, &process);
  CHECK(started, "%s starts (%lu)", program.c_str(), GetLastError());
  if (!started) return check_result("demo program");

  HWND main = WaitForDialog(kMainCaption, kWindowWaitMs);
  CHECK(main != NULL, "the main dialog \"%s\" opens", kMainCaption);
  if (main != NULL) {
    TestPositions(main);
    TestOutputs(main);
    TestZeroing(main);
    TestSettingsOk(main);
    TestSettingsCancel(main);
    TestSettingsUnlistedAndClose(main);
    TestAbout(main);
    TestCancelEnds(main, process.hProcess);
  }
  if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return check_result("demo program");
}
