#include "tests/xlsodbc/workbook_builder.h"

#include <stdexcept>

namespace qr::xls::testing {

std::vector<std::uint8_t> buildWorkbookStream(const std::vector<SheetSpec>& sheets)
{
    std::vector<std::uint8_t> stream;
    std::string error;
    if (!buildNewWorkbookStream(sheets, NewWorkbookOptions{.cellIndex = true}, stream, error))
        throw std::runtime_error(error);
    return stream;
}

std::vector<std::uint8_t>
buildWorkbookFile(const std::vector<SheetSpec>& sheets,
                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extraStreams)
{
    std::vector<std::uint8_t> file;
    std::string error;
    if (!wrapWorkbookStream(buildWorkbookStream(sheets), extraStreams, file, error))
        throw std::runtime_error(error);
    return file;
}

std::vector<std::uint8_t> buildRosterStyleFile(const std::vector<std::u16string>& headings,
                                               const std::vector<std::pair<std::uint16_t, std::uint16_t>>& widths)
{
    return buildWorkbookFile(
        {SheetSpec{u"Sheet1", headings, widths}, SheetSpec{u"Sheet2", {}, {}}, SheetSpec{u"Sheet3", {}, {}}},
        {{"ExtraStream", std::vector<std::uint8_t>(200, 0x11)}});
}

} // namespace qr::xls::testing
