// How long one port read through the driver takes when the SSI clock line
// has been left running for a long pause, beside one after the same pause
// with the line stopped (what waking up costs anyway) and back-to-back
// reads. A benchmark, not a test: it prints figures and checks nothing.
//   running_clock_benchmark [pause seconds, default 15] [reads, default 200]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../benchmark.h"
#include "driver_client.h"

namespace {

double TimedRead(DriverClient &d, uint32_t port) {
  uint8_t value = 0;
  const double start = benchmark::NowMs();
  d.ReadByte(port, &value);
  return benchmark::NowMs() - start;
}

}  // namespace

int main(int argc, char **argv) {
  const int pauseSeconds = argc > 1 ? atoi(argv[1]) : 15;
  const int reads = argc > 2 ? atoi(argv[2]) : 200;
  DriverClient d;
  if (!d.Open() || reads < 1 || !d.ResetCard()) {
    printf("usage: running_clock_benchmark [seconds] [reads], with the port driver running\n");
    return 2;
  }
  d.SetEncoder(NaloUniEncoder{1, 25, NALOUNI_CODE_BINARY, 1, 0x1234567, 0});

  // Any other read: register 7 back to back, the clock line stopped.
  d.StopClockLine();
  std::vector<double> other;
  for (int i = 0; i < reads; ++i) other.push_back(TimedRead(d, 7));

  // The same pause with the line stopped, then one read.
  Sleep(DWORD(pauseSeconds) * 1000);
  const double afterStoppedPause = TimedRead(d, 7);

  // The line running at 1 MHz, left alone, then one read of register 7.
  d.RunClockLine(1, 2);
  Sleep(DWORD(pauseSeconds) * 1000);
  const double afterPause = TimedRead(d, 7);
  std::vector<double> next;
  for (int i = 0; i < reads; ++i) next.push_back(TimedRead(d, 7));
  d.StopClockLine();
  d.ResetCard();

  printf("register 7 read after %d s with the clock line running at 1 MHz: %.3f ms "
         "(after the same pause with the line stopped: %.3f ms); the %d reads after it median "
         "%.3f ms (max %.3f); back to back with the line stopped median %.3f ms (min %.3f, max "
         "%.3f)\n",
         pauseSeconds, afterPause, afterStoppedPause, reads, benchmark::Median(next),
         benchmark::Percentile(next, 1), benchmark::Median(other), benchmark::Percentile(other, 0),
         benchmark::Percentile(other, 1));
  return 0;
}
