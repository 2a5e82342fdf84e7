#include "app/student_list.h"

#include "app/component_ids.h"
#include "app/store_session.h"
#include "app/student_record.h"
#include "forms/kinds/report_list_ops.h"
#include "forms/registry/window_registry.h"
#include "store/commands.h"

namespace qr::app {

namespace list = forms::report_list;

void appendRowFromCurrentRecord(RosterStore& source, std::uint32_t windowId, std::uint32_t listId)
{
    const int row = list::insertRow(windowId, listId);
    if (row < 0)
        return;
    list::setCellText(windowId, listId, row, 0, readNumberFieldText(source, field::kNumber));
    list::setCellText(windowId, listId, row, 1, readTextField(source, field::kName));
    list::setCellText(windowId, listId, row, 2, readTextField(source, field::kSex));
    list::setCellText(windowId, listId, row, 3, readNumberFieldText(source, field::kHeight));
    list::setCellText(windowId, listId, row, 4, readNumberFieldText(source, field::kWeight));
    list::setCellText(windowId, listId, row, 5, readTextField(source, field::kAge));
    list::setCellText(windowId, listId, row, 6, readTextField(source, field::kRegisterNumber));
    list::setCellText(windowId, listId, row, 7, readTextField(source, field::kNationalNumber));
    // The photo (field 9) is never listed; fields 10 to 20 fill columns 8 to 18.
    for (int f = field::kBoarding; f <= field::kGuardian2Phone; ++f)
        list::setCellText(windowId, listId, row, f - 2, readTextField(source, f));
}

std::optional<std::int32_t> fillListFromStore(std::uint32_t windowId, std::uint32_t listId, std::string_view path)
{
    list::deleteAllRows(windowId, listId);
    RosterStore opened(path);
    if (!opened.isOpen())
        return std::nullopt;
    const std::int32_t count = opened.recordCount();
    for (std::int32_t k = 1; k <= count; ++k) {
        if (opened.goToRecord(k))
            appendRowFromCurrentRecord(opened, windowId, listId);
    }
    return count;
}

int selectedRow(std::uint32_t windowId, std::uint32_t listId)
{
    const int row = forms::readProperty(windowId, listId, property::kListCurrentRow).asInteger();
    if (row < 0 || row >= list::rowCount(windowId, listId))
        return -1;
    return row;
}

} // namespace qr::app
