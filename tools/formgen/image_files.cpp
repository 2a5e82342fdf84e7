#include "tools/formgen/image_files.h"

#include "runtime/coding.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace qr::formgen {
namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

} // namespace

std::vector<std::uint8_t> encodeJpeg(const Canvas& canvas, int quality, std::string& error)
{
    const std::vector<std::uint8_t> rgb = canvas.rgb8();
    jpeg_compress_struct info{};
    JpegErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    // Nothing with a destructor lives between setjmp and longjmp.
    if (setjmp(err.jump)) {
        error = err.message;
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(canvas.width());
    info.image_height = JDIMENSION(canvas.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = std::size_t(canvas.width()) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + stride * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

bool padJpegWithComment(std::vector<std::uint8_t>& jpeg, std::size_t size, std::string_view comment, std::string& error)
{
    constexpr std::size_t kSegmentHead = 4; // marker FF FE and the 16-bit length
    constexpr std::size_t kLargestSegment = kSegmentHead + 0xFFFF - 2;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        error = "not a JPEG file";
        return false;
    }
    if (jpeg.size() + kSegmentHead > size || size - jpeg.size() > kLargestSegment) {
        error = "a JPEG of " + std::to_string(jpeg.size()) + " bytes cannot be padded to " + std::to_string(size);
        return false;
    }
    // Readers expect the JFIF header (APP0) straight after the start of the image.
    std::size_t at = 2;
    if (jpeg[2] == 0xFF && jpeg[3] == 0xE0 && jpeg.size() >= 6)
        at += 2 + (std::size_t(jpeg[4]) << 8 | jpeg[5]);
    if (at > jpeg.size()) {
        error = "damaged JPEG header";
        return false;
    }
    const std::size_t payload = size - jpeg.size() - kSegmentHead;
    std::vector<std::uint8_t> segment = {0xFF, 0xFE, std::uint8_t((payload + 2) >> 8), std::uint8_t(payload + 2)};
    // The comment, then blanks up to the length.
    for (std::size_t i = 0; i < payload; ++i)
        segment.push_back(i < comment.size() ? std::uint8_t(comment[i]) : std::uint8_t(' '));
    jpeg.insert(jpeg.begin() + long(at), segment.begin(), segment.end());
    return true;
}

std::vector<std::uint8_t> encodeIcon(const Canvas& canvas)
{
    const auto w = std::uint32_t(canvas.width()), h = std::uint32_t(canvas.height());
    const std::uint32_t maskStride = ((w + 31) / 32) * 4;
    const std::uint32_t imageSize = 40 + w * h * 4 + maskStride * h;
    std::vector<std::uint8_t> out;
    out.reserve(6 + 16 + imageSize);
    // directory: reserved, type 1 (icon), one image
    runtime::appendU16(out, 0);
    runtime::appendU16(out, 1);
    runtime::appendU16(out, 1);
    out.push_back(std::uint8_t(w == 256 ? 0 : w));
    out.push_back(std::uint8_t(h == 256 ? 0 : h));
    out.push_back(0); // colour count: none (true colour)
    out.push_back(0);
    runtime::appendU16(out, 1);  // planes
    runtime::appendU16(out, 32); // bits per pixel
    runtime::appendU32(out, imageSize);
    runtime::appendU32(out, 22); // image offset
    // bitmap header; the height counts the colour rows and the mask rows
    runtime::appendU32(out, 40);
    runtime::appendU32(out, w);
    runtime::appendU32(out, h * 2);
    runtime::appendU16(out, 1);
    runtime::appendU16(out, 32);
    runtime::appendU32(out, 0); // uncompressed
    runtime::appendU32(out, w * h * 4 + maskStride * h);
    for (int i = 0; i < 4; ++i)
        runtime::appendU32(out, 0);
    // colour rows bottom-up
    const std::vector<std::uint8_t> bgra = canvas.bgra8();
    for (std::uint32_t row = h; row-- > 0;)
        out.insert(out.end(), bgra.begin() + std::ptrdiff_t(row * w * 4),
                   bgra.begin() + std::ptrdiff_t((row + 1) * w * 4));
    // mask rows bottom-up: a set bit means transparent
    for (std::uint32_t row = h; row-- > 0;) {
        std::vector<std::uint8_t> mask(maskStride, 0);
        for (std::uint32_t x = 0; x < w; ++x)
            if (bgra[(row * w + x) * 4 + 3] == 0)
                mask[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

} // namespace qr::formgen
