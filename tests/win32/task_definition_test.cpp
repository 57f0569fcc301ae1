// The daily task's definition, as velkorn-task writes it.

#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/task_definition.h"

namespace velkorn::testing {
namespace {

// The lines of the definition that name the folder and the user.
struct Named {
  Text command;
  Text directory;
  Text user;
};

std::optional<Named> named(TextView folder, TextView user) {
  const auto xml = win32::taskDefinition(folder, user);
  if (!xml) return std::nullopt;
  const auto element = [&](TextView open, TextView close, std::size_t from = 0) {
    const std::size_t start = xml->find(open, from) + open.size();
    return xml->substr(start, xml->find(close, start) - start);
  };
  const Text trigger = element(U"<UserId>", U"</UserId>");
  // The logon trigger's user and the principal's are one.
  if (element(U"<UserId>", U"</UserId>", xml->find(U"<Principal ")) != trigger) return std::nullopt;
  return Named{element(U"<Command>", U"</Command>"), element(U"<WorkingDirectory>", U"</WorkingDirectory>"), trigger};
}

// The folder and the user exactly, whatever their characters, escaped for
// XML (Windows forbids < > " in names, not & and '); the program's path is
// one command in quotes; a drive's root has its backslash already. A name
// that XML cannot hold (NTFS allows a lone surrogate, and U+FFFE) has no
// definition: Task Scheduler would not read it.
TEST(TaskDefinition, NamesTheFolderAndTheUserExactlyOrNotAtAll) {
  const Text edges{U'C', U':', U'\\', 0xD7FF, 0xE000, 0xFFFD, 0x10FFFF};
  const Text odd = U"C:\\Users\\é𠮷한 & 'x' <\">";
  const Text oddXml = U"C:\\Users\\é𠮷한 &amp; &apos;x&apos; &lt;&quot;&gt;";
  const struct {
    Text folder, user;
    std::optional<Named> expected;
  } cases[] = {
      {odd, U"S-1-5-21-1-2-3-1001", Named{U"\"" + oddXml + U"\\velkorn.exe\"", oddXml, U"S-1-5-21-1-2-3-1001"}},
      {U"C:\\", U"PC\\テ&スト", Named{U"\"C:\\velkorn.exe\"", U"C:\\", U"PC\\テ&amp;スト"}},
      {edges, U"u", Named{U"\"" + edges + U"\\velkorn.exe\"", edges, U"u"}},
      {Text{U'C', U':', U'\\', 0xD800}, U"u", std::nullopt},
      {Text{U'C', U':', U'\\', 0xDFFF}, U"u", std::nullopt},
      {Text{U'C', U':', U'\\', 0xFFFE}, U"u", std::nullopt},
      {Text{U'C', U':', U'\\', 0x1F}, U"u", std::nullopt},
      {U"C:\\v", Text{U'u', 0xDC00}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = named(c.folder, c.user);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << toUtf8(c.folder);
    if (!got) continue;
    EXPECT_EQ(got->command, c.expected->command);
    EXPECT_EQ(got->directory, c.expected->directory);
    EXPECT_EQ(got->user, c.expected->user);
  }
}

// Little-endian after the mark; a character outside the BMP as its pair.
TEST(TaskDefinition, FileIsUtf16WithItsMark) {
  EXPECT_EQ(win32::utf16FileBytes(U"a𠮷"), std::string("\xFF\xFE" "a\0" "\x42\xD8\xB7\xDF", 8));
}

}  // namespace
}  // namespace velkorn::testing
