#pragma once

#include <string>

#include "schedule/text.h"

// Every text a user of either program sees, once, for both builds.
namespace velkorn::texts {

// Image kinds: the editor's drop-down labels.
inline constexpr TextView kLabelFigure = U"郵便屋さん";
inline constexpr TextView kLabelReadButton = U"読む？";
inline constexpr TextView kLabelWriteButton = U"書くの？";

// The scheduler.
inline constexpr TextView kSchedulerTitle = U"velkorn";
inline constexpr TextView kHolidayNotice = U"今日はWinbiffのビットマップを変更できません。";
inline constexpr TextView kFigureWriteFailed = U"郵便屋さんの画像変更に失敗しました。";
inline constexpr TextView kReadButtonWriteFailed = U"「読む？」の画像変更に失敗しました。";
inline constexpr TextView kWriteButtonWriteFailed = U"「書くの？」の画像変更に失敗しました。";
// Followed by the schedule file's full path.
inline constexpr TextView kScheduleOpenFailed = U"スケジュールファイルを開けませんでした：";
inline constexpr TextView kScheduleReadFailed = U"スケジュールファイルを読み込めませんでした：";

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
inline constexpr TextView kRunQuestion = U"実行前には保存する必要があります。保存しますか？";
inline constexpr TextView kRunTitle = U"実行";
inline constexpr TextView kSchedulerStartFailed = U"velkorn を起動できませんでした。";
inline constexpr TextView kFileNameErrorTitle = U"ファイル名エラー";
inline constexpr TextView kNoFileChosen = U"ファイルが指定されていません";
inline constexpr TextView kFileNameHasLineBreak = U"改行を含むファイル名は指定できません。";

// A character that Shift-JIS cannot hold, on the given 1-based line.
inline Text unencodableCharacterMessage(std::size_t lineNumber) {
  return widen(std::to_string(lineNumber)) +
         U" 行目に Shift-JIS で保存できない文字があります。その文字を直してから保存してください。";
}

}  // namespace velkorn::texts
