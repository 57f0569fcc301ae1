#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "editor/editor_view.h"

namespace velkorn::win32 {

// The file calls of a save, and the clock its retries wait on. Windows fails
// them in ways Wine never does (a replace that stops half-way or that the
// volume does not support, a folder that Controlled folder access guards, a
// file that a scanner holds for a second or two); a test replays those
// failures here.
class SaveCalls {
 public:
  virtual ~SaveCalls() = default;
  // CreateFileW of a new file only (CREATE_NEW), for writing; ReplaceFileW
  // (no backup file); MoveFileExW, over an existing file if `replacing`:
  // ERROR_SUCCESS or the call's error.
  virtual DWORD create(const std::wstring& file, HANDLE& handle);
  virtual DWORD replace(const std::wstring& target, const std::wstring& replacement);
  virtual DWORD move(const std::wstring& from, const std::wstring& to, bool replacing);
  virtual DWORD attributes(const std::wstring& file);  // INVALID_FILE_ATTRIBUTES: none there
  virtual void remove(const std::wstring& file);
  virtual ULONGLONG milliseconds();
  // Waits with the thread's window messages flowing, so that its windows
  // go on answering (one silent for 5 s is "not responding").
  virtual void pause(DWORD milliseconds);
};

// Windows' own.
SaveCalls& systemSaveCalls();

// Replaces the schedule atomically: the bytes go to a new temporary file
// beside it, no longer a name than the schedule's own, are flushed to disk,
// and ReplaceFileW puts it in the old one's place, keeping the old file's
// attributes and permissions (the first save, and a volume that cannot
// replace, move it there). A file another program holds is tried again
// within one budget of about 3 s for the whole save; a read-only file or a
// folder that takes no new file fails at once. Afterwards the schedule's
// name holds the old contents or the new ones, whole; when it holds
// neither, the temporary file is kept and named by newContentsLeftIn().
class ReplacingWriter final : public ScheduleWriter {
 public:
  explicit ReplacingWriter(SaveCalls& calls = systemSaveCalls()) : calls_(calls) {}

  SaveResult replaceContents(const std::filesystem::path& file, BytesView bytes) override;
  std::optional<std::filesystem::path> newContentsLeftIn() const override { return leftIn_; }

 private:
  SaveCalls& calls_;
  std::optional<std::filesystem::path> leftIn_;
};

}  // namespace velkorn::win32
