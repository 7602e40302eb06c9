#pragma once
#include <QObject>

#include <functional>
#include <utility>

namespace uiqt {

// Runs a function for events of a watched object; true swallows the event. The watched object
// owns the hook.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> fn)
        : QObject(watched), fn_(std::move(fn)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override { return fn_(event); }

  private:
    std::function<bool(QEvent*)> fn_;
};

} // namespace uiqt
