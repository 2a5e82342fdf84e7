#include "app/print_preview.h"

#include "app/app_paths.h"
#include "app/handlers.h"
#include "app/print/class_list_print.h"
#include "app/print/contact_sheet_print.h"
#include "app/roster_print.h"
#include "app/store_safety.h"
#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>

#include <functional>
#include <memory>

namespace qr::app {

namespace {

struct Preview {
    std::string_view objectName;
    std::string_view spokenName;  // what a person calls it
    std::string_view description; // what it shows
    QPageLayout layout;
};

// Opens the preview over `window`; `paint` lays the pages onto the printer the
// preview (and then the print dialog) hands it.
void openPreview(QWidget* window, const Preview& preview, const std::string& titleGbk,
                 std::function<void(QPrinter&)> paint)
{
    auto* dialog = new QPrintPreviewDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString name = forms::toQString(preview.objectName);
    dialog->setObjectName(name);
    dialog->setAccessibleName(forms::toQString(preview.spokenName));
    dialog->setAccessibleDescription(name + QStringLiteral("：") + forms::toQString(preview.description));
    dialog->setWindowTitle(forms::toQString(preview.spokenName) + QStringLiteral(" - ") + forms::toQString(titleGbk));
    dialog->printer()->setPageLayout(preview.layout);
    dialog->printer()->setDocName(forms::toQString(titleGbk));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [paint = std::move(paint)](QPrinter* printer) { paint(*printer); });
    dialog->resize(1000, 720);
    dialog->open();
}

print::PageHeading heading() { return {mainWindowClassName(), QDate::currentDate()}; }

void previewClassList(QWidget* window)
{
    const print::PageHeading top = heading();
    auto list = classListFromStore(rosterStorePath(), top);
    if (!list) {
        (void)reportUnopenableStore(StoreKind::Roster); // nothing to print either way
        return;
    }
    const Preview preview{kListPreviewName, "打印预览", "全班名单，A4 横向，每页重复表头",
                          print::classListPageLayout()};
    openPreview(window, preview, top.titleGbk,
                [list = std::make_shared<const print::ClassList>(std::move(*list))](QPrinter& printer) {
                    (void)print::printClassList(printer, *list); // a failed page shows as an empty preview
                });
}

void previewContactSheet(QWidget* window)
{
    const print::PageHeading top = heading();
    auto sheet = contactSheetFromStore(rosterStorePath(), top);
    if (!sheet) {
        (void)reportUnopenableStore(StoreKind::Roster);
        return;
    }
    const Preview preview{kCardPreviewName, "照片打印预览", "每生一张照片名片，A4 纵向，每页 12 张",
                          print::contactSheetPageLayout()};
    openPreview(window, preview, top.titleGbk,
                [sheet = std::make_shared<const print::ContactSheet>(std::move(*sheet))](QPrinter& printer) {
                    (void)print::printContactSheet(printer, *sheet);
                });
}

void bindKey(QWidget* window, const QKeySequence& keys, void (*action)(QWidget*))
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, action] { action(window); });
}

} // namespace

void installPrinting(std::uint32_t windowId)
{
    QWidget* window = forms::componentWidget(windowId, windowId);
    if (window == nullptr || window->property("qrPrinting").toBool())
        return;
    window->setProperty("qrPrinting", true);
    bindKey(window, QKeySequence(Qt::CTRL | Qt::Key_P), previewClassList);
    bindKey(window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), previewContactSheet);
}

} // namespace qr::app
