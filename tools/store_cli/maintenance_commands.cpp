// delete, pack and clear: the commands that change records in place.
#include "runtime/gbk.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <charconv>
#include <iostream>

namespace qr::tools {
namespace {

// Opens the store for writing after making sure the open cannot fail half-way.
int openWritable(const std::string& argument, StoreSession& session)
{
    std::string name;
    if (!argumentToGbk(argument, name))
        return refuse("the store name is not valid UTF-8");
    if (int status = preflightWritable(name, argument); status != kExitOk)
        return status;
    std::string why;
    if (!session.open(name, false, why))
        return openFailed(why);
    return kExitOk;
}

} // namespace

int runDelete(const Arguments& args)
{
    if (args.size() != 2)
        return refuse("usage: quillroll-store delete STORE N");
    std::int32_t number = 0;
    const std::string& text = args[1];
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || number < 1)
        return refuse("the record number \"" + text + "\" is not a whole number of 1 or more");
    StoreSession session;
    if (int status = openWritable(args[0], session); status != kExitOk)
        return status;
    // Go to record would quietly take the last record for a number past the end.
    const std::int32_t count = store::recordCount();
    if (store::lastError() != store::rc::kOk) {
        printError("cannot count the records: " + resultText(store::lastError()));
        return kExitFailed;
    }
    if (number > count)
        return refuse("there is no record " + text + ": the store holds " + std::to_string(count) + " records");
    std::int32_t status = 0;
    if (!store::goToRecord(number) || !store::readStatusWord(status)) {
        printError("cannot read record " + text + ": " + resultText(store::lastError()));
        return kExitFailed;
    }
    if (status < 0) {
        std::cout << "record " << number << " (serial " << -std::int64_t(status) << ") was deleted already\n";
        return kExitOk;
    }
    if (!store::deleteRecord()) {
        printError("cannot delete record " + text + ": " + resultText(store::lastError()));
        return kExitFailed;
    }
    std::cout << "record " << number << " (serial " << status << ") is marked deleted\n";
    return kExitOk;
}

int runPack(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store pack STORE");
    StoreSession session;
    if (int status = openWritable(args[0], session); status != kExitOk)
        return status;
    const std::int32_t before = store::recordCount();
    if (!store::pack()) {
        printError("cannot pack " + args[0] + ": " + resultText(store::lastError()));
        return kExitFailed;
    }
    const std::int32_t after = store::recordCount();
    std::cout << "packed: " << before - after << " deleted records removed, " << after << " records remain\n";
    return kExitOk;
}

int runClear(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store clear STORE");
    StoreSession session;
    if (int status = openWritable(args[0], session); status != kExitOk)
        return status;
    if (!store::clearStore()) {
        printError("cannot clear " + args[0] + ": " + resultText(store::lastError()));
        return kExitFailed;
    }
    std::cout << "cleared: the store holds no records\n";
    return kExitOk;
}

} // namespace qr::tools
