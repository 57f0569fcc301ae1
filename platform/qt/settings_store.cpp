#include "platform/qt/settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <algorithm>

#include "platform/qt/qt_text.h"
#include "schedule/codec.h"

namespace velkorn::qt {

namespace {

QSettings mailCheckerSettings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("orangesoft"),
                   QStringLiteral("winbiff"));
}

}  // namespace

bool QtSettingsStore::isPlainIni(const QByteArray& bytes) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = utf8(bytes);
  if (utf8.hasError() || text.contains(QChar(0))) return false;
  for (QStringView line : QStringView(text).split(u'\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u';')) continue;
    // A group named, with no bracket, slash or backslash inside; a key with a
    // name, its parts joined by single backslashes, and no slash.
    const bool group = line.startsWith(u'[');
    const QStringView name = group ? line.sliced(1, line.size() - 1).chopped(line.endsWith(u']') ? 1 : 0)
                                   : line.left(line.indexOf(u'=')).trimmed();
    const bool named = !name.isEmpty() && !name.contains(u'/') &&
                       (group ? line.endsWith(u']') && !name.contains(u'[') && !name.contains(u']') &&
                                    !name.contains(u'\\')
                              : line.contains(u'=') && !name.startsWith(u'\\') && !name.endsWith(u'\\') &&
                                    !name.contains(u"\\\\"));
    if (!named) return false;
  }
  return true;
}

// Anything else in the file (binary, a group left open, a "#" line) QSettings
// would read some other way or drop, and writing it back would lose it.
bool QtSettingsStore::readable() {
  if (!readable_) {
    QFile file(mailCheckerSettings().fileName());
    readable_ = !file.exists() || (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) &&
                                   isPlainIni(file.readAll()) && file.error() == QFile::NoError);
  }
  return *readable_;
}

bool QtSettingsStore::write(std::string_view valueName, TextView data) {
  // A byte of the schedule that is not text has no place in a text file.
  if (!readable() || std::any_of(data.begin(), data.end(), isEscape)) return false;
  values_[QString::fromLatin1(valueName.data(), static_cast<qsizetype>(valueName.size()))] = toQString(data);
  return true;
}

bool QtSettingsStore::commit() {
  if (values_.empty()) return true;
  QSettings settings = mailCheckerSettings();
  // Never fall back to rewriting the file in place: a crash half-way would
  // lose the mail checker's other settings.
  settings.setAtomicSyncRequired(true);
  settings.beginGroup(QStringLiteral("settings"));
  for (const auto& [name, value] : values_) settings.setValue(name, value);
  settings.endGroup();
  settings.sync();
  values_.clear();
  return settings.status() == QSettings::NoError;
}

}  // namespace velkorn::qt
