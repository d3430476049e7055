#pragma once

// Looks up the files of a run on a thread of its own while the run renames them. A scan that
// read names only leaves each file's identity (for undo) to be looked up before its rename;
// a look-up costs a system call, and done here it overlaps the renames instead of adding to
// them. A rename waits only for the look-up of the file it is about to change.

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileIdentity.h"

class IdentityPrefetch {
public:
    // paths[i] is the file of row firstRow + i as named before the run changes anything; an
    // empty path is not looked up. The look-ups go in row order.
    IdentityPrefetch(int firstRow, std::vector<std::string> paths);
    ~IdentityPrefetch(); // stops the look-ups still to come
    IdentityPrefetch(const IdentityPrefetch&) = delete;
    IdentityPrefetch& operator=(const IdentityPrefetch&) = delete;

    // The identity of row's file, once looked up; nothing for a row that is not looked up here.
    // Must be asked before the run changes that file or the name it had.
    std::optional<FileIdentity> identity(int row);

private:
    void lookUp();

    const int firstRow_;
    const std::vector<std::string> paths_;
    std::vector<FileIdentity> found_;
    std::atomic<std::size_t> ready_{0}; // found_[0, ready_) are final
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
