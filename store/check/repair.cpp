#include "store/check/repair.h"

#include "runtime/coding.h"
#include "runtime/gbk.h"
#include "store/check/block_table.h"
#include "store/check/chain_mend.h"
#include "store/check/consistency_check.h"
#include "store/check/raw_file.h"
#include "store/check/raw_layout.h"

#include <algorithm>
#include <cerrno>
#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace qr::store {
namespace {

using namespace check;

std::string num(std::int64_t n) { return std::to_string(n); }

// The writes of a repair: whole positions, then a sync, so that the repair's own
// result reaches the disk before it is reported.
class FileWriter {
public:
    ~FileWriter()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ResultCode open(const std::string& pathUtf8)
    {
        fd_ = ::open(pathUtf8.c_str(), O_RDWR | O_CLOEXEC);
        return fd_ < 0 ? codeOfErrno(errno) : rc::kOk;
    }
    ResultCode write(std::int64_t at, const void* bytes, std::size_t size)
    {
        const auto* p = static_cast<const char*>(bytes);
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(at + std::int64_t(done)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? codeOfErrno(errno) : rc::kDiskFull;
            done += static_cast<std::size_t>(n);
        }
        return rc::kOk;
    }
    ResultCode writeI32(std::int64_t at, std::int32_t value)
    {
        std::uint8_t b[4];
        runtime::putI32(b, value);
        return write(at, b, 4);
    }
    ResultCode truncate(std::int64_t length)
    {
        while (::ftruncate(fd_, static_cast<off_t>(length)) != 0)
            if (errno != EINTR)
                return codeOfErrno(errno);
        return rc::kOk;
    }
    ResultCode sync() { return ::fsync(fd_) == 0 ? rc::kOk : codeOfErrno(errno); }

private:
    int fd_ = -1;
};

std::string fieldLabel(std::size_t index, const RawField& f)
{
    return "field " + num(static_cast<std::int64_t>(index) + 1) + " (" + runtime::gbkToUtf8(f.nameGbk) + ")";
}

// Status words rewritten so that serial numbers rise strictly in file order, as
// appending gives them and packing keeps them. A record that repeats or goes below an
// earlier serial (a copy left by a pack that was cut off) gets the next free one;
// records after it move up only as far as they must. Consecutive renumbered records
// are reported as one line.
void renumberSerials(std::vector<std::int32_t>& status, std::vector<std::string>& fixes, std::int64_t& highest)
{
    std::int64_t last = 0;
    std::size_t runStart = SIZE_MAX;
    std::int64_t runOldFirst = 0, runOldLast = 0, runNewFirst = 0;
    auto flush = [&](std::size_t end) {
        if (runStart == SIZE_MAX)
            return;
        const std::string records =
            end - runStart == 1 ? "record " + num(std::int64_t(runStart) + 1)
                                : "records " + num(std::int64_t(runStart) + 1) + " to " + num(std::int64_t(end));
        if (end - runStart == 1)
            fixes.push_back(records + " had serial " + num(runOldFirst) +
                            ", not above the serial of a record before it (as a copy left by an interrupted pack "
                            "has): now serial " +
                            num(runNewFirst));
        else
            fixes.push_back(records + " had serials " + num(runOldFirst) + " ... " + num(runOldLast) +
                            ", not rising above those before them (as copies left by an interrupted pack have): "
                            "now serials " +
                            num(runNewFirst) + " to " + num(last));
        runStart = SIZE_MAX;
    };
    for (std::size_t i = 0; i < status.size(); ++i) {
        const std::int64_t s = status[i];
        const std::int64_t serial = s < 0 ? -s : s;
        if (s != 0 && serial > last) {
            flush(i);
            last = serial;
            continue;
        }
        const std::int64_t fresh = last + 1;
        if (fresh > INT32_MAX)
            break; // nothing left to give; the check will say so
        if (runStart == SIZE_MAX) {
            runStart = i;
            runOldFirst = serial;
            runNewFirst = fresh;
        }
        runOldLast = serial;
        status[i] = static_cast<std::int32_t>(s < 0 ? -fresh : fresh); // a record without serial counts as live
        last = fresh;
    }
    flush(status.size());
    highest = last;
}

} // namespace

