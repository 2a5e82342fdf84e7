// A store's two files from one input: its first four bytes (little-endian) give the
// length of the data file, the rest after it is the auxiliary file. Opened read-only
// and then writable, every field of every record read; and checked by the checker.
#include "fuzz/fuzz_target.h"
#include "runtime/coding.h"
#include "store/check/consistency_check.h"
#include "store/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

std::string folderName;

// The fuzzer starts a process for every input or every few: each leaves nothing.
void removeScratchFolder()
{
    for (const char* file : {"/s.edb", "/s.EDT"})
        (void)::unlink((folderName + file).c_str());
    (void)::rmdir(folderName.c_str());
}

const std::string& scratchFolder()
{
    if (folderName.empty()) {
        char name[] = "/tmp/qr-fuzz-store-XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        folderName = name;
        std::atexit(removeScratchFolder);
    }
    return folderName;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
}

void readEverything(bool readOnly, const std::string& dataPath)
{
    qr::store::OpenOptions options;
    options.readOnly = readOnly;
    if (!qr::store::openStore(dataPath, options))
        return;
    qr::store::StoreInfo info;
    if (qr::store::currentStoreInfo(info)) {
        // Enough records to reach every code path, not so many that one input takes long.
        const std::int32_t records = std::min(info.recordCount, 64);
        for (std::int32_t r = 1; r <= records; ++r) {
            if (!qr::store::goToRecord(r))
                break;
            std::int32_t status = 0;
            (void)qr::store::readStatusWord(status); // a failure is one more outcome to try
            for (std::size_t f = 1; f <= info.fields.size(); ++f)
                (void)qr::store::readField(static_cast<std::int32_t>(f));
        }
    }
    qr::store::closeStore();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::size_t dataLength = std::min<std::size_t>(qr::runtime::getU32(data), size - 4);
    const std::string dataPath = scratchFolder() + "/s.edb";
    const std::string auxPath = scratchFolder() + "/s.EDT";
    writeFile(dataPath, data + 4, dataLength);
    writeFile(auxPath, data + 4 + dataLength, size - 4 - dataLength);
    (void)qr::store::checkStore(dataPath);
    readEverything(true, dataPath);
    readEverything(false, dataPath); // corrects counts and lengths first
    return 0;
}
