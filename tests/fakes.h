#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "schedule/codec.h"
#include "scheduler/daily_run.h"

namespace velkorn::testing {

// A few double-byte characters, for core tests that must not depend on a
// platform converter. 表 ends in 0x5C, a trap for code that looks for
// backslashes in raw bytes; ≒ has two byte sequences, as in CP932, and
// encodes to the first.
class FakeCodePage final : public CodePage {
 public:
  std::size_t decodePrefix(BytesView bytes, Text& out) const override {
    std::size_t i = 0;
    while (const Pair* p = find([&](const Pair& q) { return bytes.substr(i).starts_with(q.first); })) {
      out.push_back(p->second);
      i += p->first.size();
    }
    return i;
  }
  std::size_t encodePrefix(TextView text, Bytes& out) const override {
    std::size_t i = 0;
    while (const Pair* p = i < text.size() ? find([&](const Pair& q) { return text[i] == q.second; }) : nullptr) {
      out += p->first;
      ++i;
    }
    return i;
  }
  unsigned number() const override { return 932; }

 private:
  using Pair = std::pair<std::string, char32_t>;
  template <typename Match>
  static const Pair* find(Match match) {
    static const std::vector<Pair> table = [] {
      std::vector<Pair> t = {{"\x97\x58", U'郵'}, {"\x95\xD6", U'便'}, {"\x8A\x47", U'絵'}, {"\x95\x5C", U'表'},
                             {"\x81\x5E", U'／'}, {"\x81\xE0", U'≒'}, {"\x87\x90", U'≒'}};
      for (char32_t c = 0; c < 0x80; ++c) t.emplace_back(std::string(1, static_cast<char>(c)), c);  // and ASCII
      return t;
    }();
    const auto found = std::ranges::find_if(table, match);
    return found == table.end() ? nullptr : &*found;
  }
};

// The codec every core test reads and writes with.
inline const FakeCodePage kFakeCodePage;
inline const Codec kCodec{kFakeCodePage};

// Records every write as "name=value", and a commit as "commit"; fails the
// calls whose 0-based numbers are listed.
struct FakeStore final : SettingsStore {
  bool write(std::string_view valueName, TextView data) override {
    writes.push_back(std::string(valueName) + "=" + toUtf8(data));
    return !failing.count(writes.size() - 1);
  }
  bool commit() override {
    writes.push_back("commit");
    return !failing.count(writes.size() - 1);
  }
  std::set<std::size_t> failing;
  std::vector<std::string> writes;
};

// A message as "title|icon|text", the icon as i (information), !
// (exclamation) or x (critical).
inline std::string recorded(const Message& m) {
  return toUtf8(m.title) + "|" + "i!x"[static_cast<int>(m.icon)] + "|" + toUtf8(m.text);
}

// Records every message; answers OK, or No to a question.
struct RecordingMessageBox final : MessagePresenter {
  Answer show(const Message& m) override {
    shown.push_back(recorded(m));
    return m.buttons == Message::Buttons::YesNo ? Answer::No : Answer::Ok;
  }
  std::vector<std::string> shown;
};

struct CountingEventPump final : EventPump {
  void processPending() override { ++calls; }
  int calls = 0;
};

}  // namespace velkorn::testing
