#pragma once

#include <cstdio>
#include <filesystem>

#include "platform/qt/gui_module.h"
#include "ui/message.h"

namespace velkorn::qt {

// The scheduler's message boxes: real ones where a display is reachable
// (the Qt Widgets module beside the program, loaded only then); otherwise
// (cron, ssh, CI) each message is one line "title: text" on standard error
// and the run goes on as if OK had been pressed.
class SchedulerMessageBox final : public MessagePresenter {
 public:
  SchedulerMessageBox(std::filesystem::path programDirectory, std::FILE* fallback = stderr);
  ~SchedulerMessageBox() override;
  SchedulerMessageBox(const SchedulerMessageBox&) = delete;
  SchedulerMessageBox& operator=(const SchedulerMessageBox&) = delete;
  Answer show(const Message& message) override;

 private:
  VelkornShowMessageFn loadGui();
  Answer writeLine(const Message& message);

  std::filesystem::path programDirectory_;
  std::FILE* fallback_;
  bool guiTried_ = false;
  VelkornShowMessageFn showFn_ = nullptr;
  VelkornGuiShutdownFn shutdownFn_ = nullptr;
};

}  // namespace velkorn::qt
