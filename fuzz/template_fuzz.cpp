// The window template store as the registry reads it at start-up.
#include "forms/template/template_reader.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qr::forms::TemplateStore store;
    qr::forms::StoreReadFailure failure;
    (void)qr::forms::parseTemplateStore({data, size}, store, &failure);
    return 0;
}
