// How the demo program keeps its pace over the port driver: how many times a
// second its shown positions change, and how long it takes to answer a
// message sent from another process at random moments. A benchmark, not a
// test: it prints figures and checks nothing.
//   demo_benchmark <SSIKovoDemo.exe> <label> [seconds]
// The card and the demo's settings are prepared by the caller; the demo is
// started here and ended through its Cancel button.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../benchmark.h"
#include "demo_window.h"

using namespace demo_window;
using benchmark::NowMs;
using benchmark::Percentile;

namespace {

// Samples channel 1's position field every 10 ms and counts its changes.
// Channel 1's encoder is the fast one (it moves at every polling cycle);
// reading one field only, the sampler never sees half of a cycle's update.
struct UpdateCounter {
  HWND main;
  volatile LONG running;
  int updates;

  static DWORD WINAPI Run(void* self) {
    UpdateCounter& c = *static_cast<UpdateCounter*>(self);
    std::string last = ItemText(c.main, kPositionEdits[0]);
    while (c.running) {
      Sleep(10);
      const std::string now = ItemText(c.main, kPositionEdits[0]);
      if (now != last) ++c.updates;
      last = now;
    }
    return 0;
  }
};

// Sends WM_NULL at random moments and records how long each answer took.
std::vector<double> ProbeAnswers(HWND main, double seconds) {
  std::vector<double> answers;
  const double end = NowMs() + 1000 * seconds;
  srand(12345);
  while (NowMs() < end) {
    Sleep(static_cast<DWORD>(rand() % 40));
    DWORD_PTR result = 0;
    const double start = NowMs();
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    answers.push_back(NowMs() - start);
  }
  return answers;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: demo_benchmark <SSIKovoDemo.exe> <label> [seconds]\n");
    return 2;
  }
  const double seconds = argc > 3 ? std::atof(argv[3]) : 10;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(argv[1], NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", argv[1]);
    return 1;
  }
  HWND main = WaitForDialog(kMainCaption, 60000);
  if (main == NULL || !WaitUntil([&] { return !ItemText(main, kPositionEdits[0]).empty(); }, 30000)) {
    std::fprintf(stderr, "no window \"%s\" with positions\n", kMainCaption);
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  Sleep(1000);  // past the start-up

  UpdateCounter counter = {main, 1, 0};
  const double start = NowMs();
  HANDLE thread = CreateThread(NULL, 0, UpdateCounter::Run, &counter, 0, NULL);
  const std::vector<double> answers = ProbeAnswers(main, seconds);
  InterlockedExchange(&counter.running, 0);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  const double elapsed = (NowMs() - start) / 1000;

  std::printf("%-28s position updates per second %.2f; answer to a message median %.2f ms, "
              "90th percentile %.2f ms, max %.2f ms (%zu messages in %.1f s)\n",
              argv[2], counter.updates / elapsed, Percentile(answers, 0.5), Percentile(answers, 0.9),
              Percentile(answers, 1.0), answers.size(), elapsed);

  PostMessageA(GetDlgItem(main, IDCANCEL), BM_CLICK, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
