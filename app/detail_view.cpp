// The detail view: every field and the photo of the selected student, read only.
#include "app/component_ids.h"
#include "app/handlers.h"
#include "app/messages.h"
#include "app/student_form.h"

namespace qr::app {

void openDetailView()
{
    const std::int32_t record = selectedRosterRecord();
    if (record == 0) {
        notify(text::kNothingToView);
        return;
    }
    if (!studentIsReadable(record)) {
        notify(text::kCannotRead, flags::kIconExclamation);
        return;
    }
    forms::loadWindow(kDetailView, std::nullopt, true);
}

Value detailViewLoaded(const Event&)
{
    // The store was readable a moment ago; should it have gone since, the view
    // closes again rather than show the template's sample student.
    if (!showStoredStudent(kDetailViewIds, selectedRosterRecord())) {
        notify(text::kCannotRead, flags::kIconExclamation);
        forms::destroyWindow(kDetailView);
    }
    return {};
}

Value detailViewReturn(const Event&)
{
    forms::destroyWindow(kDetailView);
    return {};
}

} // namespace qr::app
