#pragma once

// Where the registry stand-in keeps its trees, and the safe way to read and change them.
//
// User scope: $XDG_CONFIG_HOME/Orvane/Orvane.reg (default ~/.config). Machine scope: the first
// Orvane/Orvane.reg found in the folders of $XDG_CONFIG_DIRS (default /etc/xdg); the program
// only reads it.
//
// Every change is a read-modify-write under a lock file next to the hive, so that two running
// instances never lose each other's writes, and the new content replaces the old one in a
// single rename, so that a file cut off in the middle of a write never exists. A file that
// cannot be read or parsed counts as damaged: it reads as empty and is kept aside under a new
// name (Orvane.reg.damaged-<time>) before the first write replaces it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/RegistryHive.h"

std::string UserHivePath();
// Empty when no folder of $XDG_CONFIG_DIRS has one.
std::string MachineHivePath();
// The lock file beside a hive.
std::string HiveLockPath(const std::string& hivePath);

// The longest a change waits for another process to release the lock. Holding it takes
// milliseconds, so a lock held longer belongs to a process that hangs; a change then fails
// rather than keep the user waiting.
constexpr int kHiveLockWaitMs = 3000;

enum class HiveState { Missing, Ok, Damaged };

struct HiveSnapshot {
    HiveState state = HiveState::Missing;
    std::shared_ptr<const RegKey> root; // never null; empty unless state is Ok
};

// The tree as the file holds it now. Parsed trees are cached by the file's identity and times,
// so repeated reads of an unchanged file cost a stat; a write by another process is seen.
HiveSnapshot ReadHive(const std::string& path);

// Locks the hive, reads it afresh, lets change modify the tree and, if change returns
// ERROR_SUCCESS, writes the tree back atomically (not when the tree is as it was). Creates the
// folder when needed. Returns ERROR_SUCCESS, change's own error (nothing is written then), or the
// error of locking (ERROR_LOCK_VIOLATION: another process held the lock for kHiveLockWaitMs;
// ERROR_ACCESS_DENIED: the lock file cannot be made), keeping a damaged file aside or writing.
std::uint32_t UpdateHive(const std::string& path,
                         const std::function<std::uint32_t(RegKey&)>& change);
