// For the screenshots of ./run-demo: opens and closes the dialogs of a
// running SSIKovoDemo.exe and tells where a dialog lies on the screen.
//   demo_dialogs rect CAPTION     prints "WIDTHxHEIGHT+X+Y" of the dialog
//   demo_dialogs settings N       opens the settings dialog of channel N ("..." button)
//   demo_dialogs about            opens the About dialog (system menu command 0x0010)
//   demo_dialogs cancel CAPTION   ends the dialog through Cancel
// Each waits up to 30 s for its dialog; exit code 0 when it was there.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo_window.h"

using namespace demo_window;

namespace {

const DWORD kWaitMs = 30000;
const int kSettingsButtons[4] = {1011, 1012, 1013, 1014};

HWND Dialog(const char* caption) {
  HWND dialog = WaitForDialog(caption, kWaitMs);
  if (dialog == NULL) std::fprintf(stderr, "no dialog \"%s\"\n", caption);
  return dialog;
}

// Waits until the dialog has painted itself after it opened.
bool Opened(const char* caption) {
  HWND dialog = Dialog(caption);
  if (dialog == NULL) return false;
  Send(dialog, WM_NULL);
  Sleep(500);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* command = argc > 1 ? argv[1] : "";
  if (std::strcmp(command, "rect") == 0 && argc == 3) {
    HWND dialog = Dialog(argv[2]);
    if (dialog == NULL) return 1;
    RECT r;
    GetWindowRect(dialog, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
  }
  if (std::strcmp(command, "settings") == 0 && argc == 3) {
    const int channel = std::atoi(argv[2]);
    HWND main = Dialog(kMainCaption);
    if (main == NULL || channel < 1 || channel > 4) return 1;
    PostMessageA(GetDlgItem(main, kSettingsButtons[channel - 1]), BM_CLICK, 0, 0);
    char caption[8];
    std::snprintf(caption, sizeof caption, "SSI %d", channel);
    return Opened(caption) ? 0 : 1;
  }
  if (std::strcmp(command, "about") == 0 && argc == 2) {
    HWND main = Dialog(kMainCaption);
    if (main == NULL) return 1;
    PostMessageA(main, WM_SYSCOMMAND, 0x0010, 0);
    return Opened("Info") ? 0 : 1;
  }
  if (std::strcmp(command, "cancel") == 0 && argc == 3) {
    HWND dialog = Dialog(argv[2]);
    if (dialog == NULL) return 1;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, kWaitMs) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: demo_dialogs rect CAPTION | settings N | about | cancel CAPTION\n");
  return 2;
}
