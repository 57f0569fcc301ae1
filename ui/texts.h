// ui/: every text a user of either program sees, once, for both builds.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "schedule/kinds.h"
#include "schedule/text.h"

namespace velkorn::texts {

// What the user reads of each image kind: the editor's drop-down label, and
// the scheduler's message when a settings write for it fails.
struct KindTexts {
  TextView label;
  TextView writeFailed;
};
inline constexpr std::array<KindTexts, kKindCount> kKinds{{
    {U"郵便屋さん", U"郵便屋さんの画像変更に失敗しました。"},
    {U"読む？", U"「読む？」の画像変更に失敗しました。"},
    {U"書くの？", U"「書くの？」の画像変更に失敗しました。"},
}};
inline constexpr const KindTexts& of(ImageKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

// The kind whose drop-down label is `label`; nothing for any other text.
inline std::optional<ImageKind> kindFromLabel(TextView label) {
  for (const KindInfo& info : imageKinds()) {
    if (of(info.kind).label == label) return info.kind;
  }
  return std::nullopt;
}

// The scheduler.
inline constexpr TextView kSchedulerTitle = U"velkorn";
inline constexpr TextView kHolidayNotice = U"今日はWinbiffのビットマップを変更できません。";
// Followed by the schedule file's full path.
inline constexpr TextView kScheduleOpenFailed = U"設定ファイルを開けませんでした：";
inline constexpr TextView kScheduleReadFailed = U"設定ファイルを読み込めませんでした：";

// The editor's window.
inline constexpr TextView kEditorCaption = U"設定の編集";
inline constexpr TextView kFileLabel = U"ファイル";               // Label1
inline constexpr TextView kBrowseButton = U"Browse";             // Command1
inline constexpr TextView kKindLabel = U"画像";                   // Label3
inline constexpr TextView kEveryDayCheck = U"デフォルト表示を指定します";  // Check1
inline constexpr TextView kInsertHint = U"挿入する行にカーソルを置いてからクリックします";  // Label2
inline constexpr TextView kAddButton = U"↓";                     // Command2
inline constexpr TextView kSaveButton = U"保存";                  // Command3
inline constexpr TextView kExitButton = U"終了";                  // Command4
inline constexpr TextView kRunButton = U"実行";                   // Command5
inline constexpr TextView kBitmapFilterDescription = U"BMPファイル(*.bmp)";
inline constexpr TextView kBitmapFilterPattern = U"*.bmp";

// The editor's messages.
inline constexpr TextView kStartupErrorTitle = U"起動エラー";
inline constexpr TextView kScheduleNotFound = U"設定ファイルが見つかりません。";
inline constexpr TextView kSaveTitle = U"保存";
inline constexpr TextView kSaveQuestion = U"保存しますが、よろしいですか？";
inline constexpr TextView kSaveFailed = U"設定ファイルを保存できませんでした。";
inline constexpr TextView kExitTitle = U"終了";
inline constexpr TextView kExitQuestion = U"保存しないで終了しますが、よろしいですか？";
// The Run question's title is the word of Exit's, by design.
inline constexpr TextView kRunQuestionTitle = U"終了";
inline constexpr TextView kRunQuestion = U"実行前には保存する必要があります。保存しますか？";
inline constexpr TextView kRunTitle = U"実行";
inline constexpr TextView kSchedulerStartFailed = U"velkorn を起動できませんでした。";
inline constexpr TextView kFileNameErrorTitle = U"ファイル名エラー";
inline constexpr TextView kNoFileChosen = U"ファイルが指定されていません";
inline constexpr TextView kFileNameHasLineBreak = U"改行を含むファイル名は指定できません。";
// Shown by Windows while a log-off or shutdown waits for the Exit question.
inline constexpr TextView kUnsavedChangesReason = U"保存していない変更があります。";
// After the save failed message, when Windows denied access: the likely
// causes and what to do about each.
inline constexpr TextView kSaveAccessDenied =
    U"Windows が書き込みを許可しませんでした。次のどちらかが考えられます。\n"
    U"・velkorn.txt が読み取り専用になっている：エクスプローラーで velkorn.txt のプロパティを開き、"
    U"「読み取り専用」のチェックを外してください。\n"
    U"・このフォルダーが C:\\Program Files の下にあるか、「コントロールされたフォルダー アクセス」で"
    U"保護されている：readme.txt にあるとおり、フォルダーごと書き込みのできる場所"
    U"（例: C:\\Users\\<ユーザー名>\\velkorn）に移してください。";
// After the save failed message, when the old file is gone from its name;
// followed by the path of the file that holds what was to be saved.
inline constexpr TextView kSaveLeftIn =
    U"\n保存しようとした内容は次のファイルにあります。このファイルの名前を velkorn.txt に変えてください：\n";
// velkorn-check, when it has a console of its own that closes with it.
inline constexpr TextView kPressAnyKey = U"何かキーを押すと閉じます。";

// The checker, velkorn-check.
inline constexpr TextView kCheckUsage =
    U"使い方：velkorn-check [--date 月/日] [--year] [ファイル]\n"
    U"設定ファイルの問題と、その日に Winbiff に設定される画像を表示します。\n"
    U"  --date 月/日  今日の代わりに、この日（例 12/24）の画像を表示します。\n"
    U"  --year        今年、毎日の画像と違う日をすべて表示します。\n"
    U"  ファイル      既定はこのプログラムと同じフォルダーの velkorn.txt です。\n"
    U"終了コード：0 問題なし、1 ファイルを読めない、2 指定の誤り、3 問題あり\n";
inline constexpr TextView kCheckBadArgument = U"指定が正しくありません：";  // followed by the argument
inline constexpr TextView kCheckFile = U"設定ファイル：";           // followed by its path
inline constexpr TextView kCheckNoProblems = U"問題はありません。";
inline constexpr TextView kCheckInUtf8 =
    U"このファイルは UTF-8 で保存されています。メモ帳で文字コードに「ANSI」を選んで保存し直すか、"
    U"velkorn-editor で一度開いて保存してください。";
inline constexpr TextView kCheckNoteMark = U"（注意）";
inline constexpr TextView kCheckEmptyValue = U"（空）";
inline constexpr TextView kCheckFrom = U"← ";  // before the line a value comes from
inline constexpr TextView kCheckNoLineDue = U"当てはまる行なし";
inline constexpr TextView kCheckStoredHeading = U"Winbiff の設定に今ある画像：";
inline constexpr TextView kCheckNotStored = U"（未設定）";
inline constexpr TextView kCheckStoredAgree = U"今日の画像と同じです。今日の実行は済んでいます。";
inline constexpr TextView kCheckStoredDisagree =
    U"今日の画像と違います。今日の実行がまだか、実行の後で設定ファイルが変わっています。";
inline constexpr TextView kCheckDateColumn = U"日付";
inline constexpr TextView kCheckEveryDay = U"毎日";
inline constexpr TextView kTooShort = U"行が短く、日付と画像の種類が入りきっていません。";
inline constexpr TextView kMonthNotTwoDigits = U"月（1～2文字目）が2桁の数字ではありません。";
inline constexpr TextView kDayNotTwoDigits = U"日（4～5文字目）が2桁の数字ではありません。";
inline constexpr TextView kMonthOutOfRange = U"月が 01～12 でも 00 でもありません。";
inline constexpr TextView kDayOutOfRange = U"日が 01～31 でも 00 でもありません。";
inline constexpr TextView kHalfEveryDay = U"00 が月と日の片方だけです。毎日にするには 00/00 と書きます。";
inline constexpr TextView kNoSuchDate = U"その月にこの日はありません。";
inline constexpr TextView kUnknownKind = U"7文字目が P、R、W のどれでもありません。";
inline constexpr TextView kNoPath = U"パスがないので、画像は空になります。";
inline constexpr TextView kPathHasBlanks = U"パスの前か後ろに空白があります。空白もパスの一部になります。";
inline constexpr TextView kBitmapMissing = U"ファイルがありません。";
inline constexpr TextView kNotBitmap = U"BMP ファイルではないか、読み込めません。";
inline constexpr TextView kLeapDayOnly = U"うるう年にだけ使われます。";

inline Text neverWinsMessage(std::size_t laterLine) {
  return U"同じ画像の " + widen(std::to_string(laterLine)) + U" 行目が後にあり、この行の日には必ずそちらが使われます。";
}
inline Text lineNumberText(std::size_t lineNumber) {
  return widen(std::to_string(lineNumber)) + U" 行目";
}
// An image's value, shown: the path, or （空） for the empty one.
inline TextView shownValue(TextView path) {
  return path.empty() ? kCheckEmptyValue : path;
}
// What an image gets on a day and which line it comes from (0: none is due),
// as velkorn-check and the calendar's tooltips tell it.
inline Text valueFromLine(TextView path, std::size_t lineNumber) {
  return Text(shownValue(path)) + U"  " + Text(kCheckFrom) +
         (lineNumber ? lineNumberText(lineNumber) : Text(kCheckNoLineDue));
}
inline Text problemCountMessage(std::size_t count) {
  return U"問題が " + widen(std::to_string(count)) + U" 件あります。";
}
inline Text uncheckedPathsMessage(std::size_t count) {
  return widen(std::to_string(count)) + U" 行のパスは、このシステムの絶対パスではないため、ファイルを確かめていません。";
}
inline Text onDateHeading(TextView dateField) {
  return Text(dateField) + U" の画像：";
}
inline Text yearHeading(int year) {
  return widen(std::to_string(year)) + U" 年に毎日の画像と違う日（* が違う画像）：";
}
inline Text yearUnchangedMessage(int year) {
  return widen(std::to_string(year)) + U" 年に毎日の画像と違う日はありません。";
}

// A code page as a user knows it: Japanese Windows calls 932 Shift-JIS.
inline Text codePageName(unsigned number) {
  return number == 932 ? Text(U"Shift-JIS") : U"コードページ " + widen(std::to_string(number));
}

// A path the settings store would refuse: bytes that are no character, or,
// in a store with a code page (0: none), a character that it lacks.
inline Text notStorableMessage(unsigned codePage) {
  return (codePage ? U"パスに、文字として読めないバイトか、" + codePageName(codePage) + U" で表せない文字があります。"
                   : Text(U"パスに、文字として読めないバイトがあります。")) +
         U"Winbiff の設定に書き込めないため、この行は使われません。";
}

// A character by its code point too: a space or a mark can look like nothing.
inline Text characterText(char32_t c) {
  std::string hex;  // at least four digits, as code points are written
  for (char32_t rest = c; rest != 0 || hex.size() < 4; rest >>= 4) hex.insert(hex.begin(), "0123456789ABCDEF"[rest & 0xF]);
  Text text = U"「";
  text += c;
  text += U"」（U+";
  text += widen(hex);
  text += U"）";
  return text;
}

// A character of the list that the schedule's code page cannot hold; line
// and column 1-based.
inline Text unencodableCharacterMessage(std::size_t lineNumber, std::size_t column, char32_t character,
                                        unsigned codePage) {
  return widen(std::to_string(lineNumber)) + U" 行目の " + widen(std::to_string(column)) + U" 文字目" +
         characterText(character) + U"は " + codePageName(codePage) +
         U" で保存できない文字です。その文字を直してから保存してください。";
}

// Browse: a file whose path the schedule's code page cannot hold.
inline Text unholdablePathMessage(TextView path, unsigned codePage) {
  return Text(path) + U"\n\nこのファイルのフォルダー名かファイル名に、" + codePageName(codePage) +
         U" で表せない文字があります。フォルダーかファイルの名前を変えてから、もう一度選んでください。";
}

// The editor's tooltips: a day the calendar marks (the checker's texts, as
// velkorn-check --date tells the day), and the picture chosen with Browse.
inline Text pictureSizeText(int width, int height) {
  return widen(std::to_string(width)) + U" × " + widen(std::to_string(height)) + U" ピクセル";
}
inline Text previewTooLargeText(int width, int height) {
  return pictureSizeText(width, height) + U"：画像が大きすぎるため、表示しません。";
}
inline constexpr TextView kPreviewUnreadable = U"この画像は表示できません。BMP ファイルではないか、壊れています。";

}  // namespace velkorn::texts
