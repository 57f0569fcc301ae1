#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "schedule/text.h"

namespace velkorn {

enum class ImageKind { Figure, ReadButton, WriteButton };

// The one table of image kinds that the scheduler and the editor share
// (what the user reads of each is in ui/texts.h).
struct KindInfo {
  ImageKind kind;
  char32_t letter;             // as written in a schedule entry
  std::string_view valueName;  // the mail checker's settings value
};

inline constexpr std::size_t kKindCount = 3;

// In reset order: figure, read button, write button.
const std::array<KindInfo, kKindCount>& imageKinds();

const KindInfo& infoOf(ImageKind kind);

// The letter of a schedule entry, in either case; nothing for any other.
std::optional<ImageKind> kindFromLetter(char32_t letter);

}  // namespace velkorn
