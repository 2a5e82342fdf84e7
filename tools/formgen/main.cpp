// formgen: builds the template store from the catalogue's window descriptions, draws
// the pictures the program carries, and writes them out as compiled-in constant data.
//
//   formgen <catalogue.json> <out.cpp> <handler_numbers.h> <components.h> <picture-dir> [<store.bin>]

#include "forms/template/template_reader.h"
#include "forms/template/template_writer.h"
#include "tools/formgen/catalogue_loader.h"
#include "tools/formgen/embed_writer.h"
#include "tools/formgen/image_files.h"
#include "tools/formgen/pictures.h"

#include <cstdio>
#include <string>

using namespace qr::formgen;

namespace {

int fail(const std::string& what)
{
    std::fprintf(stderr, "formgen: %s\n", what.c_str());
    return 1;
}

// The placeholder photo is carried at the size a cleared form's record stores.
constexpr std::size_t kPlaceholderPhotoSize = 27027;

bool jpeg(const Canvas& canvas, std::vector<std::uint8_t>& out, std::string& error)
{
    out = encodeJpeg(canvas, 90, error);
    return !out.empty();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        return fail("usage: formgen <catalogue.json> <out.cpp> <handler_numbers.h> <components.h> <picture-dir> "
                    "[<store.bin>]");
    const std::filesystem::path index = argv[1], source = argv[2], handlerHeader = argv[3], componentHeader = argv[4],
                                pictureDir = argv[5];
    std::string error;

    std::vector<std::uint8_t> startup, samplePhoto, smallPhoto, placeholder;
    if (!jpeg(drawStartupPicture(1024, 1024), startup, error) || !jpeg(drawSamplePhoto(663, 659), samplePhoto, error) ||
        !jpeg(drawSamplePhoto(156, 189), smallPhoto, error) ||
        !jpeg(drawPlaceholderPhoto(198, 249), placeholder, error))
        return fail("JPEG encoding failed: " + error);
    if (!padJpegWithComment(placeholder, kPlaceholderPhotoSize, "Quillroll: no photo yet", error))
        return fail("placeholder photo: " + error);
    const std::vector<std::uint8_t> icon = encodeIcon(drawProgramIcon(128));

    const PictureSet pictures = {
        {"program-icon", icon},
        {"sample-photo", samplePhoto},
        {"sample-photo-small", smallPhoto},
    };
    Catalogue catalogue;
    if (!loadCatalogue(index, pictures, catalogue, error))
        return fail(error);

    const auto store = qr::forms::buildTemplateStore(catalogue.store, &error);
    if (!store)
        return fail("cannot build the template store: " + error);
    // The program must be able to read what was built: check it here, not at start-up.
    qr::forms::TemplateStore check;
    qr::forms::StoreReadFailure failure;
    if (!qr::forms::parseTemplateStore(*store, check, &failure))
        return fail("built store does not read back: " + failure.what);
    if (check.windows.size() != catalogue.store.windows.size())
        return fail("built store reads back with a different window count");
    for (std::size_t w = 0; w < check.windows.size(); ++w) {
        const auto& built = catalogue.store.windows[w];
        const auto& read = check.windows[w];
        if (built.records.size() != read.records.size())
            return fail("window " + std::to_string(w) + " reads back with a different record count");
        for (std::size_t r = 0; r < built.records.size(); ++r)
            if (!(built.records[r] == read.records[r]))
                return fail("window " + std::to_string(w) + " record " + std::to_string(r) + " reads back differently");
        if (!(built == read))
            return fail("window " + std::to_string(w) + " header reads back differently");
    }

    const std::vector<EmbeddedBlob> blobs = {
        {"templateStoreBytes", "the template store: window map and seven window templates", *store},
        {"startupPictureBytes", "start window background, JPEG 1024 x 1024", startup},
        {"programIconBytes", "program and tray icon, one 128 x 128 32-bit image", icon},
        {"placeholderPhotoBytes", "photo placeholder of the add form, JPEG 198 x 249", placeholder},
    };
    const GeneratedCode& code = catalogue.generated;
    if (!writeEmbeddedSource(source, code, blobs, error) ||
        !writeHandlerHeader(handlerHeader, code, catalogue.handlers, error) ||
        !writeComponentHeader(componentHeader, code, catalogue.codedWindows, error))
        return fail(error);

    const auto asString = [](const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); };
    const std::pair<const char*, const std::vector<std::uint8_t>*> files[] = {{"startup.jpg", &startup},
                                                                              {"program.ico", &icon},
                                                                              {"sample-photo.jpg", &samplePhoto},
                                                                              {"sample-photo-small.jpg", &smallPhoto},
                                                                              {"placeholder-photo.jpg", &placeholder}};
    for (const auto& [name, bytes] : files)
        if (!writeFileIfChanged(pictureDir / name, asString(*bytes), error))
            return fail(error);
    if (argc > 6 && !writeFileIfChanged(argv[6], asString(*store), error))
        return fail(error);
    return 0;
}
