// Defining a new, empty store: the data file and, for byte-set and memo fields,
// its auxiliary file.
#include "store/command_support.h"
#include "store/data_file.h"
#include "store/formats.h"
#include "store/names.h"
#include "store/paths.h"

#include <array>

namespace qr::store {

using detail::finish;
using namespace format;

namespace {

ResultCode layoutFields(std::span<const FieldSpec> specs, std::vector<FieldDef>& fields, std::int32_t& recordLength)
{
    if (specs.empty())
        return rc::kFieldCountZero;
    // Fields follow the status word in the order given, without gaps.
    std::int64_t offset = kStatusWordSize;
    for (const FieldSpec& spec : specs) {
        if (!isValidFieldName(spec.name))
            return rc::kInvalidFieldName;
        const auto code = static_cast<std::uint32_t>(spec.type);
        if (code < 1 || code > 12)
            return rc::kInvalidFieldType;
        if (spec.type == FieldType::Text && spec.size < 1)
            return rc::kInvalidFieldSize;
        for (const FieldDef& earlier : fields)
            if (namesEqual(earlier.name, spec.name))
                return rc::kDuplicateFieldName;
        FieldDef def;
        def.name = spec.name;
        def.type = spec.type;
        def.offset = static_cast<std::int32_t>(std::min<std::int64_t>(offset, INT32_MAX));
        def.width = fieldWidth(spec.type, spec.size);
        offset += def.width;
        if (offset > kMaxRecordLength)
            return rc::kInvalidFieldSize;
        fields.push_back(std::move(def));
    }
    recordLength = static_cast<std::int32_t>(offset);
    return rc::kOk;
}

std::array<std::uint8_t, kBlockSize> emptyAuxImage()
{
    std::array<std::uint8_t, kBlockSize> image{};
    putU32(image.data(), kAuxMagic);
    putU32(image.data() + 4, kVersion);
    putI32(image.data() + 16, 1); // block count: the header block
    return image;
}

// A file this create made and could not finish. The create fails whether or not the
// removal works; a file that stays keeps a later create from writing over it.
void removeHalfMade(Env& env, const std::string& path) { (void)env.removeFile(path); }

ResultCode createFiles(std::string_view fileName, std::span<const FieldSpec> specs)
{
    std::vector<FieldDef> fields;
    std::int32_t recordLength = 0;
    if (ResultCode code = layoutFields(specs, fields, recordLength); code != rc::kOk)
        return code;
    if (fileName.empty())
        return rc::kCreateFailed;

    Env& env = storeEnv();
    const std::string path = fullPath(withDefaultExtension(fileName), env.currentDirectory());
    // Never over an existing file: it may be a store full of records.
    std::unique_ptr<File> data;
    if (env.openFile(path, OpenMode::CreateNew, data) != rc::kOk)
        return rc::kCreateFailed;
    const std::vector<std::uint8_t> image = newDataFileImage(fields, recordLength);
    if (data->writeAt(0, image.data(), image.size()) != rc::kOk) {
        data.reset();
        removeHalfMade(env, path);
        return rc::kCreateFailed;
    }
    const bool needsAux =
        std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) { return isChainType(f.type); });
    if (!needsAux)
        return rc::kOk;
    // An auxiliary file left from another store is not ours to overwrite.
    const std::string auxPath = auxiliaryPath(path);
    std::unique_ptr<File> aux;
    ResultCode code = env.openFile(auxPath, OpenMode::CreateNew, aux);
    if (code == rc::kOk) {
        const auto auxImage = emptyAuxImage();
        code = aux->writeAt(0, auxImage.data(), auxImage.size());
        aux.reset();
        if (code != rc::kOk)
            removeHalfMade(env, auxPath);
    }
    if (code != rc::kOk) {
        data.reset();
        removeHalfMade(env, path);
        return rc::kAuxCreateFailed;
    }
    return rc::kOk;
}

} // namespace

bool createStore(std::string_view fileName, std::span<const FieldSpec> fields)
{
    detail::clearLastError();
    return finish(createFiles(fileName, fields));
}

} // namespace qr::store
