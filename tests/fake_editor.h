#pragma once

#include <deque>
#include <fstream>
#include <new>
#include <vector>

#include "editor/editor_controller.h"

namespace velkorn::testing {

// A window of plain fields that records the messages it shows, as
// "title|icon|text", and plays back scripted answers (No when they run out).
// Like a real text widget, every change of the list reports itself to the
// controller.
struct FakeView final : EditorView {
  Text listText() const override { return list; }
  void setListText(TextView text) override { list = Text(text), caret = end = 0, controller->handleListChanged(); }
  void insertAtCaret(TextView text) override {
    list.replace(caret, end - caret, text);
    caret = end = caret + text.size();
    controller->handleListChanged();
  }
  Date calendarDate() const override { return calendar; }
  void setCalendarDate(const Date& date) override { calendar = date; }
  Text kindText() const override { return kind; }
  bool everyDayChecked() const override { return everyDay; }
  Text fileBoxText() const override { return fileBox; }
  void setFileBoxText(TextView text) override { fileBox = Text(text); }
  Answer showMessage(const Message& m) override {
    shown.push_back(toUtf8(m.title) + "|" + "i!x"[static_cast<int>(m.icon)] + "|" + toUtf8(m.text));
    if (m.buttons == Message::Buttons::Ok) return Answer::Ok;
    const Answer next = answers.empty() ? Answer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return next;
  }
  std::optional<Text> pickFile(TextView description, TextView pattern) override {
    filter = Text(description) + U"|" + Text(pattern);
    return picked;
  }
  bool startScheduler() override { return ++schedulerStarts <= allowedStarts; }
  void endProgram() override { ++ends; }

  EditorController* controller = nullptr;
  Text list, kind, fileBox, filter;
  std::size_t caret = 0, end = 0;  // the selection
  Date calendar;
  bool everyDay = false;
  std::vector<std::string> shown;
  std::deque<Answer> answers;
  std::optional<Text> picked;
  int schedulerStarts = 0, allowedStarts = 1000, ends = 0;
};

// Writes the whole file, as the real writers do, or fails (or runs out of
// memory) on request.
struct FileWriter final : ScheduleWriter {
  bool replaceContents(const std::filesystem::path& file, BytesView bytes) override {
    if (throws) throw std::bad_alloc();
    if (!fail) std::ofstream(file, std::ios::binary) << bytes;
    return ++calls, !fail;
  }
  bool fail = false, throws = false;
  int calls = 0;
};

}  // namespace velkorn::testing
