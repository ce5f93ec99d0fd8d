// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C) close the main window
// as the user would, so its unload runs and nothing is lost.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace qv {

class CloseOnSignal : public QObject {
    Q_OBJECT
  public:
    // onSignal runs on the user-interface thread, from the event loop.
    explicit CloseOnSignal(std::function<void()> onSignal);
    ~CloseOnSignal() override;

  private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qv
