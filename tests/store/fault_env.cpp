#include "fault_env.h"

namespace qr::store::testing {
namespace {

class FaultFile final : public File {
public:
    FaultFile(std::unique_ptr<File> inner, FaultEnv& env, std::string path)
        : inner_(std::move(inner))
        , env_(env)
        , path_(std::move(path))
    {}
    ResultCode readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) override
    {
        return inner_->readAt(offset, buffer, size, got);
    }
    ResultCode writeAt(std::int64_t offset, const void* buffer, std::size_t size) override
    {
        if (ResultCode code = env_.beforeWrite(path_); code != rc::kOk)
            return code;
        return inner_->writeAt(offset, buffer, size);
    }
    ResultCode length(std::int64_t& length) override { return inner_->length(length); }
    ResultCode truncate(std::int64_t length) override
    {
        if (ResultCode code = env_.beforeWrite(path_); code != rc::kOk)
            return code;
        return inner_->truncate(length);
    }
    ResultCode lock(std::int64_t start, std::int64_t size, LockMode mode) override
    {
        if (ResultCode code = env_.beforeLock(path_); code != rc::kOk)
            return code;
        return inner_->lock(start, size, mode);
    }
    ResultCode unlock(std::int64_t start, std::int64_t size) override
    {
        if (ResultCode code = env_.beforeUnlock(path_); code != rc::kOk)
            return code;
        return inner_->unlock(start, size);
    }
    ResultCode lockedByOther(std::int64_t start, std::int64_t size, bool& locked) override
    {
        return inner_->lockedByOther(start, size, locked);
    }
    bool writable() const override { return inner_->writable(); }
    FileIdentity identity() const override { return inner_->identity(); }

private:
    std::unique_ptr<File> inner_;
    FaultEnv& env_;
    std::string path_;
};

} // namespace

void FaultEnv::Trigger::arm(std::string newSuffix, int newAllowed, int newTimes, ResultCode newCode)
{
    armed = true;
    suffix = std::move(newSuffix);
    allowed = newAllowed;
    times = newTimes;
    code = newCode;
    failures = 0;
}

ResultCode FaultEnv::Trigger::next(const std::string& path)
{
    if (!armed || path.size() < suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return rc::kOk;
    if (allowed > 0) {
        --allowed;
        return rc::kOk;
    }
    if (times == 0)
        return rc::kOk;
    if (times > 0)
        --times;
    ++failures;
    return code;
}

void FaultEnv::failWritesAfter(std::string suffix, int allowed, int times, ResultCode code)
{
    writes_.arm(std::move(suffix), allowed, times, code);
}

void FaultEnv::failLocksAfter(std::string suffix, int allowed, int times, ResultCode code)
{
    locks_.arm(std::move(suffix), allowed, times, code);
}

void FaultEnv::failUnlocksAfter(std::string suffix, int allowed, int times, ResultCode code)
{
    unlocks_.arm(std::move(suffix), allowed, times, code);
}

void FaultEnv::disarm()
{
    writes_.armed = false;
    locks_.armed = false;
    unlocks_.armed = false;
}

ResultCode FaultEnv::openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file)
{
    std::unique_ptr<File> inner;
    if (ResultCode code = posixEnv().openFile(pathGbk, mode, inner); code != rc::kOk)
        return code;
    file = std::make_unique<FaultFile>(std::move(inner), *this, std::string(pathGbk));
    return rc::kOk;
}

ResultCode FaultEnv::identityOf(std::string_view pathGbk, FileIdentity& identity)
{
    return posixEnv().identityOf(pathGbk, identity);
}
ResultCode FaultEnv::removeFile(std::string_view pathGbk) { return posixEnv().removeFile(pathGbk); }
std::string FaultEnv::currentDirectory() { return posixEnv().currentDirectory(); }
std::uint32_t FaultEnv::tickMilliseconds() { return posixEnv().tickMilliseconds(); }
void FaultEnv::sleepMilliseconds(std::uint32_t milliseconds) { posixEnv().sleepMilliseconds(milliseconds); }

} // namespace qr::store::testing
