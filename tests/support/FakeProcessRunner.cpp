#include "tests/support/FakeProcessRunner.h"

namespace proc {

const FakeProcessRunner::Program* FakeProcessRunner::find(const std::string& commandLine) const {
    auto it = programs_.find(commandLine);
    if (it != programs_.end())
        return &it->second;
    return hasOther_ ? &other_ : nullptr;
}

Handle FakeProcessRunner::start(const std::string& commandLine) {
    started_.push_back(commandLine);
    const Program* program = find(commandLine);
    if (!program || program->failsToStart)
        return 0;
    Handle h = next_++;
    processes_[h] = Running{clock_->nowMs() + program->durationMs, program->onEnd, false, {}};
    if (program->onStart)
        program->onStart();
    return h;
}

bool FakeProcessRunner::isRunning(Handle& handle) {
    if (handle == 0)
        return false;
    auto it = processes_.find(handle);
    if (it == processes_.end()) {
        handle = 0;
        return false;
    }
    if (clock_->nowMs() < it->second.endsAt)
        return true;
    auto onEnd = std::move(it->second.onEnd);
    if (it->second.errors)
        collected_[it->first] = std::move(*it->second.errors);
    processes_.erase(it);
    handle = 0;
    if (onEnd)
        onEnd();
    return false;
}

bool FakeProcessRunner::startHidden(const std::string& commandLine) {
    hidden_.push_back(commandLine);
    const Program* program = find(commandLine);
    if (!program || program->failsToStart)
        return false;
    if (program->onStart)
        program->onStart();
    return true;
}

Handle FakeProcessRunner::startCollectingErrors(const std::string& commandLine) {
    Handle h = start(commandLine);
    if (h != 0) {
        auto it = errors_.find(commandLine);
        processes_[h].errors = it == errors_.end() ? std::string() : it->second;
    }
    return h;
}

std::string FakeProcessRunner::takeErrors(Handle process) {
    auto it = collected_.find(process);
    if (it == collected_.end())
        return {};
    std::string text = std::move(it->second);
    collected_.erase(it);
    return text;
}

int FakeProcessRunner::running() const {
    return static_cast<int>(processes_.size());
}

} // namespace proc
