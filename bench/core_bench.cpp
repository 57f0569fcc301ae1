// The scheduler's pass over a large schedule, in-process, against the
// cheapest possible pass over the same bytes (counting line feeds, as wc -l
// does), so the ratio says what reading lines and testing them costs.
//   core_bench FILE [benchmark flags]

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iostream>

#include "platform/qt/iconv_code_page.h"
#include "schedule/entry.h"
#include "schedule/line_reader.h"
#include "scheduler/daily_run.h"

namespace {

std::filesystem::path gSchedule;

void CountLineFeeds(benchmark::State& state) {
  std::vector<char> buffer(64 * 1024);
  for (auto _ : state) {
    std::ifstream in(gSchedule, std::ios::binary);
    std::size_t lines = 0;
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
      const char* p = buffer.data();
      const char* end = p + in.gcount();
      while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
        ++lines;
        ++p;
      }
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(gSchedule)));
}

void ReadLines(benchmark::State& state) {
  for (auto _ : state) {
    auto reader = velkorn::LineReader::open(gSchedule);
    std::size_t lines = 0;
    reader->forEach([&](velkorn::BytesView) { ++lines; });
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(gSchedule)));
}

struct NullStore final : velkorn::SettingsStore {
  bool write(std::string_view, velkorn::TextView) override { return true; }
};
struct NullMessages final : velkorn::MessagePresenter {
  velkorn::Answer show(const velkorn::Message&) override { return velkorn::Answer::Ok; }
};
struct NullPump final : velkorn::EventPump {
  void processPending() override {}
};

// The whole pass with a store that costs nothing, on 1 December: one line in
// twelve passes the raw-byte test and is decoded.
void DailyPass(benchmark::State& state) {
  velkorn::qt::IconvCodePage codePage;
  const velkorn::Codec codec(codePage);
  NullStore store;
  NullMessages messages;
  NullPump events;
  velkorn::SchedulerPlatform platform{store, messages, events, codec, {2026, 12, 1},
                                      gSchedule.parent_path()};
  for (auto _ : state) benchmark::DoNotOptimize(velkorn::runDaily(platform));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(gSchedule)));
}

BENCHMARK(CountLineFeeds)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(DailyPass)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 2 || std::filesystem::path(argv[1]).filename() != "velkorn.txt") {
    std::cerr << "usage: core_bench DIR/velkorn.txt [benchmark flags]\n";
    return 2;
  }
  gSchedule = argv[1];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
