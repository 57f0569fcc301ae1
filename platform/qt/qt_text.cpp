#include "platform/qt/qt_text.h"

#include <algorithm>

namespace velkorn::qt {

QString toQString(TextView text, bool dropCrBeforeLf) {
  QString out(static_cast<qsizetype>(text.size() * 2), Qt::Uninitialized);
  char16_t* data = reinterpret_cast<char16_t*>(out.data());
  qsizetype n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (dropCrBeforeLf && c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') continue;
    if (c >= 0x10000 && c <= 0x10FFFF) {
      data[n++] = QChar::highSurrogate(c);
      data[n++] = QChar::lowSurrogate(c);
    } else {
      data[n++] = static_cast<char16_t>(c);
    }
  }
  out.truncate(n);
  return out;
}

Text fromQString(const QString& text, bool addCrBeforeLf) {
  const auto* units = reinterpret_cast<const char16_t*>(text.constData());
  const auto lineEnds = addCrBeforeLf ? std::count(units, units + text.size(), u'\n') : 0;
  Text out;
  out.reserve(static_cast<std::size_t>(text.size() + lineEnds));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (addCrBeforeLf && c == QLatin1Char('\n')) out.push_back(U'\r');
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
