#include "fault_env.h"

#include <filesystem>
#include <fstream>
#include <iterator>

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
        if (ResultCode code = env_.beforeChange(path_); code != rc::kOk)
            return code;
        return inner_->writeAt(offset, buffer, size);
    }
    ResultCode sync() override
    {
        if (ResultCode code = env_.beforeChange(path_); code != rc::kOk)
            return code;
        const ResultCode code = inner_->sync();
        if (code == rc::kOk)
            env_.afterSync(path_);
        return code;
    }
    ResultCode length(std::int64_t& length) override { return inner_->length(length); }
    ResultCode truncate(std::int64_t length) override
    {
        if (ResultCode code = env_.beforeWrite(path_); code != rc::kOk)
            return code;
        if (ResultCode code = env_.beforeChange(path_); code != rc::kOk)
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

namespace {

std::optional<std::vector<std::uint8_t>> contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

void FaultEnv::startRecording()
{
    recording_ = true;
    crashed_ = false;
    crashAt_ = -1;
    changes_ = 0;
    durable_.clear();
}

void FaultEnv::crashAfter(int changes) { crashAt_ = changes; }

void FaultEnv::stopRecording()
{
    recording_ = false;
    crashed_ = false;
    crashAt_ = -1;
    durable_.clear();
}

void FaultEnv::remember(const std::string& path)
{
    if (durable_.count(path) == 0)
        durable_[path].content = contentOf(path);
}

ResultCode FaultEnv::beforeChange(const std::string& path)
{
    if (!recording_)
        return rc::kOk;
    if (crashed_)
        return rc::kHardwareError;
    remember(path);
    if (++changes_ == crashAt_)
        crashed_ = true; // this change is the last one made
    return rc::kOk;
}

void FaultEnv::afterSync(const std::string& path)
{
    if (recording_)
        durable_[path].content = contentOf(path);
}

void FaultEnv::loseUnsyncedChanges()
{
    for (const auto& [path, state] : durable_) {
        std::error_code ignored;
        if (state.createdUnsynced || !state.content) {
            std::filesystem::remove(path, ignored);
            continue;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(state.content->data()),
                  static_cast<std::streamsize>(state.content->size()));
    }
    stopRecording();
}

ResultCode FaultEnv::openFile(std::string_view pathGbk, OpenMode mode, std::unique_ptr<File>& file)
{
    const std::string path(pathGbk);
    if (mode == OpenMode::CreateNew) {
        if (ResultCode code = beforeChange(path); code != rc::kOk)
            return code;
    }
    std::unique_ptr<File> inner;
    if (ResultCode code = posixEnv().openFile(pathGbk, mode, inner); code != rc::kOk)
        return code;
    if (recording_ && mode == OpenMode::CreateNew) {
        Durable& state = durable_[path];
        state.createdUnsynced = true;
        state.content = std::vector<std::uint8_t>{};
    }
    file = std::make_unique<FaultFile>(std::move(inner), *this, std::string(pathGbk));
    return rc::kOk;
}

ResultCode FaultEnv::identityOf(std::string_view pathGbk, FileIdentity& identity)
{
    return posixEnv().identityOf(pathGbk, identity);
}
ResultCode FaultEnv::removeFile(std::string_view pathGbk)
{
    const std::string path(pathGbk);
    if (ResultCode code = beforeChange(path); code != rc::kOk)
        return code;
    const ResultCode code = posixEnv().removeFile(pathGbk);
    if (recording_ && code == rc::kOk)
        durable_[path].removedUnsynced = true;
    return code;
}

ResultCode FaultEnv::syncDirectoryOf(std::string_view pathGbk)
{
    const std::string path(pathGbk);
    if (ResultCode code = beforeChange(path); code != rc::kOk)
        return code;
    const ResultCode code = posixEnv().syncDirectoryOf(pathGbk);
    if (recording_ && code == rc::kOk) {
        const std::string dir = directoryOf(path);
        for (auto it = durable_.begin(); it != durable_.end();) {
            Durable& state = it->second;
            if (directoryOf(it->first) != dir) {
                ++it;
                continue;
            }
            state.createdUnsynced = false;
            if (state.removedUnsynced) {
                it = durable_.erase(it); // gone for good
                continue;
            }
            ++it;
        }
    }
    return code;
}
std::string FaultEnv::currentDirectory() { return posixEnv().currentDirectory(); }
std::uint32_t FaultEnv::tickMilliseconds() { return posixEnv().tickMilliseconds(); }
void FaultEnv::sleepMilliseconds(std::uint32_t milliseconds) { posixEnv().sleepMilliseconds(milliseconds); }

} // namespace qr::store::testing
