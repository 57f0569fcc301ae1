#include "schedule/kinds.h"

#include "ui/texts.h"

namespace velkorn {

const std::array<KindInfo, kKindCount>& imageKinds() {
  static const std::array<KindInfo, kKindCount> table{{
      {ImageKind::Figure, U'P', texts::kLabelFigure, "velkornBitmap", texts::kFigureWriteFailed},
      {ImageKind::ReadButton, U'R', texts::kLabelReadButton, "readButtonBitmap",
       texts::kReadButtonWriteFailed},
      {ImageKind::WriteButton, U'W', texts::kLabelWriteButton, "compositeButtonBitmap",
       texts::kWriteButtonWriteFailed},
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

std::optional<ImageKind> kindFromLabel(TextView label) {
  for (const KindInfo& info : imageKinds()) {
    if (info.label == label) return info.kind;
  }
  return std::nullopt;
}

}  // namespace velkorn
