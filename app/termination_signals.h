// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal) end the game the way
// its own exit does: the handler only wakes the event loop, which then runs the shut-down.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pyra {

class TerminationSignals final : public QObject {
 public:
  // `terminate` runs on the window thread, once per signal that arrives.
  explicit TerminationSignals(std::function<void()> terminate);
  ~TerminationSignals() override;

 private:
  std::function<void()> terminate_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pyra
