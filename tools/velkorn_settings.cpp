// Prints the mail checker's three image values from the per-user settings
// file, one "name=value" line each, as the scheduler left them.

#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include "schedule/kinds.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("orangesoft"),
                     QStringLiteral("winbiff"));
  QTextStream out(stdout);
  out << "# " << settings.fileName() << "\n";
  settings.beginGroup(QStringLiteral("settings"));
  for (const velkorn::KindInfo& kind : velkorn::imageKinds()) {
    const QString key = QString::fromLatin1(kind.valueName.data(), static_cast<qsizetype>(kind.valueName.size()));
    out << key << '=' << (settings.contains(key) ? settings.value(key).toString() : QStringLiteral("(not set)"))
        << '\n';
  }
  return settings.status() == QSettings::NoError ? 0 : 1;
}
