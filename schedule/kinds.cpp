#include "schedule/kinds.h"

namespace velkorn {

const std::array<KindInfo, kKindCount>& imageKinds() {
  static const std::array<KindInfo, kKindCount> table{{
      {ImageKind::Figure, U'P', "velkornBitmap"},
      {ImageKind::ReadButton, U'R', "readButtonBitmap"},
      {ImageKind::WriteButton, U'W', "compositeButtonBitmap"},
  }};
  return table;
}

const KindInfo& infoOf(ImageKind kind) {
  return imageKinds()[static_cast<std::size_t>(kind)];
}

std::optional<ImageKind> kindFromLetter(char32_t letter) {
  // Upper-cased: only the ASCII lower case of P, R and W matches.
  for (const KindInfo& info : imageKinds()) {
    if (letter == info.letter || letter == info.letter + (U'a' - U'A')) return info.kind;
  }
  return std::nullopt;
}

}  // namespace velkorn
