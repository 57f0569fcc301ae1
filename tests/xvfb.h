#pragma once

#include <QProcess>

namespace velkorn::testing {

// A private X server for a test, and xdotool to act on its windows as a user
// would. Every wait has a deadline.
class Xvfb {
 public:
  ~Xvfb() {
    server_.kill();
    server_.waitForFinished(5000);
  }

  // False if the server did not accept clients within 10 s. It picks a free
  // display itself and writes its number to the descriptor given (its
  // standard output) once it does.
  bool start() {
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    for (int i = 0; i < 100 && !display_.endsWith('\n'); ++i) {
      server_.waitForReadyRead(100);
      display_ += QString::fromLatin1(server_.readAllStandardOutput());
    }
    return display_.endsWith('\n');
  }
  QString display() const { return ':' + display_.trimmed(); }

  // The environment of a program shown on `display`.
  static QProcessEnvironment environment(const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
  }

  // Runs xdotool: its exit status, or -1 if it took longer than 10 s.
  int xdotool(const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(environment(display()));
    tool.start("xdotool", arguments);
    const bool finished = tool.waitForFinished(10000);
    tool.kill();
    tool.waitForFinished(1000);
    return finished && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
  }

  // Waits for a shown window with exactly this title, then presses Return in
  // it; false if none came. (Qt also makes hidden helper windows named after
  // the program; only the shown one gets the key. A box that closes on the
  // key press is gone before the release, which xdotool reports as an error:
  // that is success here.)
  bool pressReturnIn(const QString& title) const {
    return xdotool({"search", "--sync", "--onlyvisible", "--name", '^' + title + '$', "key", "--window", "%1",
                    "Return"}) != -1;
  }

 private:
  QString display_;
  QProcess server_;
};

}  // namespace velkorn::testing
