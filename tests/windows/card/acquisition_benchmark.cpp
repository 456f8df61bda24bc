// How long one GetSSIKovo takes through the port driver under Wine, and how
// many device requests one acquisition makes, beside the clock burst's own
// duration. A benchmark, not a test: it prints figures and checks nothing.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "card_steering.h"
#include "library_api.h"

namespace {

struct Setting {
  uint8_t bits;
  uint16_t clockKHz;
};

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

uint32_t PortRequests(CardSteering& card) {
  NaloUniState state = {};
  card.GetState(&state);
  return state.portRequests;
}

void Measure(LibraryApi& lib, CardSteering& card, const Setting& s, int runs) {
  card.SetEncoder(1, s.bits, NALOUNI_CODE_BINARY, 0x155 & ((1u << s.bits) - 1), 0);
  lib.ConfSSIKovo(1, s.bits, s.clockKHz, 1);
  for (int i = 0; i < 20; ++i) lib.GetSSIKovo(1);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> micros;
  std::vector<uint32_t> requests;
  for (int i = 0; i < runs; ++i) {
    const uint32_t before = PortRequests(card);
    QueryPerformanceCounter(&start);
    lib.GetSSIKovo(1);
    QueryPerformanceCounter(&end);
    requests.push_back(PortRequests(card) - before);
    micros.push_back(1e6 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  }
  const double burstMicros = 1000.0 * (s.bits + 1) / (2000 / (2000 / s.clockKHz));
  printf("%4u kHz / %2u bits: GetSSIKovo median %.2f ms (min %.2f, max %.2f); "
         "device requests per acquisition median %u (min %u, max %u); clock burst %.0f us\n",
         s.clockKHz, s.bits, Median(micros) / 1000, *std::min_element(micros.begin(), micros.end()) / 1000,
         *std::max_element(micros.begin(), micros.end()) / 1000, Median(requests),
         *std::min_element(requests.begin(), requests.end()),
         *std::max_element(requests.begin(), requests.end()), burstMicros);
}

}  // namespace

int main(int argc, char** argv) {
  LibraryApi lib;
  CardSteering card;
  if (argc < 2 || !lib.Load(argv[1]) || !card.Open()) {
    printf("usage: acquisition_benchmark <SSIKovo.dll>, with the port driver running\n");
    return 2;
  }
  const int runs = argc > 2 ? atoi(argv[2]) : 200;
  card.SetCard(0x100, true);
  lib.InitSSIKovo();
  const Setting settings[] = {{25, 1000}, {10, 50}};
  for (const Setting& s : settings) Measure(lib, card, s, runs);
  lib.DeInitSSIKovo();
  return 0;
}
