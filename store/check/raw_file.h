// Read-only file access for the checker: whole reads at a position, the length, and
// a shared whole-file lock so that no writer changes the files while they are read.
#pragma once

#include "store/result_code.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qr::store::check {

// The result code of a platform failure, by its errno.
ResultCode codeOfErrno(int err);

class RawFile {
public:
    RawFile() = default;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    ~RawFile();

    // Opens for reading only. Returns 0 or the code of the failure's cause.
    ResultCode open(const std::string& pathUtf8);
    // A shared (read) open-file-description lock over [0, 0x7FFFFFFF), the range the
    // engine's byte locks and exclusive sections live in: writers are held off while
    // we read, and we never block them for long. Retries for up to timeoutMs.
    ResultCode lockShared(int timeoutMs);
    // Bytes read at pos, fewer only at the end of the file; -1 on failure.
    std::int64_t readAt(std::int64_t pos, void* buffer, std::size_t size) const;
    std::int64_t length() const;
    bool isOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace qr::store::check
