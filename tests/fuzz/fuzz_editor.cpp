// An entry added at any caret or selection of any list: the line and its
// CR LF replace the selection, and the rest of the list stays as it was.

#include "tests/fake_editor.h"
#include "tests/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  using namespace velkorn;
  static const testing::FakeCodePage codePage;
  static const Codec codec(codePage);
  testing::FakeView view;
  testing::FileWriter writer;
  EditorController controller(view, codec, writer, "unused");
  view.controller = &controller;
  const Text before = view.list = codec.decode({reinterpret_cast<const char*>(data) + 4, size - 4});
  const std::size_t from = view.caret = std::min<std::size_t>(data[0] | data[1] << 8, before.size());
  const std::size_t to = view.end = std::min<std::size_t>(from + data[2], before.size());
  view.kind = U"郵便屋さん", view.fileBox = U"C:\\a.bmp", view.everyDay = data[3] & 1, view.calendar = {2026, 3, 3};
  controller.handleAdd();
  const Text line = Text(view.everyDay ? U"00/00" : U"03/03") + U" P C:\\a.bmp\r\n";
  if (view.list != before.substr(0, from) + line + before.substr(to) || view.caret != from + line.size()) {
    __builtin_trap();
  }
  return 0;
}
