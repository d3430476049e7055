#include "core/ops/IdentityPrefetch.h"

IdentityPrefetch::IdentityPrefetch(int firstRow, std::vector<std::string> paths)
    : firstRow_(firstRow), paths_(std::move(paths)), found_(paths_.size()), thread_([this] { lookUp(); }) {}

IdentityPrefetch::~IdentityPrefetch() {
    stop_ = true;
    thread_.join();
}

void IdentityPrefetch::lookUp() {
    for (std::size_t i = 0; i < paths_.size() && !stop_.load(std::memory_order_relaxed); ++i) {
        if (!paths_[i].empty()) found_[i] = identityOf(paths_[i]);
        ready_.store(i + 1, std::memory_order_release);
        ready_.notify_all();
    }
}

std::optional<FileIdentity> IdentityPrefetch::identity(int row) {
    if (row < firstRow_) return std::nullopt;
    const auto i = static_cast<std::size_t>(row - firstRow_);
    if (i >= paths_.size() || paths_[i].empty()) return std::nullopt;
    for (std::size_t seen = ready_.load(std::memory_order_acquire); seen <= i;
         seen = ready_.load(std::memory_order_acquire))
        ready_.wait(seen, std::memory_order_acquire);
    return found_[i];
}
