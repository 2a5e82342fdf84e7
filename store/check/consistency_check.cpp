#include "store/check/consistency_check.h"

#include "runtime/coding.h"
#include "runtime/gbk.h"
#include "store/check/block_table.h"
#include "store/check/chain_audit.h"
#include "store/check/header_rules.h"
#include "store/check/raw_file.h"
#include "store/check/raw_layout.h"

#include <algorithm>
#include <cerrno>

namespace qr::store {
namespace {

using namespace check;

// How long the checker waits for writers to finish before it gives up.
constexpr int kLockWaitMs = 2000;
constexpr std::size_t kBatchBytes = 163840;

std::string fieldLabel(std::size_t index, const RawField& f)
{
    return "field " + std::to_string(index + 1) + " (" + runtime::gbkToUtf8(f.nameGbk) + ")";
}

void checkFieldLayout(const RawDataHeader& h, ProblemList& problems)
{
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
        const RawField& a = h.fields[i];
        if (a.offset < 4)
            problems.add(fieldLabel(i, a) + " at offset " + std::to_string(a.offset) + " overlaps the status word");
        for (std::size_t j = i + 1; j < h.fields.size(); ++j) {
            const RawField& b = h.fields[j];
            if (a.offset < b.offset + b.width && b.offset < a.offset + a.width)
                problems.add(fieldLabel(i, a) + " and " + fieldLabel(j, b) + " overlap in the record");
        }
    }
}

// Status words, serial numbers and the chains of every record's byte-set and memo
// fields (deleted records keep their chains until the store is packed).
ResultCode checkRecords(const RawFile& data, const RawDataHeader& h, ChainAudit* chains, ProblemList& problems)
{
    const std::int64_t length = h.recordLength;
    // The batch never exceeds the counted records, which the file holds: a header
    // with a huge record length cannot make the check allocate beyond the file's size.
    const std::int64_t perBatch = std::min<std::int64_t>(
        h.recordCount, std::max<std::int64_t>(1, static_cast<std::int64_t>(kBatchBytes) / length));
    std::vector<unsigned char> buffer(static_cast<std::size_t>(perBatch * length));
    std::int64_t lastSerial = 0;
    for (std::int64_t first = 0; first < h.recordCount; first += perBatch) {
        const std::int64_t n = std::min<std::int64_t>(perBatch, h.recordCount - first);
        const std::int64_t got =
            data.readAt(h.dataStart + first * length, buffer.data(), static_cast<std::size_t>(n * length));
        if (got < 0)
            return codeOfErrno(errno);
        if (got != n * length)
            return rc::kRecordReadFailed;
        for (std::int64_t k = 0; k < n; ++k) {
            const unsigned char* rec = buffer.data() + k * length;
            const std::int64_t number = first + k + 1;
            const std::int64_t status = runtime::getI32(rec);
            const std::int64_t serial = status < 0 ? -status : status;
            const std::string label = "record " + std::to_string(number);
            if (status == 0) {
                problems.add(label + " has status word 0: no serial number");
            } else {
                if (serial >= h.nextSerial)
                    problems.add(label + " has serial " + std::to_string(serial) +
                                 ", not below the next serial number " + std::to_string(h.nextSerial));
                if (serial <= lastSerial)
                    problems.add(label + " has serial " + std::to_string(serial) + ", not above the serial " +
                                 std::to_string(lastSerial) +
                                 " of an earlier record (a record listed twice by a pack that was cut off looks "
                                 "like this)");
                lastSerial = std::max(lastSerial, serial);
            }
            if (chains == nullptr)
                continue;
            for (std::size_t i = 0; i < h.fields.size(); ++i) {
                const RawField& f = h.fields[i];
                if (f.isChain())
                    chains->walkChain(runtime::getI32(rec + f.offset),
                                      label + " (serial " + std::to_string(serial) + ") " + fieldLabel(i, f));
            }
        }
    }
    return rc::kOk;
}

} // namespace

CheckReport checkStore(std::string_view fileNameGbk)
{
    CheckReport report;
    if (fileNameGbk.empty()) {
        report.openResult = rc::kFileNotFound;
        return report;
    }
    const std::string dataNameGbk = dataFileName(std::string(fileNameGbk));
    RawFile data;
    if ((report.openResult = data.open(runtime::gbkToUtf8(dataNameGbk))) != rc::kOk)
        return report;
    if ((report.openResult = data.lockShared(kLockWaitMs)) != rc::kOk)
        return report;
    RawDataHeader header;
    if ((report.openResult = readDataHeader(data, header)) != rc::kOk)
        return report;

    RawFile aux;
    RawAuxHeader auxHeader;
    if (header.hasChains()) {
        if (aux.open(runtime::gbkToUtf8(auxFileName(dataNameGbk))) != rc::kOk) {
            report.openResult = rc::kAuxReadFailed;
            return report;
        }
        if ((report.openResult = aux.lockShared(kLockWaitMs)) != rc::kOk)
            return report;
        if ((report.openResult = readAuxHeader(aux, header.version, auxHeader)) != rc::kOk)
            return report;
    }

    ProblemList problems;
    if (header.wholeRecords > header.recordCount || (header.fileLength - header.dataStart) % header.recordLength != 0) {
        const std::int64_t extra =
            header.fileLength - header.dataStart - std::int64_t(header.recordCount) * header.recordLength;
        problems.add("the data file holds " + std::to_string(extra) +
                     " bytes after its last counted record (record count " + std::to_string(header.recordCount) +
                     "), left by a command that was cut off; a writable open drops them");
    }
    checkDataHeaderRules(data, header, problems);
    if (header.hasChains())
        checkAuxHeaderRules(aux, problems);
    checkFieldLayout(header, problems);

    if (!header.hasChains()) {
        if (ResultCode r = checkRecords(data, header, nullptr, problems); r != rc::kOk)
            problems.add("the records could not be read: result code " + std::to_string(r.value()));
        report.problems = problems.finish();
        return report;
    }

    std::vector<BlockInfo> blocks;
    if (ResultCode r = readBlockTable(aux, auxHeader.blockCount, blocks); r != rc::kOk) {
        problems.add("the auxiliary file's blocks could not be read: result code " + std::to_string(r.value()));
        report.problems = problems.finish();
        return report;
    }
    ChainAudit chains(std::move(blocks), problems);
    if (ResultCode r = checkRecords(data, header, &chains, problems); r != rc::kOk) {
        problems.add("the records could not be read: result code " + std::to_string(r.value()));
        report.problems = problems.finish();
        return report; // without every chain walked, lost blocks cannot be told
    }
    chains.walkFreeList(auxHeader.freeHead, auxHeader.freeCount);
    chains.reportLostBlocks();
    const std::int64_t counted = std::int64_t(auxHeader.blockCount) * kBlockSize;
    if (auxHeader.fileLength > counted)
        problems.add("the auxiliary file holds " + std::to_string(auxHeader.fileLength - counted) +
                     " bytes after its last counted block (block count " + std::to_string(auxHeader.blockCount) +
                     "), left by a write that was cut off");
    report.problems = problems.finish();
    return report;
}

} // namespace qr::store
