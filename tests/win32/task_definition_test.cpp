// The daily task's definition, as velkorn-task writes it. (A folder named
// with spaces, Japanese, "&", é, 𠮷 and Hangul, written, read back and
// registered under Wine, is the zip's test.)

#include <gtest/gtest.h>

#include "platform/win32/task_definition.h"

namespace velkorn::testing {
namespace {

// The folder in <Command> (the program's path, one command in quotes; a
// drive's root has its backslash already) and in <WorkingDirectory>, and the
// user in both <UserId>s, exactly, escaped for XML. A name that XML cannot
// hold (NTFS allows a lone surrogate, and U+FFFE) has no definition: Task
// Scheduler would not read it.
TEST(TaskDefinition, NamesTheFolderAndTheUserExactlyOrNotAtAll) {
  const Text edges{U'C', U':', U'\\', U' ', 0xD7FF, 0xE000, 0xFFFD, 0x10000, 0x10FFFF, U'\'', U'"'};
  const Text escaped = edges + U"&amp;&lt;&gt;";
  const struct {
    Text folder, user, command, directory, userXml;  // no command: no definition
  } cases[] = {
      {edges + U"&<>", U"PC\\a&b", U"\"" + escaped + U"\\velkorn.exe\"", escaped, U"PC\\a&amp;b"},
      {U"C:\\", U"S-1-5-21-1-2-3-1001", U"\"C:\\velkorn.exe\"", U"C:\\", U"S-1-5-21-1-2-3-1001"},
      {Text{U'C', U':', U'\\', 0xD800}, U"u", {}, {}, {}},
      {Text{U'C', U':', U'\\', 0xFFFE}, U"u", {}, {}, {}},
      {U"C:\\v", Text{U'u', 0xDC00}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    const auto xml = win32::taskDefinition(c.folder, c.user);
    ASSERT_EQ(xml.has_value(), !c.command.empty()) << toUtf8(c.folder);
    if (!xml) continue;
    const Text exec = Text(U"<Command>").append(c.command).append(U"</Command>\r\n      <WorkingDirectory>");
    const Text user = Text(U"<UserId>").append(c.userXml).append(U"</UserId>\r\n");
    EXPECT_NE(xml->find(Text(exec).append(c.directory).append(U"</WorkingDirectory>\r\n")), Text::npos);
    EXPECT_NE(xml->find(user, xml->find(user) + 1), Text::npos) << "the trigger's and the principal's";
  }
}

}  // namespace
}  // namespace velkorn::testing
