#include "platform/win32/task_definition.h"

namespace velkorn::win32 {

namespace {

// XML 1.0's characters (its production Char), but for tab and line ends,
// which no name holds.
bool isXmlCharacter(char32_t c) {
  return (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text as an element's content, or nothing if XML cannot hold it.
// (Quotes need no escape there; Windows allows none in a name anyway.)
std::optional<Text> xmlContent(TextView text) {
  Text out;
  for (char32_t c : text) {
    if (!isXmlCharacter(c)) return std::nullopt;
    switch (c) {
      case U'&': out += U"&amp;"; break;
      case U'<': out += U"&lt;"; break;
      case U'>': out += U"&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<Text> taskDefinition(TextView folder, TextView userId) {
  const auto directory = xmlContent(folder);
  const auto user = xmlContent(userId);
  if (!directory || !user) return std::nullopt;
  Text command = *directory;
  if (!folder.ends_with(U'\\')) command += U'\\';
  command += U"velkorn.exe";
  // The program's path in quotes, so that a path with spaces is one
  // command. A run still waiting for its message box to be answered is
  // stopped by the next start, which takes its place (StopExisting): one
  // unanswered box never costs the following days.
  const Text lines = UR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo>
    <Description>Winbiff の画像を今日の予定に切り替えます (velkorn)</Description>
  </RegistrationInfo>
  <Triggers>
    <LogonTrigger>
      <UserId>)" + *user + UR"(</UserId>
      <Delay>PT1M</Delay>
    </LogonTrigger>
    <CalendarTrigger>
      <StartBoundary>2000-01-01T00:01:00</StartBoundary>
      <ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>
    </CalendarTrigger>
  </Triggers>
  <Principals>
    <Principal id="Author">
      <UserId>)" + *user + UR"(</UserId>
      <LogonType>InteractiveToken</LogonType>
      <RunLevel>LeastPrivilege</RunLevel>
    </Principal>
  </Principals>
  <Settings>
    <StartWhenAvailable>true</StartWhenAvailable>
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>
    <MultipleInstancesPolicy>StopExisting</MultipleInstancesPolicy>
  </Settings>
  <Actions Context="Author">
    <Exec>
      <Command>")" + command + UR"("</Command>
      <WorkingDirectory>)" + *directory + UR"(</WorkingDirectory>
    </Exec>
  </Actions>
</Task>
)";
  Text xml;
  for (char32_t c : lines) {
    if (c == U'\n') xml += U'\r';
    xml += c;
  }
  return xml;
}

Bytes utf16FileBytes(TextView text) {
  Bytes bytes = "\xFF\xFE";
  for (char16_t unit : toUtf16(text)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace velkorn::win32
