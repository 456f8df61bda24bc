// How long one GetSSIKovo takes through the port driver under Wine, at three
// clocks and with no card, and how many device requests one acquisition
// makes; beside it the cost of one call that makes a single request
// (GetInputs), measured in the same run, so that an acquisition reads as a
// number of request round trips. A benchmark, not a test: it prints figures
// and checks nothing.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../benchmark.h"
#include "card_steering.h"
#include "library_api.h"

using benchmark::Median;
using benchmark::NowMs;

namespace {

struct Setting {
  const char* name;
  uint8_t bits;
  uint16_t clockKHz;
  bool present;  // false: nothing at the card's address
};

uint32_t PortRequests(CardSteering& card) {
  NaloUniState state = {};
  card.GetState(&state);
  return state.portRequests;
}

struct Figures {
  std::vector<double> micros;
  std::vector<uint32_t> requests;
};

// Times the call `runs` times, with the driver's count of port requests
// around each.
template <typename Call>
Figures Time(CardSteering& card, int runs, Call call) {
  Figures f;
  for (int i = 0; i < runs; ++i) {
    const uint32_t before = PortRequests(card);
    const double start = NowMs();
    call();
    f.micros.push_back(1000 * (NowMs() - start));
    f.requests.push_back(PortRequests(card) - before);
  }
  return f;
}

void Measure(LibraryApi& lib, CardSteering& card, const Setting& s, int runs,
             double singleRequestMicros) {
  card.SetCard(0x100, s.present);
  card.SetEncoder(1, s.bits, NALOUNI_CODE_BINARY, 0x155 & ((1u << s.bits) - 1), 0);
  lib.ConfSSIKovo(1, s.bits, s.clockKHz, 1);
  for (int i = 0; i < 20; ++i) lib.GetSSIKovo(1);
  const Figures f = Time(card, runs, [&] { lib.GetSSIKovo(1); });
  const double median = Median(f.micros);
  const double burstMicros = 1000.0 * (s.bits + 1) / (2000 / (2000 / s.clockKHz));
  printf("%-20s GetSSIKovo median %.3f ms (min %.3f, max %.3f) = %.1f single-request calls; "
         "device requests median %u (min %u, max %u); clock burst %.0f us\n",
         s.name, median / 1000, *std::min_element(f.micros.begin(), f.micros.end()) / 1000,
         *std::max_element(f.micros.begin(), f.micros.end()) / 1000, median / singleRequestMicros,
         Median(f.requests), *std::min_element(f.requests.begin(), f.requests.end()),
         *std::max_element(f.requests.begin(), f.requests.end()), burstMicros);
  card.SetCard(0x100, true);
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
  // The unit of cost: one call that makes a single device request.
  for (int i = 0; i < 20; ++i) lib.GetInputs();
  const Figures single = Time(card, runs, [&] { lib.GetInputs(); });
  const double singleMicros = Median(single.micros);
  printf("%-20s GetInputs median %.3f ms (min %.3f, max %.3f); device requests median %u\n",
         "one request:", singleMicros / 1000,
         *std::min_element(single.micros.begin(), single.micros.end()) / 1000,
         *std::max_element(single.micros.begin(), single.micros.end()) / 1000,
         Median(single.requests));
  const Setting settings[] = {{"1000 kHz / 25 bits:", 25, 1000, true},
                              {" 500 kHz / 13 bits:", 13, 500, true},
                              {"  50 kHz / 10 bits:", 10, 50, true},
                              {"no card:", 25, 1000, false}};
  for (const Setting& s : settings) Measure(lib, card, s, runs, singleMicros);
  lib.DeInitSSIKovo();
  return 0;
}
