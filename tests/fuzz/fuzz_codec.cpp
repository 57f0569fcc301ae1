// The schedule read line by line and written back, as a load and a save of
// the editor do: whatever the bytes, every line comes back byte for byte.

#include "platform/qt/iconv_code_page.h"
#include "schedule/line_reader.h"
#include "schedule/schedule_file.h"
#include "tests/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const velkorn::testing::TempDir dir;
  static const velkorn::qt::IconvCodePage codePage;
  static const velkorn::Codec codec(codePage);
  const auto file = dir.write("velkorn.txt", {reinterpret_cast<const char*>(data), size});
  const auto reader = velkorn::LineReader::open(file);
  velkorn::Text list;
  velkorn::Bytes expected;
  velkorn::BytesView line;
  while (reader->next(line) == velkorn::LineReader::Status::Line) {
    codec.decodeAppend(line, list);
    list += U"\r\n";
    expected.append(line).append("\r\n");
  }
  if (std::get<velkorn::Bytes>(velkorn::scheduleFileBytes(list, codec)) != expected + "\r\n") __builtin_trap();
  return 0;
}
