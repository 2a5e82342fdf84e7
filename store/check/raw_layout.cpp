#include "store/check/raw_layout.h"

#include "runtime/coding.h"

#include <cstring>

namespace qr::store::check {
namespace {

constexpr std::uint32_t kMagicPlain = 0x42444557;    // "WEDB"
constexpr std::uint32_t kMagicPassword = 0x42444357; // "WCDB"
constexpr std::uint32_t kMagicAux = 0x54444557;      // "WEDT"

std::size_t lastSlash(const std::string& name)
{
    const std::size_t p = name.rfind('/');
    return p == std::string::npos ? 0 : p + 1;
}

std::int32_t widthOf(std::uint32_t type, std::int32_t size)
{
    switch (type) {
    case 1:
    case 7: return 1;
    case 2: return 2;
    case 4:
    case 6:
    case 8: return 8;
    case kTypeText: return size;
    default: return 4;
    }
}

} // namespace

std::string dataFileName(const std::string& name)
{
    const std::size_t base = lastSlash(name);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < base)
        return name + ".EDB";
    if (dot + 1 == name.size())
        return name + "EDB";
    return name;
}

std::string auxFileName(const std::string& dataName)
{
    const std::size_t base = lastSlash(dataName);
    const std::size_t dot = dataName.rfind('.');
    const std::string stem = (dot == std::string::npos || dot < base) ? dataName : dataName.substr(0, dot);
    return stem + ".EDT";
}

bool RawDataHeader::hasChains() const
{
    for (const RawField& f : fields)
        if (f.isChain())
            return true;
    return false;
}

ResultCode readDataHeader(const RawFile& file, RawDataHeader& out, bool writable)
{
    unsigned char head[kHeaderSize + 4];
    const std::int64_t got = file.readAt(0, head, sizeof head);
    if (got < 0)
        return codeOfErrno(errno);
    if (got < kHeaderSize)
        return rc::kNotADataFile;
    out.magic = static_cast<std::uint32_t>(runtime::getI32(head));
    if (out.magic == kMagicPassword)
        return rc::kWrongPassword; // scrambled with a password we are not given
    if (out.magic != kMagicPlain)
        return rc::kNotADataFile;
    out.version = static_cast<std::uint32_t>(runtime::getI32(head + 4));
    out.recordCount = runtime::getI32(head + 16);
    out.nextSerial = runtime::getI32(head + 20);
    out.recordLength = runtime::getI32(head + 24);
    if (out.recordLength < 1 || out.recordCount < 0 || out.nextSerial < 1)
        return rc::kNotADataFile;
    if (out.version > kMaxVersion)
        return rc::kVersionTooHigh;
    if (got < kHeaderSize + 4)
        return rc::kNotADataFile;
    const std::int32_t fieldCount = runtime::getI32(head + kHeaderSize);
    if (fieldCount < 1)
        return rc::kNotADataFile;
    out.fileLength = file.length();
    if (out.fileLength < 0)
        return codeOfErrno(errno);
    out.dataStart = kFieldDefOffset + kFieldDefSize * fieldCount;
    // Checked against the file before anything is allocated for the definitions.
    if (out.dataStart > out.fileLength)
        return rc::kNotADataFile;
    std::vector<unsigned char> defs(static_cast<std::size_t>(kFieldDefSize * fieldCount));
    if (file.readAt(kFieldDefOffset, defs.data(), defs.size()) != static_cast<std::int64_t>(defs.size()))
        return rc::kNotADataFile;

    // Count check of a read-only open: the division is unsigned 32-bit.
    const auto available = static_cast<std::uint32_t>(out.fileLength - out.dataStart);
    out.wholeRecords = available / static_cast<std::uint32_t>(out.recordLength);
    if (out.wholeRecords < out.recordCount && !writable)
        return rc::kDataFileSize;

    out.fields.clear();
    out.fields.reserve(static_cast<std::size_t>(fieldCount));
    for (std::int32_t i = 0; i < fieldCount; ++i) {
        const unsigned char* d = defs.data() + kFieldDefSize * i;
        const void* zero = std::memchr(d, 0, 17);
        RawField f;
        f.type = static_cast<std::uint32_t>(runtime::getI32(d + 20));
        f.offset = runtime::getI32(d + 24);
        f.size = runtime::getI32(d + 28);
        if (zero == nullptr || f.offset < 0 || f.type < 1 || f.type > 12 || (f.type == kTypeText && f.size < 1))
            return rc::kNotADataFile;
        f.nameGbk.assign(reinterpret_cast<const char*>(d), static_cast<const unsigned char*>(zero) - d);
        f.width = widthOf(f.type, f.size);
        // A field reaching past the record would make every read run into the next
        // record; such a file is refused, as the engine refuses it.
        if (std::int64_t(f.offset) + f.width > out.recordLength)
            return rc::kNotADataFile;
        out.fields.push_back(std::move(f));
    }
    return rc::kOk;
}

ResultCode readAuxHeader(const RawFile& file, std::uint32_t dataVersion, RawAuxHeader& out, bool writable)
{
    unsigned char head[32];
    const std::int64_t got = file.readAt(0, head, sizeof head);
    if (got != 32)
        return rc::kAuxReadFailed;
    out.version = static_cast<std::uint32_t>(runtime::getI32(head + 4));
    out.blockCount = runtime::getI32(head + 16);
    out.freeCount = runtime::getI32(head + 20);
    out.freeHead = runtime::getI32(head + 24);
    if (static_cast<std::uint32_t>(runtime::getI32(head)) != kMagicAux || out.blockCount < 1 || out.freeCount < 0 ||
        out.freeCount >= out.blockCount || out.freeHead < 0 || out.freeHead >= out.blockCount)
        return rc::kAuxReadFailed;
    if (out.version != dataVersion)
        return rc::kAuxVersionMismatch;
    out.fileLength = file.length();
    if (out.fileLength < 0)
        return codeOfErrno(errno);
    if (static_cast<std::uint64_t>(out.fileLength) / kBlockSize < static_cast<std::uint64_t>(out.blockCount) &&
        !writable)
        return rc::kAuxDamaged;
    return rc::kOk;
}

} // namespace qr::store::check
