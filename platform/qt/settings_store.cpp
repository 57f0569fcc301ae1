#include "platform/qt/settings_store.h"

#include <QSettings>

#include "platform/qt/qt_text.h"

namespace velkorn::qt {

bool QtSettingsStore::write(std::string_view valueName, TextView data) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("orangesoft"),
                     QStringLiteral("winbiff"));
  // Never fall back to rewriting the file in place: a crash half-way would
  // lose the mail checker's other settings.
  settings.setAtomicSyncRequired(true);
  // An unreadable or malformed file is not ours to overwrite.
  if (settings.status() != QSettings::NoError) return false;
  settings.beginGroup(QStringLiteral("settings"));
  settings.setValue(QString::fromLatin1(valueName.data(), static_cast<qsizetype>(valueName.size())),
                    toQString(data));
  settings.endGroup();
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace velkorn::qt
