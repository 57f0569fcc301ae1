#include "platform/win32/schedule_writer.h"

#include <windows.h>

#include <memory>
#include <string>

namespace velkorn::win32 {

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

bool writeAll(HANDLE file, BytesView bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool ReplacingWriter::replaceContents(const std::filesystem::path& file, BytesView bytes) {
  const std::wstring target = file.native();
  const std::wstring temporary = target + L".saving-" + std::to_wstring(GetCurrentProcessId());
  {
    UniqueHandle out(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.get() == INVALID_HANDLE_VALUE) {
      out.release();
      return false;
    }
    if (!writeAll(out.get(), bytes) || !FlushFileBuffers(out.get())) {
      out.reset();
      DeleteFileW(temporary.c_str());
      return false;
    }
  }
  // Another program reading the schedule at that moment (a scanner, the
  // scheduler) blocks the replacement briefly: try a few times before failing.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED) break;
    Sleep(50);
  }
  DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace velkorn::win32
