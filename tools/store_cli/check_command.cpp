#include "runtime/gbk.h"
#include "store/check/consistency_check.h"
#include "store/check/open_preview.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <iostream>

namespace qr::tools {
namespace {

// The one closing line after the problems: how many, and what mends them.
void printSummary(std::size_t problems, const std::string& store)
{
    std::cout << problems << (problems == 1 ? " problem" : " problems") << " found; quillroll-store repair " << store
              << " mends what can be mended without losing a record, after copying the files\n";
}

} // namespace

int runCheck(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store check STORE");
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the store name is not valid UTF-8");
    // The engine's read-only open takes part in the share-mode protocol: a store that
    // another program holds with "deny read" is refused, and while our handle is open
    // nobody can take the store with that mode. The check itself reads the files on
    // its own, so it does not rely on the engine's validation.
    StoreSession session;
    std::string why;
    if (!session.open(name, true, why) && store::lastError() == store::rc::kSharingViolation)
        return refuse(why);
    const store::CheckReport report = store::checkStore(name);
    if (report.openResult == store::rc::kDataFileSize || report.openResult == store::rc::kAuxDamaged) {
        // Files cut short: a read-only open refuses them, a writable open (and repair)
        // corrects the counts. Say so in words rather than only by the code.
        const store::OpenPreview preview = store::previewWritableOpen(name);
        const char* which = report.openResult == store::rc::kDataFileSize ? "data" : "auxiliary";
        std::cout << "the " << which << " file is shorter than its header says (" << resultText(report.openResult)
                  << "), as a write cut off part-way leaves it";
        if (preview.result == store::rc::kOk && !preview.corrections.empty()) {
            std::cout << "; a writable open corrects it:";
            for (const std::string& c : preview.corrections)
                std::cout << ' ' << c << ';';
        }
        std::cout << "\nthe records and blocks cannot be checked until the counts are corrected\n";
        printSummary(2, args[0]);
        return kExitFailed;
    }
    if (report.openResult != store::rc::kOk)
        return openFailed("cannot open " + args[0] + ": " + resultText(report.openResult), report.openResult);
    for (const std::string& line : report.problems)
        std::cout << line << '\n';
    if (report.problems.empty())
        return kExitOk;
    printSummary(report.problems.size(), args[0]);
    return kExitFailed;
}

} // namespace qr::tools
