// An Env that passes everything to the POSIX one but can make writes, locks or
// unlocks of chosen files fail after a number of successful ones, as a full disk, a
// failing device or an exhausted lock table would.
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
    // The same for lock() and for unlock() calls. A refused lock of the platform would
    // be a lock violation; the default code is a failure of another cause, which
    // nothing retries.
    void failLocksAfter(std::string suffix, int allowed, int times = -1, ResultCode code = rc::kUnknown);
    void failUnlocksAfter(std::string suffix, int allowed, int times = -1, ResultCode code = rc::kUnknown);
    void disarm();
    // Calls made to fail since the last failWritesAfter (failLocksAfter, failUnlocksAfter).
    int failures() const { return writes_.failures; }
    int lockFailures() const { return locks_.failures; }
    int unlockFailures() const { return unlocks_.failures; }

    ResultCode openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file) override;
    ResultCode identityOf(std::string_view pathGbk, FileIdentity& identity) override;
    ResultCode removeFile(std::string_view pathGbk) override;
    std::string currentDirectory() override;
    std::uint32_t tickMilliseconds() override;
    void sleepMilliseconds(std::uint32_t milliseconds) override;

    // Called by the files this Env opened: kOk, or the code the call fails with.
    ResultCode beforeWrite(const std::string& path) { return writes_.next(path); }
    ResultCode beforeLock(const std::string& path) { return locks_.next(path); }
    ResultCode beforeUnlock(const std::string& path) { return unlocks_.next(path); }

private:
    struct Trigger {
        bool armed = false;
        std::string suffix;
        int allowed = 0;
        int times = -1;
        ResultCode code;
        int failures = 0;

        void arm(std::string suffix, int allowed, int times, ResultCode code);
        ResultCode next(const std::string& path);
    };

    Trigger writes_;
    Trigger locks_;
    Trigger unlocks_;
};

} // namespace qr::store::testing
