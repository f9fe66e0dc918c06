#pragma once
// The bridge's server on a free port (or the one given), serving from a thread of its own until
// it is destroyed, with what it logs kept: shared by the bridge's tests and its benchmarks.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "aol/WindowSystem.h"
#include "bridge/service/BridgeServer.h"

namespace bridge::testing {

class RunningBridge {
public:
    RunningBridge(aol::WindowSystem& windows, const std::string& token, std::uint16_t port = 0,
                  int handshakeMs = ServerOptions{}.handshakeMs) {
        ServerOptions options;
        options.port = port;
        options.token = token;
        options.handshakeMs = handshakeMs;
        options.log = [this](const std::string& line) {
            {
                std::lock_guard lock(logMutex_);
                log_.push_back(line);
            }
            logged_.notify_all();
        };
        server_ = std::make_unique<BridgeServer>(windows, options);
        listening_ = server_->Listen();
        thread_ = std::thread([this] {
            while (!stop_) server_->Poll(10);
        });
    }
    ~RunningBridge() {
        stop_ = true;
        thread_.join();
    }
    bool listening() const { return listening_; }
    std::uint16_t port() const { return server_->port(); }
    std::size_t lines() {
        std::lock_guard lock(logMutex_);
        return log_.size();
    }
    // Whether the bridge has said `text`, waiting a little for it: the bridge's thread may hang
    // up on a connection a moment before it writes why.
    bool logged(const std::string& text) {
        std::unique_lock lock(logMutex_);
        return logged_.wait_for(lock, std::chrono::seconds(5), [&] {
            for (const std::string& line : log_) {
                if (line.find(text) != std::string::npos) return true;
            }
            return false;
        });
    }

private:
    std::unique_ptr<BridgeServer> server_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    bool listening_ = false;
    std::mutex logMutex_;
    std::condition_variable logged_;
    std::vector<std::string> log_;
};

}  // namespace bridge::testing
