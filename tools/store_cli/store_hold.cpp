#include "tools/store_cli/store_hold.h"

#include "store/lock_retry.h"
#include "store/share_mode.h"

namespace qr::tools {
namespace {

store::ResultCode claim(const std::string& pathGbk, std::int32_t waitMs, std::unique_ptr<store::File>& out)
{
    store::Env& env = store::posixEnv();
    return store::retryRefused(
        [&] {
            std::unique_ptr<store::File> file;
            store::ResultCode code = env.openFile(pathGbk, store::OpenMode::ReadOnly, file);
            if (code == store::rc::kOk)
                code = store::claimShareMode(*file, store::ShareMode::DenyReadWrite);
            if (code == store::rc::kOk)
                out = std::move(file);
            return code;
        },
        waitMs);
}

} // namespace

store::ResultCode StoreHold::take(const std::string& dataPathGbk, const std::string& auxPathGbk, std::int32_t waitMs)
{
    if (store::ResultCode code = claim(dataPathGbk, waitMs, data_); code != store::rc::kOk)
        return code;
    store::FileIdentity identity;
    if (store::posixEnv().identityOf(auxPathGbk, identity) != store::rc::kOk)
        return store::rc::kOk; // a store without byte-set or memo fields has none
    if (store::ResultCode code = claim(auxPathGbk, waitMs, aux_); code != store::rc::kOk) {
        data_.reset();
        return code;
    }
    return store::rc::kOk;
}

void StoreHold::release()
{
    aux_.reset();
    data_.reset();
}

} // namespace qr::tools
