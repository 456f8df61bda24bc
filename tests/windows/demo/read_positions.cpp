// Prints the four positions that a running SSIKovoDemo.exe shows, read from
// its window, and with --close ends it through its Cancel button.
//   read_positions [--wait SECONDS] [--close]
// Exit code 0 when the window was found and showed positions, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo_window.h"

using namespace demo_window;

int main(int argc, char** argv) {
  DWORD waitMs = 30000;
  bool close = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc) {
      waitMs = static_cast<DWORD>(std::atoi(argv[++i])) * 1000;
    } else if (std::strcmp(argv[i], "--close") == 0) {
      close = true;
    } else {
      std::fprintf(stderr, "usage: read_positions [--wait SECONDS] [--close]\n");
      return 2;
    }
  }

  HWND main = WaitForDialog(kMainCaption, waitMs);
  if (main == NULL) {
    std::printf("no window \"%s\"\n", kMainCaption);
    return 1;
  }
  // The edits stay empty until the first polling cycle.
  const bool shown = WaitUntil([&] { return !ItemText(main, kPositionEdits[0]).empty(); }, waitMs);
  for (int n = 0; n < 4; ++n)
    std::printf("SSI %d: %s\n", n + 1, ItemText(main, kPositionEdits[n]).c_str());
  std::fflush(stdout);

  if (close) {
    PostMessageA(GetDlgItem(main, IDCANCEL), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(main); }, 10000)) {
      std::printf("the window did not close\n");
      return 1;
    }
  }
  return shown ? 0 : 1;
}
