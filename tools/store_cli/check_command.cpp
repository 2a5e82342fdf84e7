#include "runtime/gbk.h"
#include "store/check/consistency_check.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"

#include <iostream>

namespace qr::tools {

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
    if (report.openResult != store::rc::kOk)
        return refuse("cannot open " + args[0] + ": " + resultText(report.openResult));
    for (const std::string& line : report.problems)
        std::cout << line << '\n';
    return report.problems.empty() ? kExitOk : kExitFailed;
}

} // namespace qr::tools
