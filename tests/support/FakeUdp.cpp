#include "tests/support/FakeUdp.h"

#include <algorithm>

namespace net {

namespace {

struct Pending {
    std::int64_t atMs;
    std::uint64_t seq;
    Datagram datagram;
};

struct SocketQueue {
    std::vector<Pending> pending;
    bool open = true;
};

} // namespace

struct FakeUdpNetwork::State {
    const ui::Clock* clock = nullptr;
    Responder responder;
    std::string sendError;
    std::vector<Sent> sent;
    std::vector<std::weak_ptr<SocketQueue>> sockets;
    std::uint64_t seq = 0;

    std::int64_t now() const { return clock ? clock->nowMs() : 0; }
};

namespace {

class FakeUdpSocket : public UdpSocket {
  public:
    FakeUdpSocket(std::shared_ptr<FakeUdpNetwork::State> state, std::shared_ptr<SocketQueue> queue)
        : state_(std::move(state)), queue_(std::move(queue)) {}

    bool sendTo(const std::string& host, std::uint16_t port, const std::string& bytes) override {
        error_.clear();
        if (!state_->sendError.empty()) {
            error_ = state_->sendError;
            return false;
        }
        queue_->open = true;
        FakeUdpNetwork::Sent s{host, port, bytes, state_->now()};
        state_->sent.push_back(s);
        if (!state_->responder)
            return true;
        if (auto reply = state_->responder(s)) {
            Datagram d{reply->bytes, reply->fromHost.empty() ? host : reply->fromHost,
                       reply->fromPort ? reply->fromPort : port};
            queue_->pending.push_back(
                {s.atMs + std::max<std::int64_t>(0, reply->delayMs), state_->seq++, d});
        }
        return true;
    }

    std::optional<Datagram> receive() override {
        if (!queue_->open)
            return std::nullopt;
        std::int64_t now = state_->now();
        auto& p = queue_->pending;
        auto best = p.end();
        for (auto it = p.begin(); it != p.end(); ++it) {
            if (it->atMs > now)
                continue;
            if (best == p.end() || it->atMs < best->atMs ||
                (it->atMs == best->atMs && it->seq < best->seq))
                best = it;
        }
        if (best == p.end())
            return std::nullopt;
        Datagram d = std::move(best->datagram);
        p.erase(best);
        return d;
    }

    void close() override {
        // Replies to a closed socket are lost, as on a real one.
        queue_->open = false;
        queue_->pending.clear();
    }

    std::string errorText() const override { return error_; }

  private:
    std::shared_ptr<FakeUdpNetwork::State> state_;
    std::shared_ptr<SocketQueue> queue_;
    std::string error_;
};

} // namespace

FakeUdpNetwork::FakeUdpNetwork(const ui::Clock* clock) : state_(std::make_shared<State>()) {
    state_->clock = clock;
}

FakeUdpNetwork::~FakeUdpNetwork() = default;

void FakeUdpNetwork::setResponder(Responder responder) {
    state_->responder = std::move(responder);
}

void FakeUdpNetwork::failSends(std::string errorText) {
    state_->sendError = std::move(errorText);
}

void FakeUdpNetwork::deliver(std::string bytes, std::string fromHost, std::uint16_t fromPort) {
    for (auto it = state_->sockets.rbegin(); it != state_->sockets.rend(); ++it) {
        if (auto q = it->lock()) {
            q->open = true;
            q->pending.push_back({state_->now(), state_->seq++,
                                  Datagram{std::move(bytes), std::move(fromHost), fromPort}});
            return;
        }
    }
}

const std::vector<FakeUdpNetwork::Sent>& FakeUdpNetwork::sent() const {
    return state_->sent;
}

std::unique_ptr<UdpSocket> FakeUdpNetwork::createUdpSocket() {
    auto queue = std::make_shared<SocketQueue>();
    state_->sockets.push_back(queue);
    return std::make_unique<FakeUdpSocket>(state_, queue);
}

} // namespace net
