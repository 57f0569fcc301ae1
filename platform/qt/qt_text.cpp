#include "platform/qt/qt_text.h"

namespace velkorn::qt {

QString toQString(TextView text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char32_t c : text) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
      out.append(QChar(QChar::highSurrogate(c)));
      out.append(QChar(QChar::lowSurrogate(c)));
    } else {
      out.append(QChar(static_cast<char16_t>(c)));
    }
  }
  return out;
}

Text fromQString(const QString& text) {
  Text out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      out.push_back(QChar::surrogateToUcs4(c, text.at(i + 1)));
      ++i;
    } else {
      out.push_back(c.unicode());
    }
  }
  return out;
}

}  // namespace velkorn::qt
