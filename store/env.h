// Every file and lock access of the record store goes through this small interface,
// so that tests can wrap it and make any call fail. Paths are GBK; the POSIX
// implementation is the one place that turns them into the file system's UTF-8.
//
// Lock contract. Locks are open-file-description byte-range locks: they belong to
// the File object that took them, never to the process, so two File objects of one
// process conflict exactly like two processes do, and closing one File drops only
// its own locks. lock() never blocks: a range held by another File fails at once
// with kLockViolation and the caller decides whether to retry. A File opened for
// reading only cannot hold exclusive locks, so it takes shared ones (see LockMode).
// A child process created by fork() shares the parent's open file descriptions and
// with them its locks; a child that wants locks of its own opens the store itself.
#pragma once

#include "store/result_code.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qr::store {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

enum class LockMode { Shared, Exclusive };

class File {
public:
    virtual ~File() = default;
    // Reads up to size bytes; got < size only at the end of the file.
    virtual ResultCode readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) = 0;
    // Writes all bytes or fails.
    virtual ResultCode writeAt(std::int64_t offset, const void* buffer, std::size_t size) = 0;
    virtual ResultCode length(std::int64_t& length) = 0;
    virtual ResultCode truncate(std::int64_t length) = 0;
    // Returns once every byte written and the length are on the device: the point
    // after which a crash or a power cut can no longer undo them.
    virtual ResultCode sync() = 0;
    virtual ResultCode lock(std::int64_t start, std::int64_t size, LockMode mode) = 0;
    virtual ResultCode unlock(std::int64_t start, std::int64_t size) = 0;
    // Whether another File holds any lock that overlaps the range.
    virtual ResultCode lockedByOther(std::int64_t start, std::int64_t size, bool& locked) = 0;
    virtual bool writable() const = 0;
    virtual FileIdentity identity() const = 0;
};

enum class OpenMode { ReadOnly, ReadWrite, CreateNew };

class Env {
public:
    virtual ~Env() = default;
    virtual ResultCode openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file) = 0;
    // Identity of an existing file (links followed); fails when it does not exist.
    virtual ResultCode identityOf(std::string_view pathGbk, FileIdentity& identity) = 0;
    virtual ResultCode removeFile(std::string_view pathGbk) = 0;
    // Makes the creation and removal of entries in the directory of this file
    // durable (a new file is not safely there until its directory is synced).
    virtual ResultCode syncDirectoryOf(std::string_view pathGbk) = 0;
    virtual std::string currentDirectory() = 0; // GBK, no trailing '/'
    virtual std::uint32_t tickMilliseconds() = 0;
    virtual void sleepMilliseconds(std::uint32_t milliseconds) = 0;
};

Env& posixEnv();
// The Env that the store uses: posixEnv() unless a test has set another one.
Env& storeEnv();
void setStoreEnv(Env* env); // nullptr: back to posixEnv()

// Result code of a failed platform call, by its errno. While locking, a lock held by
// someone else is a lock violation.
ResultCode codeFromErrno(int error, bool locking = false);

} // namespace qr::store
