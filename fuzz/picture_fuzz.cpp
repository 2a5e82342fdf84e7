// One picture decoder of the picture box, chosen at build time, and the dispatch by
// content that sits in front of all of them.
#include "forms/kinds/image/decoders.h"
#include "forms/kinds/image/picture_decoder.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace d = qr::forms::image_detail;
    const QImage image = d::QR_PICTURE_DECODER(data, size);
    if (!image.isNull() && !d::sizeAcceptable(image.width(), image.height()))
        __builtin_trap(); // the decoder's own limit was not kept
    (void)qr::forms::decodePictureFile(data, size);
    return 0;
}
