#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "schedule/codec.h"
#include "schedule/message.h"
#include "scheduler/daily_run.h"

namespace velkorn::testing {

// A few characters of CP932, enough for Japanese paths in core tests that
// must not depend on a platform converter. 表 ends in 0x5C, as a trap for
// code that looks for backslashes in raw bytes.
class FakeCodePage final : public CodePage {
 public:
  FakeCodePage() {
    add("\x97\x58", U'郵');
    add("\x95\xD6", U'便');
    add("\x8A\x47", U'絵');
    add("\x95\x5C", U'表');
    add("\x81\x5E", U'／');
  }

  std::size_t decodePrefix(BytesView bytes, Text& out) const override {
    std::size_t i = 0;
    while (i < bytes.size()) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (b < 0x80) {
        out.push_back(b);
        ++i;
        continue;
      }
      if (i + 1 >= bytes.size()) break;
      const auto it = toText_.find(std::string(bytes.substr(i, 2)));
      if (it == toText_.end()) break;
      out.push_back(it->second);
      i += 2;
    }
    return i;
  }

  std::size_t encodePrefix(TextView text, Bytes& out) const override {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
      if (text[i] < 0x80) {
        out.push_back(static_cast<char>(text[i]));
        continue;
      }
      const auto it = toBytes_.find(text[i]);
      if (it == toBytes_.end()) break;
      out += it->second;
    }
    return i;
  }

 private:
  void add(const std::string& bytes, char32_t c) {
    toText_[bytes] = c;
    toBytes_[c] = bytes;
  }
  std::map<std::string, char32_t> toText_;
  std::map<char32_t, std::string> toBytes_;
};

// Records every write; fails the calls whose 0-based numbers are listed.
class FakeStore final : public SettingsStore {
 public:
  struct Write {
    std::string name;
    Text data;
    bool ok;
  };

  bool write(std::string_view valueName, TextView data) override {
    const bool ok = !failing.count(writes.size());
    writes.push_back({std::string(valueName), Text(data), ok});
    if (ok) values[std::string(valueName)] = Text(data);
    return ok;
  }

  std::set<std::size_t> failing;
  std::vector<Write> writes;
  std::map<std::string, Text> values;
};

// Records every message and answers from a script (OK when it runs out).
class RecordingMessageBox final : public MessageBox {
 public:
  Answer show(const Message& message) override {
    shown.push_back(message);
    if (answers.empty()) return message.buttons == Message::Buttons::YesNo ? Answer::No : Answer::Ok;
    const Answer next = answers.front();
    answers.erase(answers.begin());
    return next;
  }

  std::vector<Message> shown;
  std::vector<Answer> answers;
};

class CountingEventPump final : public EventPump {
 public:
  void processPending() override { ++calls; }
  int calls = 0;
};

}  // namespace velkorn::testing
