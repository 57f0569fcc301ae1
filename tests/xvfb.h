#pragma once

#include <QProcess>
#include <QStandardPaths>

namespace velkorn::testing {

// A private X server for a test, and xdotool to act on its windows as a user
// would. Both come from tools/install-deps; a test without them is skipped.
class Xvfb {
 public:
  Xvfb() {
    xvfb_ = QStandardPaths::findExecutable("Xvfb");
    xdotool_ = QStandardPaths::findExecutable("xdotool");
    if (!available()) return;
    // The server picks a free display itself and writes its number to the
    // given descriptor (its standard output here) once it accepts clients.
    server_.start(xvfb_, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray number;
    for (int i = 0; i < 100 && !number.endsWith('\n'); ++i) {
      server_.waitForReadyRead(100);
      number += server_.readAllStandardOutput();
    }
    running_ = number.endsWith('\n');
    display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
  }
  ~Xvfb() {
    server_.terminate();
    server_.waitForFinished(5000);
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool available() const { return !xvfb_.isEmpty() && !xdotool_.isEmpty(); }
  bool running() const { return running_; }

  // The environment of a program shown on this display.
  QProcessEnvironment environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
  }

  enum class Outcome { Done, Failed, TimedOut };

  // Runs xdotool with the arguments.
  Outcome run(const QStringList& arguments, int timeoutMs = 15000) const {
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(xdotool_, arguments);
    if (!tool.waitForFinished(timeoutMs)) {
      tool.kill();
      tool.waitForFinished(1000);
      return Outcome::TimedOut;
    }
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0 ? Outcome::Done : Outcome::Failed;
  }
  bool xdotool(const QStringList& arguments) const { return run(arguments) == Outcome::Done; }

  // Waits for a shown window with exactly this title, then presses Return in
  // it; false if no such window came. (Qt also makes hidden helper windows
  // named after the program; only the shown one gets the key. A box that
  // closes on the key press is gone before the release, which xdotool
  // reports as an error: that is success here.)
  bool pressReturnIn(const QString& title) const {
    return run({"search", "--sync", "--onlyvisible", "--name", "^" + title + "$", "key", "--window", "%1",
                "Return"}) != Outcome::TimedOut;
  }

 private:
  QString xvfb_;
  QString xdotool_;
  QString display_;
  QProcess server_;
  bool running_ = false;
};

}  // namespace velkorn::testing
