#include "app/handlers.h"

#include "app/catalogue/catalogue.h"
#include "runtime/to_number.h"

namespace qr::app {

int eventArgument(const Event& event)
{
    if (event.args.empty() || !event.args.front().isNumeric())
        return -1;
    return static_cast<int>(runtime::toNumber(event.args.front()));
}

void bindHandlers()
{
    using H = catalogue::Handler;
    const auto bind = [](H number, Value (*handler)(const Event&)) { forms::setHandler(number, handler); };

    bind(H::startWindowLoaded, startWindowLoaded);
    bind(H::startWindowTray, startWindowTray);
    bind(H::startMenuOpen, startMenuOpen);
    bind(H::startMenuClose, startMenuClose);
    bind(H::startConfirm, startConfirm);
    bind(H::startClassKeyDown, startClassKeyDown);

    bind(H::mainWindowLoaded, mainWindowLoaded);
    bind(H::mainWindowTray, mainWindowTray);
    bind(H::mainToolbar, mainToolbar);
    bind(H::mainListMenu, mainListMenu);
    bind(H::mainListDoubleClick, mainViewSelected);
    bind(H::mainQuery, mainViewSelected);
    bind(H::mainModify, mainModifySelected);
    bind(H::mainDelete, mainDeleteSelected);
    bind(H::mainShowAll, mainShowAll);
    bind(H::mainAdd, mainAdd);
    bind(H::mainOpenDeleted, mainOpenDeleted);
    bind(H::mainClearStore, mainClearRoster);
    bind(H::mainExport, mainExport);
    bind(H::mainImport, mainImport);

    bind(H::addFormSampleNotice, addFormSampleNotice);
    bind(H::addFormClearSample, addFormClearSample);
    bind(H::addFormInsertPhoto, addFormInsertPhoto);
    bind(H::addFormSave, addFormSave);
    bind(H::addFormReturn, addFormReturn);

    bind(H::modifyFormLoaded, modifyFormLoaded);
    bind(H::modifyFormReplacePhoto, modifyFormReplacePhoto);
    bind(H::modifyFormSave, modifyFormSave);
    bind(H::modifyFormReturn, modifyFormReturn);

    bind(H::detailViewLoaded, detailViewLoaded);
    bind(H::detailViewReturn, detailViewReturn);

    bind(H::deletedWindowLoaded, deletedWindowLoaded);
    bind(H::deletedToolbar, deletedToolbar);
    bind(H::deletedRestore, deletedRestore);
    bind(H::deletedClearAll, deletedClearAll);
    bind(H::deletedReturn, deletedReturn);
}

} // namespace qr::app
