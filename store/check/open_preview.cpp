#include "store/check/open_preview.h"

#include "runtime/gbk.h"
#include "store/check/raw_file.h"

namespace qr::store {

using namespace check;

OpenPreview previewWritableOpen(std::string_view fileNameGbk)
{
    OpenPreview preview;
    if (fileNameGbk.empty()) {
        preview.result = rc::kFileNotFound;
        return preview;
    }
    const std::string dataName = dataFileName(std::string(fileNameGbk));
    RawFile data;
    if ((preview.result = data.open(runtime::gbkToUtf8(dataName))) != rc::kOk)
        return preview;
    RawDataHeader& h = preview.header;
    if ((preview.result = readDataHeader(data, h, true)) != rc::kOk)
        return preview;
    const std::int64_t counted = h.dataStart + std::int64_t(h.recordCount) * h.recordLength;
    if (h.wholeRecords < h.recordCount)
        preview.corrections.push_back("the record count will be lowered from " + std::to_string(h.recordCount) +
                                      " to the " + std::to_string(h.wholeRecords) + " whole records in the file");
    else if (h.fileLength > counted)
        preview.corrections.push_back("the " + std::to_string(h.fileLength - counted) +
                                      " bytes after the last counted record will be dropped");
    if (!h.hasChains())
        return preview;
    RawFile aux;
    if (aux.open(runtime::gbkToUtf8(auxFileName(dataName))) != rc::kOk) {
        preview.result = rc::kAuxReadFailed;
        return preview;
    }
    RawAuxHeader ah;
    if ((preview.result = readAuxHeader(aux, h.version, ah, true)) != rc::kOk)
        return preview;
    const std::int64_t blocks = ah.fileLength / kBlockSize;
    if (blocks < ah.blockCount)
        preview.corrections.push_back("the auxiliary block count will be lowered from " +
                                      std::to_string(ah.blockCount) + " to the " + std::to_string(blocks) +
                                      " whole blocks in the file");
    return preview;
}

} // namespace qr::store
