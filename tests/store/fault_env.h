// An Env that passes everything to the POSIX one but can make writes to chosen
// files fail after a number of successful ones, as a full disk or a failing
// device would.
#pragma once

#include "store/env.h"

#include <string>

namespace qr::store::testing {

class FaultEnv : public Env {
public:
    // Writes (and truncations) of files whose path ends with suffix fail with code
    // once allowed more have succeeded: the next `times` of them, or all until
    // disarm() when times is negative.
    void failWritesAfter(std::string suffix, int allowed, int times = -1, ResultCode code = rc::kDiskFull);
    void disarm() { armed_ = false; }
    int failures() const { return failures_; }

    ResultCode openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file) override;
    ResultCode identityOf(std::string_view pathGbk, FileIdentity& identity) override;
    ResultCode removeFile(std::string_view pathGbk) override;
    std::string currentDirectory() override;
    std::uint32_t tickMilliseconds() override;
    void sleepMilliseconds(std::uint32_t milliseconds) override;

    // Called by the files this Env opened.
    ResultCode beforeWrite(const std::string& path);

private:
    bool armed_ = false;
    std::string suffix_;
    int allowed_ = 0;
    int times_ = -1;
    ResultCode code_ = rc::kDiskFull;
    int failures_ = 0;
};

} // namespace qr::store::testing
