// Writes a large schedule in CP932 for the benchmarks:
//   gen_schedule FILE LINES MONTH DAY
// Comments, entries for every date but the given one, Japanese paths, and a
// few entries due on the given date (three dated, two every-day).

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// CP932 bytes of 画像 (picture), 郵便屋さん (mail carrier) and 季節 (season).
const char* const kFolders[] = {"\x89\xE6\x91\x9C", "\x97\x58\x95\xD6\x89\xAE\x82\xB3\x82\xF1",
                                "\x8B\x47\x90\xDF"};
const char kKinds[] = {'P', 'R', 'W', 'p', 'X'};
// # 季節の画像 (seasonal pictures)
const char* const kComment = "# \x8B\x47\x90\xDF\x82\xCC\x89\xE6\x91\x9C";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s FILE LINES MONTH DAY\n", argv[0]);
    return 2;
  }
  const long lines = std::atol(argv[2]);
  const int todayMonth = std::atoi(argv[3]);
  const int todayDay = std::atoi(argv[4]);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;

  long written = 0;
  auto line = [&](const std::string& text) {
    std::fputs(text.c_str(), out);
    std::fputs("\r\n", out);
    ++written;
  };
  line("00/00 P C:\\Winbiff\\default.bmp");
  char date[16];
  int month = 1;
  int day = 1;
  for (long i = 0; written < lines - 4; ++i) {
    if (i % 10 == 0) {
      line(kComment);
      continue;
    }
    if (++day > 28) day = 1, month = month % 12 + 1;
    if (month == todayMonth && day == todayDay) continue;
    std::snprintf(date, sizeof date, "%02d/%02d", month, day);
    line(std::string(date) + ' ' + kKinds[i % 5] + " C:\\Program Files\\Winbiff\\" + kFolders[i % 3] + "\\" +
         std::to_string(i % 1000) + ".bmp");
  }
  std::snprintf(date, sizeof date, "%02d/%02d", todayMonth, todayDay);
  line(std::string(date) + " P C:\\" + kFolders[0] + "\\today-p.bmp");
  line(std::string(date) + " R C:\\" + kFolders[1] + "\\today-r.bmp");
  line("00/00 W C:\\Winbiff\\every-day-w.bmp");
  line(std::string(date) + " W C:\\" + kFolders[2] + "\\today-w.bmp");
  return std::fclose(out) == 0 ? 0 : 1;
}