RepairReport repairStore(std::string_view fileNameGbk)
{
    RepairReport report;
    if (fileNameGbk.empty()) {
        report.openResult = rc::kFileNotFound;
        return report;
    }
    const std::string dataNameGbk = dataFileName(std::string(fileNameGbk));
    const std::string dataPath = runtime::gbkToUtf8(dataNameGbk);
    const std::string auxPath = runtime::gbkToUtf8(auxFileName(dataNameGbk));
    RawFile data;
    RawDataHeader h;
    if ((report.openResult = data.open(dataPath)) != rc::kOk ||
        (report.openResult = readDataHeader(data, h, true)) != rc::kOk)
        return report;

    // The data file: counted records that the file holds whole, nothing after them.
    const std::int64_t records = std::min<std::int64_t>(h.recordCount, h.wholeRecords);
    const std::int64_t dataLength = h.dataStart + records * h.recordLength;
    if (records < h.recordCount)
        report.fixes.push_back("the header counted " + num(h.recordCount) + " records but the data file holds only " +
                               num(records) + " whole ones: the count is now " + num(records));
    else if (h.fileLength > dataLength)
        report.fixes.push_back("the data file held " + num(h.fileLength - dataLength) +
                               " bytes after its last counted record, left by a command that did not finish: dropped");

    std::vector<std::uint8_t> image(static_cast<std::size_t>(records * h.recordLength));
    const std::int64_t got = data.readAt(h.dataStart, image.data(), image.size());
    if (got != static_cast<std::int64_t>(image.size())) {
        report.openResult = got < 0 ? codeOfErrno(errno) : rc::kRecordReadFailed;
        return report;
    }
    auto at = [&](std::int64_t record, std::int32_t offset) { return image.data() + record * h.recordLength + offset; };
    // Byte-identical records are one student listed twice (what a pack cut off while
    // moving records leaves). Both stay, each with its own chain; which one to delete
    // is the teacher's call.
    {
        std::map<std::string, std::int64_t> firstWith;
        for (std::int64_t r = 0; r < records; ++r) {
            const auto* begin = reinterpret_cast<const char*>(at(r, 0));
            const auto [it, fresh] = firstWith.emplace(std::string(begin, begin + h.recordLength), r);
            if (!fresh)
                report.notes.push_back("record " + num(r + 1) + " is an exact copy of record " + num(it->second + 1) +
                                       ", as a pack cut off part-way leaves it: the student is listed twice; delete "
                                       "one of the two");
        }
    }
    std::vector<std::int32_t> status(static_cast<std::size_t>(records));
    for (std::int64_t r = 0; r < records; ++r)
        status[static_cast<std::size_t>(r)] = runtime::getI32(at(r, 0));
    const std::vector<std::int32_t> oldStatus = status;
    std::int64_t highest = 0;
    renumberSerials(status, report.fixes, highest);
    std::int32_t nextSerial = h.nextSerial;
    if (highest >= nextSerial && highest < INT32_MAX) {
        nextSerial = static_cast<std::int32_t>(highest + 1);
        report.fixes.push_back("the next serial number was " + num(h.nextSerial) + ", not above the highest serial " +
                               num(highest) + ": now " + num(nextSerial));
    }

    // The auxiliary file: every value in a chain of its own.
    RawFile aux;
    ChainMendPlan plan;
    std::vector<std::pair<std::int64_t, std::int32_t>> refPlaces; // byte position in the image, per ChainRef
    ChainMendInput input;
    if (h.hasChains()) {
        RawAuxHeader ah;
        if (aux.open(auxPath) != rc::kOk) {
            report.openResult = rc::kAuxReadFailed;
            return report;
        }
        if ((report.openResult = readAuxHeader(aux, h.version, ah, true)) != rc::kOk)
            return report;
        const auto fileBlocks =
            static_cast<std::int32_t>(std::min<std::int64_t>(ah.fileLength / kBlockSize, INT32_MAX));
        if ((report.openResult = readBlockTable(aux, fileBlocks, input.blocks)) != rc::kOk)
            return report;
        input.headerBlockCount = ah.blockCount;
        input.freeHead = ah.freeHead;
        input.freeCount = ah.freeCount;
        input.fileLength = ah.fileLength;
        std::vector<ChainRef> refs;
        for (std::int64_t r = 0; r < records; ++r) {
            const std::int64_t s = status[static_cast<std::size_t>(r)];
            for (std::size_t f = 0; f < h.fields.size(); ++f) {
                if (!h.fields[f].isChain())
                    continue;
                const std::int32_t ref = runtime::getI32(at(r, h.fields[f].offset));
                refs.push_back({ref, "record " + num(r + 1) + " (serial " + num(s < 0 ? -s : s) + ") " +
                                         fieldLabel(f, h.fields[f])});
                refPlaces.emplace_back(r, h.fields[f].offset);
            }
        }
        plan = planChainMend(input, refs, [&](std::int32_t block, std::uint8_t* out) {
            return aux.readAt(std::int64_t(block) * kBlockSize, out, kBlockSize) == kBlockSize;
        });
        if (plan.result != rc::kOk) {
            report.openResult = plan.result;
            return report;
        }
        report.fixes.insert(report.fixes.end(), plan.fixes.begin(), plan.fixes.end());
    }

    if (!report.fixes.empty()) {
        auto failed = [&](ResultCode code) {
            report.writeResult = code;
            return code != rc::kOk;
        };
        // Values first, then what refers to them: the new chains are in place before
        // any record names them, and a record's old chain is freed only afterwards.
        if (h.hasChains()) {
            FileWriter w;
            if (failed(w.open(auxPath)))
                return report;
            for (const auto& [block, bytes] : plan.writes)
                if (failed(w.write(std::int64_t(block) * kBlockSize, bytes.data(), bytes.size())))
                    return report;
            if (plan.headerChanged) {
                std::uint8_t head[12];
                runtime::putI32(head, plan.blockCount);
                runtime::putI32(head + 4, plan.freeCount);
                runtime::putI32(head + 8, plan.freeHead);
                if (failed(w.write(16, head, sizeof head)))
                    return report;
            }
            if (input.fileLength != plan.fileLength && failed(w.truncate(plan.fileLength)))
                return report;
            if (failed(w.sync()))
                return report;
        }
        FileWriter w;
        if (failed(w.open(dataPath)))
            return report;
        for (std::size_t i = 0; i < refPlaces.size(); ++i) {
            const auto [r, offset] = refPlaces[i];
            if (runtime::getI32(at(r, offset)) != plan.references[i] &&
                failed(w.writeI32(h.dataStart + r * h.recordLength + offset, plan.references[i])))
                return report;
        }
        for (std::int64_t r = 0; r < records; ++r)
            if (status[static_cast<std::size_t>(r)] != oldStatus[static_cast<std::size_t>(r)] &&
                failed(w.writeI32(h.dataStart + r * h.recordLength, status[static_cast<std::size_t>(r)])))
                return report;
        if (records != h.recordCount || nextSerial != h.nextSerial) {
            std::uint8_t head[8];
            runtime::putI32(head, static_cast<std::int32_t>(records));
            runtime::putI32(head + 4, nextSerial);
            if (failed(w.write(16, head, sizeof head)))
                return report;
        }
        if (h.fileLength != dataLength && failed(w.truncate(dataLength)))
            return report;
        if (failed(w.sync()))
            return report;
    }

    const CheckReport after = checkStore(fileNameGbk);
    report.checkResult = after.openResult;
    report.unmended.insert(report.unmended.end(), after.problems.begin(), after.problems.end());
    return report;
}

} // namespace qr::store
