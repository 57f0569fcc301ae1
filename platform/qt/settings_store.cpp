#include "platform/qt/settings_store.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <algorithm>

#include "platform/qt/qt_text.h"
#include "platform/qt/replace_file.h"
#include "schedule/codec.h"

namespace velkorn::qt {

namespace {

QString settingsFile() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("orangesoft"),
                   QStringLiteral("winbiff"))
      .fileName();
}

// The file's bytes if the store can read them completely and correctly
// (none if it does not exist), or nothing.
std::optional<QByteArray> plainIniIn(const QString& path) {
  QFile file(path);
  if (!file.exists()) return QByteArray();
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFile::NoError || !QtSettingsStore::isPlainIni(bytes)) return std::nullopt;
  return bytes;
}

bool writeWhole(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// Everything in the settings file `path`, as a QSettings reader sees it.
// Each path may be read once only: QSettings keeps what it read of a file.
QVariantMap settingsIn(const QString& path) {
  const QSettings settings(path, QSettings::IniFormat);
  QVariantMap all;
  for (const QString& key : settings.allKeys()) all[key] = settings.value(key);
  return all;
}

}  // namespace

std::optional<Text> storedSetting(std::string_view valueName) {
  const QVariant value = QSettings(settingsFile(), QSettings::IniFormat)
                             .value(QStringLiteral("settings/") + QLatin1StringView(valueName.data(), static_cast<qsizetype>(valueName.size())));
  return value.isValid() ? std::optional(fromQString(value.toString())) : std::nullopt;
}

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
  if (!readable_) readable_ = plainIniIn(settingsFile()).has_value();
  return *readable_;
}

bool QtSettingsStore::storable(TextView data) {
  return std::none_of(data.begin(), data.end(), isEscape);
}

bool QtSettingsStore::write(std::string_view valueName, TextView data) {
  if (!readable() || !storable(data)) return false;
  values_[QString::fromLatin1(valueName.data(), static_cast<qsizetype>(valueName.size()))] = toQString(data);
  return true;
}

// QSettings makes the new file, on a copy; what it wrote is read back through
// a file it has not seen (on a full disk it writes half a file and says
// nothing); then the bytes replace the settings file in one checked write.
// The lock is QSettings' own, so that its other writers wait; a run waits
// for it 20 s at most (QLockFile clears one whose holder is gone).
bool QtSettingsStore::commit() {
  const QString path = settingsFile();
  // A day like the one before: the file already says it all, and stays
  // (a file is only ever replaced whole, so it can be read without the lock).
  const QVariantMap now = values_.empty() ? QVariantMap() : settingsIn(path);
  if (std::ranges::all_of(values_, [&](const auto& each) {
        const auto value = now.constFind(QStringLiteral("settings/") + each.first);
        return value != now.constEnd() && *value == QVariant(each.second);
      })) {
    values_.clear();
    return true;
  }
  QLockFile lock(path + QStringLiteral(".lock"));
  QTemporaryDir work;
  std::optional<QByteArray> bytes;
  if (!QDir().mkpath(QFileInfo(path).path()) || !lock.tryLock(20000) || !work.isValid() ||
      !(bytes = plainIniIn(path)) || !writeWhole(work.filePath("new"), *bytes)) {
    return false;
  }
  QVariantMap expected = settingsIn(work.filePath("new"));
  {
    QSettings settings(work.filePath("new"), QSettings::IniFormat);
    for (const auto& [name, value] : values_) settings.setValue(QStringLiteral("settings/") + name, value);
    for (const auto& [name, value] : values_) expected[QStringLiteral("settings/") + name] = value;
    settings.sync();
    if (settings.status() != QSettings::NoError) return false;
  }
  QFile made(work.filePath("new"));
  if (!made.open(QIODevice::ReadOnly) || !writeWhole(work.filePath("check"), *(bytes = made.readAll())) ||
      settingsIn(work.filePath("check")) != expected) {
    return false;
  }
  values_.clear();
  return replaceFile(QFile::encodeName(path).toStdString(), bytes->toStdString()) == 0;
}

}  // namespace velkorn::qt
