#include "app/student_list.h"

#include "app/component_ids.h"
#include "app/store_session.h"
#include "app/student_record.h"
#include "forms/kinds/report_list_ops.h"
#include "forms/registry/window_registry.h"
#include "store/commands.h"

namespace qr::app {

namespace list = forms::report_list;

std::array<Text, roster::kColumnCount> listedTexts(RosterStore& source)
{
    std::array<Text, roster::kColumnCount> texts;
    texts[0] = readNumberFieldText(source, field::kNumber);
    texts[1] = readTextField(source, field::kName);
    texts[2] = readTextField(source, field::kSex);
    texts[3] = readNumberFieldText(source, field::kHeight);
    texts[4] = readNumberFieldText(source, field::kWeight);
    texts[5] = readTextField(source, field::kAge);
    texts[6] = readTextField(source, field::kRegisterNumber);
    texts[7] = readTextField(source, field::kNationalNumber);
    // The photo (field 9) is never listed; fields 10 to 20 fill columns 8 to 18.
    for (int f = field::kBoarding; f <= field::kGuardian2Phone; ++f)
        texts[std::size_t(f - 2)] = readTextField(source, f);
    return texts;
}

std::optional<std::int32_t> visitRecords(std::string_view path, const std::function<void(RosterStore&)>& visit)
{
    RosterStore opened(path);
    if (!opened.isOpen())
        return std::nullopt;
    const std::int32_t count = opened.recordCount();
    for (std::int32_t k = 1; k <= count; ++k) {
        if (opened.goToRecord(k))
            visit(opened);
    }
    return count;
}

void appendRowFromCurrentRecord(RosterStore& source, std::uint32_t windowId, std::uint32_t listId)
{
    const int row = list::insertRow(windowId, listId);
    if (row < 0)
        return;
    const auto texts = listedTexts(source);
    for (std::size_t column = 0; column < texts.size(); ++column)
        list::setCellText(windowId, listId, row, int(column), texts[column]);
}

std::optional<std::int32_t> fillListFromStore(std::uint32_t windowId, std::uint32_t listId, std::string_view path)
{
    list::deleteAllRows(windowId, listId);
    return visitRecords(path, [&](RosterStore& source) { appendRowFromCurrentRecord(source, windowId, listId); });
}

int selectedRow(std::uint32_t windowId, std::uint32_t listId)
{
    const int row = forms::readProperty(windowId, listId, property::kListCurrentRow).asInteger();
    if (row < 0 || row >= list::rowCount(windowId, listId))
        return -1;
    return row;
}

} // namespace qr::app
