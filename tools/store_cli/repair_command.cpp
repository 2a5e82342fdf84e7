// repair: mends what can be mended without losing a record, after copying the
// store's files, while no other handle has the store open.
#include "runtime/gbk.h"
#include "store/check/consistency_check.h"
#include "store/check/open_preview.h"
#include "store/check/raw_layout.h"
#include "store/check/repair.h"
#include "store/env.h"
#include "store/journal.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"
#include "tools/store_cli/repair_backup.h"
#include "tools/store_cli/store_hold.h"

#include <iostream>
#include <unistd.h>

namespace qr::tools {
namespace {

// How long a store that another program is busy with is waited for.
constexpr std::int32_t kHoldWaitMs = 2000;

void removeAll(const std::vector<std::string>& paths)
{
    for (const std::string& p : paths)
        (void)::unlink(p.c_str()); // copies of a store the repair left unchanged
}

} // namespace

int runRepair(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store repair STORE");
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the store name is not valid UTF-8");
    const std::string dataGbk = store::check::dataFileName(name);
    const std::string auxGbk = store::check::auxFileName(dataGbk);

    // A command cut off part-way leaves its journal beside the store: put the store back
    // as it was before that command, as every open does, before judging what is left.
    if (const store::ResultCode code = store::recoverAtOpen(store::storeEnv(), dataGbk, auxGbk);
        code != store::rc::kOk) {
        printError("cannot roll back the journal of an interrupted command beside " + args[0] + ": " +
                   resultText(code));
        return kExitFailed;
    }
    const store::OpenPreview preview = store::previewWritableOpen(name);
    if (preview.result != store::rc::kOk) {
        if (isPathProblem(preview.result))
            return refuse("cannot open " + args[0] + ": " + resultText(preview.result));
        printError("cannot mend " + args[0] + ": " + resultText(preview.result) +
                   "; repair mends counts, lengths, serial numbers and block chains, not a header or field list "
                   "that no open accepts");
        return kExitFailed;
    }
    StoreHold hold;
    if (const store::ResultCode code =
            hold.take(dataGbk, preview.header.hasChains() ? auxGbk : std::string(), kHoldWaitMs);
        code != store::rc::kOk) {
        if (code == store::rc::kSharingViolation)
            return refuse(args[0] + " is open in another program; close it there and run repair again");
        return refuse("cannot open " + args[0] + ": " + resultText(code));
    }

    const store::CheckReport before = store::checkStore(name);
    if (preview.corrections.empty() && before.openResult == store::rc::kOk && before.problems.empty()) {
        std::cout << "nothing to mend: " << args[0] << " passes the consistency check\n";
        return kExitOk;
    }

    std::vector<std::string> files = {runtime::gbkToUtf8(dataGbk)};
    if (preview.header.hasChains())
        files.push_back(runtime::gbkToUtf8(auxGbk));
    std::vector<std::string> backups;
    std::string why;
    if (!backUpFiles(files, backups, why)) {
        printError(why + "; nothing was changed");
        return kExitFailed;
    }

    const store::RepairReport report = store::repairStore(name);
    if (report.openResult != store::rc::kOk) {
        removeAll(backups);
        printError("cannot mend " + args[0] + ": " + resultText(report.openResult) + "; nothing was changed");
        return kExitFailed;
    }
    if (report.fixes.empty())
        removeAll(backups);
    else
        for (const std::string& b : backups)
            std::cout << "backup: " << b << '\n';
    for (const std::string& fix : report.fixes)
        std::cout << "mended: " << fix << '\n';
    if (report.writeResult != store::rc::kOk) {
        printError("the repair stopped part-way: " + resultText(report.writeResult) +
                   "; the backups hold the store as it was before");
        return kExitFailed;
    }
    if (report.checkResult != store::rc::kOk)
        std::cout << "not mended: the store cannot be checked afterwards: " << resultText(report.checkResult) << '\n';
    for (const std::string& problem : report.unmended)
        std::cout << "not mended: " << problem << '\n';
    for (const std::string& note : report.notes)
        std::cout << "note: " << note << '\n';
    const bool whole = report.checkResult == store::rc::kOk && report.unmended.empty();
    if (!report.fixes.empty())
        std::cout << (whole ? "repaired: " : "partly repaired: ") << report.fixes.size()
                  << (report.fixes.size() == 1 ? " fix" : " fixes")
                  << "; to undo, rename the backups back to the store's file names\n";
    return whole ? kExitOk : kExitFailed;
}

} // namespace qr::tools
