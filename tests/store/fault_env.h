// An Env that passes everything to the POSIX one but can make writes, locks or
// unlocks of chosen files fail after a number of successful ones, as a full disk, a
// failing device or an exhausted lock table would; and that can crash the machine
// at a chosen moment, losing what was not yet synced.
#pragma once

#include "store/env.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

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

    // Crashes. While recording, every change that reaches the file system (a write,
    // a truncation, a file sync, a new file, a removal, a directory sync) is counted,
    // and what a power cut would keep is remembered: each file's content at its
    // last sync, and which creations and removals a directory sync made durable.
    // With crashAfter(k) the k-th change is the last one made: every later change
    // fails with kHardwareError and changes nothing, as if the machine had stopped
    // there while the program ran on.
    void startRecording();
    void crashAfter(int changes);
    bool crashed() const { return crashed_; }
    int changes() const { return changes_; }
    // The power cut: every file recorded goes back to its last synced content, files
    // whose creation no directory sync made durable vanish, removed files whose
    // removal was not made durable come back. Without it the files stay as the
    // crash left them, which is what a killed process leaves. Both end the
    // recording and the crash.
    void loseUnsyncedChanges();
    void stopRecording();

    ResultCode openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file) override;
    ResultCode identityOf(std::string_view pathGbk, FileIdentity& identity) override;
    ResultCode removeFile(std::string_view pathGbk) override;
    ResultCode syncDirectoryOf(std::string_view pathGbk) override;
    std::string currentDirectory() override;
    std::uint32_t tickMilliseconds() override;
    void sleepMilliseconds(std::uint32_t milliseconds) override;

    // Called by the files this Env opened: kOk, or the code the call fails with.
    ResultCode beforeWrite(const std::string& path) { return writes_.next(path); }
    ResultCode beforeLock(const std::string& path) { return locks_.next(path); }
    ResultCode beforeUnlock(const std::string& path) { return unlocks_.next(path); }
    // Before a change of the file system: kOk when it may happen (and it is counted).
    ResultCode beforeChange(const std::string& path);
    void afterSync(const std::string& path);

private:
    struct Durable {
        std::optional<std::vector<std::uint8_t>> content; // none: the file is not there
        bool createdUnsynced = false;
        bool removedUnsynced = false;
    };
    void remember(const std::string& path); // its current content, first change only

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

    bool recording_ = false;
    bool crashed_ = false;
    int crashAt_ = -1;
    int changes_ = 0;
    std::map<std::string, Durable> durable_;
};

} // namespace qr::store::testing
