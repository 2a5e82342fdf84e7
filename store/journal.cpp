#include "store/journal.h"

#include "store/formats.h"
#include "store/lock_retry.h"
#include "store/paths.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace qr::store {

using namespace format;

namespace {

constexpr char kMagic[8] = {'Q', 'R', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kRecordHeaderBytes = 4 + 4 + 8 + 4;
constexpr std::size_t kChecksumBytes = 8;
constexpr std::uint32_t kLengthRecord = 1;
constexpr std::uint32_t kPageRecord = 2;

std::uint64_t fnv1a(std::uint64_t hash, const std::uint8_t* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint64_t seededHash(std::uint64_t salt) { return 0xcbf29ce484222325ull ^ salt; }

// The lock retry time-out as the writer lock uses it: at least 2000 ms, a negative
// setting (without end) kept.
std::int32_t writerTimeout()
{
    const std::int32_t setting = lockRetryTimeoutSetting();
    return setting < 0 ? setting : std::max(setting, 2000);
}

ResultCode readWhole(File& file, std::vector<std::uint8_t>& bytes)
{
    std::int64_t length = 0;
    if (ResultCode code = file.length(length); code != rc::kOk)
        return code;
    bytes.resize(static_cast<std::size_t>(length));
    std::size_t got = 0;
    if (ResultCode code = file.readAt(0, bytes.data(), bytes.size(), got); code != rc::kOk)
        return code;
    bytes.resize(got);
    return rc::kOk;
}

} // namespace

void JournalWriter::attach(std::string journalPath, File* data)
{
    path_ = std::move(journalPath);
    files_[kDataFile] = data;
}

ResultCode JournalWriter::endAll()
{
    if (depth_ <= 0)
        return rc::kOk;
    depth_ = 1;
    return end();
}

bool JournalWriter::journalExists() const
{
    FileIdentity identity;
    return storeEnv().identityOf(path_, identity) == rc::kOk;
}

namespace {

// The writer lock is ours, not part of the locking protocol other programs follow,
// so its waits are short: a writer waits for another one's commit, which takes a
// few syncs, and polling at the protocol's 20 to 40 ms would make two writers of
// one store take turns at that pace.
ResultCode lockWriter(File& data, std::int32_t timeout)
{
    Env& env = storeEnv();
    const std::uint32_t first = env.tickMilliseconds();
    for (;;) {
        const ResultCode code = data.lock(kWriterLockPosition, 1, LockMode::Exclusive);
        if (!isRetryableRefusal(code) || timeout == 0)
            return code;
        if (timeout > 0 && env.tickMilliseconds() - first > static_cast<std::uint32_t>(timeout))
            return code;
        env.sleepMilliseconds(1);
    }
}

} // namespace

ResultCode JournalWriter::takeWriterLock(std::int32_t timeout)
{
    if (writerLocked_)
        return rc::kOk;
    const ResultCode code = lockWriter(*files_[kDataFile], timeout);
    if (code == rc::kOk)
        writerLocked_ = true;
    return code;
}

void JournalWriter::releaseWriterLock()
{
    if (writerLocked_)
        (void)files_[kDataFile]->unlock(kWriterLockPosition, 1); // close drops it otherwise
    writerLocked_ = false;
}

ResultCode JournalWriter::begin(bool lazyLock)
{
    if (!attached())
        return rc::kOk;
    if (depth_ > 0) {
        ++depth_;
        return rc::kOk;
    }
    if (!lazyLock)
        if (ResultCode code = takeWriterLock(writerTimeout()); code != rc::kOk)
            return code;
    lazyLock_ = lazyLock;
    depth_ = 1;
    return rc::kOk;
}

ResultCode JournalWriter::end()
{
    if (depth_ <= 0)
        return rc::kOk;
    if (--depth_ > 0)
        return rc::kOk;
    const ResultCode code = commit();
    reset();
    return code;
}

void JournalWriter::reset()
{
    journal_.reset();
    journalEnd_ = 0;
    touched_ = {};
    originalLength_ = {};
    for (auto& pages : savedPages_)
        pages.clear();
    releaseWriterLock();
    depth_ = 0;
}

ResultCode JournalWriter::ensureJournal()
{
    if (journal_)
        return rc::kOk;
    if (lazyLock_)
        // Bounded even under a time-out without end: the caller may hold the
        // whole-file lock that the writer we wait for waits for.
        if (ResultCode code = takeWriterLock(2000); code != rc::kOk)
            return code;
    Env& env = storeEnv();
    std::unique_ptr<File> file;
    if (ResultCode code = env.openFile(path_, OpenMode::CreateNew, file); code != rc::kOk)
        return code;
    std::random_device random;
    salt_ = (std::uint64_t(random()) << 32) ^ random();
    std::uint8_t header[kHeaderBytes];
    std::memcpy(header, kMagic, sizeof kMagic);
    putU64(header + 8, salt_);
    ResultCode code = file->writeAt(0, header, sizeof header);
    // The journal's directory entry must be durable before any store byte depends
    // on it; its records are synced with the first of them.
    if (code == rc::kOk)
        code = env.syncDirectoryOf(path_);
    if (code != rc::kOk) {
        file.reset();
        (void)env.removeFile(path_);
        return code;
    }
    journal_ = std::move(file);
    journalEnd_ = kHeaderBytes;
    return rc::kOk;
}

void JournalWriter::appendRecord(std::vector<std::uint8_t>& out, std::uint32_t type, int file, std::int64_t offset,
                                 const std::uint8_t* bytes, std::uint32_t size)
{
    const std::size_t start = out.size();
    out.resize(start + kRecordHeaderBytes + size + kChecksumBytes);
    std::uint8_t* r = out.data() + start;
    putU32(r, type);
    putU32(r + 4, static_cast<std::uint32_t>(file));
    putU64(r + 8, static_cast<std::uint64_t>(offset));
    putU32(r + 16, size);
    if (size > 0)
        std::memcpy(r + kRecordHeaderBytes, bytes, size);
    putU64(r + kRecordHeaderBytes + size, fnv1a(seededHash(salt_), r, kRecordHeaderBytes + size));
}

ResultCode JournalWriter::collect(const Range& range, bool readAhead, std::vector<std::uint8_t>& records,
                                  Pending& pending)
{
    const auto f = static_cast<std::size_t>(range.file);
    File& target = *files_[f];
    if (!touched_[f] && !pending.lengthKnown[f]) {
        std::int64_t original = 0;
        if (ResultCode code = target.length(original); code != rc::kOk)
            return code;
        if (ResultCode code = ensureJournal(); code != rc::kOk)
            return code;
        pending.lengthKnown[f] = true;
        pending.length[f] = original;
        appendRecord(records, kLengthRecord, range.file, original, nullptr, 0);
    }
    const std::int64_t original = touched_[f] ? originalLength_[f] : pending.length[f];
    const auto& saved = savedPages_[f];
    std::vector<std::uint8_t> page;
    std::int64_t last = std::min(range.offset + range.size, original);
    for (std::int64_t p = range.offset / kPageSize; p * kPageSize < last; ++p) {
        if (saved.count(p) || pending.pages[f].count(p))
            continue;
        // Writes tend to go on where they stopped (a renumbering, a pack, a chain in
        // consecutive blocks): the pages ahead are kept with this one, which costs a
        // few kilobytes of copying and saves a sync for each of them later.
        if (readAhead && range.size > 0)
            last = std::max(last, std::min(original, (p + kReadAheadPages) * kPageSize));
        if (ResultCode code = ensureJournal(); code != rc::kOk)
            return code;
        const std::int64_t begin = p * kPageSize;
        page.resize(static_cast<std::size_t>(std::min(kPageSize, original - begin)));
        std::size_t got = 0;
        if (ResultCode code = target.readAt(begin, page.data(), page.size(), got); code != rc::kOk)
            return code;
        // A file cut shorter by another program meanwhile: what is there is what a
        // roll-back can give back.
        appendRecord(records, kPageRecord, range.file, begin, page.data(), static_cast<std::uint32_t>(got));
        pending.pages[f].insert(p);
    }
    return rc::kOk;
}

ResultCode JournalWriter::preserve(std::span<const Range> ranges) { return keep(ranges, false); }

ResultCode JournalWriter::keep(std::span<const Range> ranges, bool readAhead)
{
    if (depth_ <= 0)
        return rc::kOk;
    std::vector<std::uint8_t> records;
    Pending pending;
    for (const Range& range : ranges)
        if (ResultCode code = collect(range, readAhead, records, pending); code != rc::kOk)
            return code;
    if (records.empty())
        return rc::kOk;
    ResultCode code = journal_->writeAt(journalEnd_, records.data(), records.size());
    if (code == rc::kOk)
        code = journal_->sync();
    if (code != rc::kOk)
        return code;
    // Only now, with the copies durable, do they count.
    journalEnd_ += static_cast<std::int64_t>(records.size());
    for (std::size_t f = 0; f < files_.size(); ++f) {
        if (pending.lengthKnown[f]) {
            touched_[f] = true;
            originalLength_[f] = pending.length[f];
        }
        savedPages_[f].insert(pending.pages[f].begin(), pending.pages[f].end());
    }
    return rc::kOk;
}

ResultCode JournalWriter::beforeWrite(int file, std::int64_t offset, std::int64_t size)
{
    const Range range{file, offset, size};
    return keep(std::span<const Range>(&range, 1), true);
}

ResultCode JournalWriter::beforeTruncate(int file, std::int64_t newLength)
{
    if (depth_ <= 0)
        return rc::kOk;
    std::int64_t length = 0;
    if (ResultCode code = files_[static_cast<std::size_t>(file)]->length(length); code != rc::kOk)
        return code;
    // Cutting overwrites the tail; growing needs only the original length.
    const std::int64_t from = std::min(newLength, length);
    return beforeWrite(file, from, length - from);
}

ResultCode JournalWriter::commit()
{
    if (!journal_)
        return rc::kOk;
    ResultCode code = rc::kOk;
    for (std::size_t f = 0; f < files_.size() && code == rc::kOk; ++f)
        if (touched_[f])
            code = files_[f]->sync();
    Env& env = storeEnv();
    journal_.reset();
    if (code == rc::kOk)
        code = env.removeFile(path_);
    if (code == rc::kOk) {
        // Removed but the removal not durable: a crash now brings the journal back
        // and the transaction is rolled back, which is still one of the two states.
        (void)env.syncDirectoryOf(path_);
        return rc::kOk;
    }
    // Not committed: the store goes back to where it was, at once if it can.
    (void)rollBackJournal(env, path_, files_[kDataFile], files_[kAuxFile]);
    return code;
}

ResultCode rollBackJournal(Env& env, const std::string& journalPath, File* data, File* aux)
{
    std::vector<std::uint8_t> bytes;
    {
        std::unique_ptr<File> journal;
        if (ResultCode code = env.openFile(journalPath, OpenMode::ReadOnly, journal); code != rc::kOk)
            return code == rc::kFileNotFound ? rc::kOk : code;
        if (ResultCode code = readWhole(*journal, bytes); code != rc::kOk)
            return code;
    }
    std::array<File*, 2> files{data, aux};
    std::array<std::int64_t, 2> lengths{-1, -1};
    std::array<bool, 2> changed{};
    if (bytes.size() >= kHeaderBytes && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0) {
        const std::uint64_t salt = getU64(bytes.data() + 8);
        std::size_t at = kHeaderBytes;
        while (at + kRecordHeaderBytes + kChecksumBytes <= bytes.size()) {
            const std::uint8_t* r = bytes.data() + at;
            const std::uint32_t type = getU32(r);
            const std::uint32_t file = getU32(r + 4);
            const auto offset = static_cast<std::int64_t>(getU64(r + 8));
            const std::uint32_t size = getU32(r + 16);
            if (size > bytes.size() - at - kRecordHeaderBytes - kChecksumBytes)
                break;
            if (getU64(r + kRecordHeaderBytes + size) != fnv1a(seededHash(salt), r, kRecordHeaderBytes + size))
                break;
            if (file > 1 || (type != kLengthRecord && type != kPageRecord) || offset < 0)
                break;
            if (files[file] == nullptr)
                return rc::kAuxAccessFailed; // the journal restores a file we do not have
            if (type == kLengthRecord) {
                lengths[file] = offset;
            } else if (ResultCode code = files[file]->writeAt(offset, r + kRecordHeaderBytes, size); code != rc::kOk) {
                return code;
            }
            changed[file] = true;
            at += kRecordHeaderBytes + size + kChecksumBytes;
        }
    }
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (!changed[f])
            continue;
        if (lengths[f] >= 0)
            if (ResultCode code = files[f]->truncate(lengths[f]); code != rc::kOk)
                return code;
        if (ResultCode code = files[f]->sync(); code != rc::kOk)
            return code;
    }
    // The journal goes only once the restored files are durable; a crash before
    // that rolls back again, which gives the same bytes.
    if (ResultCode code = env.removeFile(journalPath); code != rc::kOk && code != rc::kFileNotFound)
        return code;
    return env.syncDirectoryOf(journalPath);
}

ResultCode recoverAtOpen(Env& env, const std::string& dataPath, const std::string& auxPath)
{
    const std::string journal = journalPath(dataPath);
    FileIdentity identity;
    if (env.identityOf(journal, identity) != rc::kOk)
        return rc::kOk;
    std::unique_ptr<File> data;
    if (ResultCode code = env.openFile(dataPath, OpenMode::ReadWrite, data); code != rc::kOk)
        return code;
    const ResultCode writer = lockWriter(*data, writerTimeout());
    if (writer == rc::kLockViolation)
        return rc::kOk; // a live writer: the journal is its own, not hot
    if (writer != rc::kOk)
        return writer;
    // Readers keep their locks inside [0, kWholeFileLength); holding all of it in
    // both files keeps every one of them out until the store is whole again.
    if (ResultCode code =
            retryRefused([&] { return data->lock(0, kWholeFileLength, LockMode::Exclusive); }, writerTimeout());
        code != rc::kOk)
        return code;
    std::unique_ptr<File> aux;
    if (env.identityOf(auxPath, identity) == rc::kOk) {
        if (ResultCode code = env.openFile(auxPath, OpenMode::ReadWrite, aux); code != rc::kOk)
            return code;
        if (ResultCode code =
                retryRefused([&] { return aux->lock(0, kWholeFileLength, LockMode::Exclusive); }, writerTimeout());
            code != rc::kOk)
            return code;
    }
    // Closing the descriptors at the end drops every lock taken here.
    return rollBackJournal(env, journal, data.get(), aux.get());
}

} // namespace qr::store
