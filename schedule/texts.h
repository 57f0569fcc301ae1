#pragma once

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

}  // namespace velkorn::texts
