#include "runtime/gbk.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <cstdio>
#include <iostream>

namespace qr::tools {

int runInfo(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store info STORE");
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the store name is not valid UTF-8");
    StoreSession session;
    std::string why;
    if (!session.open(name, true, why))
        return openFailed(why);
    const store::StoreInfo& info = session.info();

    std::int32_t live = 0;
    std::int32_t deleted = 0;
    for (std::int32_t r = 1; r <= info.recordCount; ++r) {
        std::int32_t status = 0;
        if (!store::goToRecord(r) || !store::readStatusWord(status)) {
            printError("cannot read the status of record " + std::to_string(r) + ": " + resultText(store::lastError()));
            return kExitFailed;
        }
        ++(status < 0 ? deleted : live);
    }

    char version[16];
    std::snprintf(version, sizeof version, "0x%08X", info.version);
    std::string magic;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(info.magic >> (8 * i));
        magic += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    std::cout << "data file: " << runtime::gbkToUtf8(info.fullPath) << '\n'
              << "magic: " << magic << '\n'
              << "version: " << version << '\n'
              << "record length: " << info.recordLength << '\n'
              << "data start: " << info.dataStart << '\n'
              << "records: " << info.recordCount << " (live " << live << ", deleted " << deleted << ")\n"
              << "next serial: " << info.nextSerial << '\n'
              << "fields: " << info.fields.size() << '\n';
    for (std::size_t i = 0; i < info.fields.size(); ++i) {
        const store::FieldInfo& f = info.fields[i];
        std::cout << "  " << i + 1 << ' ' << runtime::gbkToUtf8(f.name) << ' ' << fieldTypeName(f.type) << " offset "
                  << f.offset << " width " << f.width << '\n';
    }
    if (info.hasAuxiliaryFile) {
        const std::int32_t inUse = info.auxBlockCount - 1 - info.auxFreeCount;
        std::cout << "auxiliary blocks: " << info.auxBlockCount << " (header 1, in use " << inUse << ", free "
                  << info.auxFreeCount << ", free head " << info.auxFreeHead << ")\n";
    } else {
        std::cout << "auxiliary file: none\n";
    }
    return kExitOk;
}

} // namespace qr::tools
