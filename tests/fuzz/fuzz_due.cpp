// The due rule on any line and any date: no crash, and the scheduler's cheap
// filter never rejects a line that is due.

#include "schedule/entry.h"
#include "tests/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const velkorn::DayKey today = velkorn::dayKeyOf({2026, data[0] % 12 + 1, data[1] % 31 + 1});
  const velkorn::BytesView raw(reinterpret_cast<const char*>(data) + 2, size - 2);
  const velkorn::Text line = velkorn::testing::kCodec.decode(raw);
  if (velkorn::isDue(line, today) && !velkorn::mayBeDue(raw, today)) __builtin_trap();
  return 0;
}
