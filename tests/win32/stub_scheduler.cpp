// Stands in for Velkorn.exe beside the editor under test: appends one line to
// "scheduler-ran.txt" beside itself, so the driver can tell that (and how
// often) the editor started it.

#include <windows.h>

#include <fstream>

#include "platform/win32/platform_info.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::ofstream(*velkorn::win32::executableDirectory() / "scheduler-ran.txt", std::ios::app | std::ios::binary) << "ran\r\n";
  return 0;
}
