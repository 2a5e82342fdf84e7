// JPEG through libjpeg. libjpeg reports fatal faults through a callback that must not
// return, so the decoder jumps back with longjmp; everything that outlives the jump
// lives in the heap-resident context below, never in registers of this frame.
#include "forms/kinds/image/decoders.h"

#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <memory>

namespace qr::forms::image_detail {
namespace {

struct JpegContext {
    jpeg_error_mgr errors{};
    std::jmp_buf jump{};
    bool truncated = false;
    QImage image;
};

void onFatal(j_common_ptr info) { std::longjmp(static_cast<JpegContext*>(info->client_data)->jump, 1); }

// Warnings are swallowed, except that running out of data marks the picture as damaged:
// libjpeg would otherwise fill the missing part with grey.
void onMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        static_cast<JpegContext*>(info->client_data)->truncated = true;
}

void decodeInto(JpegContext& ctx, jpeg_decompress_struct& cinfo, const std::uint8_t* data, std::size_t size)
{
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!sizeAcceptable(cinfo.image_width, cinfo.image_height))
        return;
    jpeg_start_decompress(&cinfo);
    ctx.image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (ctx.image.isNull())
        return;
    // The row buffer comes from libjpeg's own pool: a jump out of here frees it.
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 cinfo.output_width * JDIMENSION(cinfo.output_components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) {
            ctx.truncated = true;
            return;
        }
        auto* dst = reinterpret_cast<QRgb*>(ctx.image.scanLine(y));
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            const JSAMPLE* s = rows[0] + std::size_t(x) * std::size_t(cinfo.output_components);
            if (cmyk) // Adobe writes inverted CMYK; k scales the other three
                dst[x] = qRgb(s[0] * s[3] / 255, s[1] * s[3] / 255, s[2] * s[3] / 255);
            else
                dst[x] = qRgb(s[0], s[1], s[2]);
        }
    }
    jpeg_finish_decompress(&cinfo);
}

} // namespace

QImage decodeJpeg(const std::uint8_t* data, std::size_t size)
{
    auto ctx = std::make_unique<JpegContext>();
    auto cinfo = std::make_unique<jpeg_decompress_struct>();
    cinfo->err = jpeg_std_error(&ctx->errors);
    ctx->errors.error_exit = onFatal;
    ctx->errors.emit_message = onMessage;
    cinfo->client_data = ctx.get();
    if (setjmp(ctx->jump) != 0) {
        jpeg_destroy_decompress(cinfo.get());
        return {};
    }
    jpeg_create_decompress(cinfo.get());
    decodeInto(*ctx, *cinfo, data, size);
    jpeg_destroy_decompress(cinfo.get());
    if (ctx->truncated)
        return {};
    return std::move(ctx->image);
}

} // namespace qr::forms::image_detail
