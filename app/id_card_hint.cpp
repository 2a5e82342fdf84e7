#include "app/id_card_hint.h"

#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"
#include "roster/id_card_check.h"

#include <QLineEdit>
#include <QVariant>

namespace qr::app {

namespace {

// Dynamic properties keep what the box showed before a hint, to put it back.
constexpr char kWatched[] = "qrIdCardWatched";
constexpr char kPlainDescription[] = "qrIdCardPlainDescription";
constexpr char kHinted[] = "qrIdCardHinted";

// Appended after the box's own sheet, so that only the frame changes.
const QString kRedFrame = QStringLiteral(" QLineEdit { border: 1px solid #d01010; }");

void showHint(QLineEdit* box)
{
    const std::optional<std::string> problem = roster::idCardProblem(forms::fromQString(box->text()));
    const bool hinted = box->property(kHinted).toBool();
    if (!problem) {
        if (hinted) {
            QString sheet = box->styleSheet();
            if (sheet.endsWith(kRedFrame))
                sheet.chop(kRedFrame.size());
            box->setStyleSheet(sheet);
            box->setToolTip(QString());
            box->setAccessibleDescription(box->property(kPlainDescription).toString());
            box->setProperty(kHinted, false);
        }
        return;
    }
    if (!hinted) {
        box->setProperty(kPlainDescription, box->accessibleDescription());
        if (!box->styleSheet().endsWith(kRedFrame))
            box->setStyleSheet(box->styleSheet() + kRedFrame);
        box->setProperty(kHinted, true);
    }
    const QString reason = forms::toQString(*problem);
    box->setToolTip(reason);
    box->setAccessibleDescription(box->property(kPlainDescription).toString() + QStringLiteral("：") + reason);
}

} // namespace

void watchIdCardBox(std::uint32_t windowId, std::uint32_t editId)
{
    auto* box = qobject_cast<QLineEdit*>(forms::componentWidget(windowId, editId));
    if (box == nullptr)
        return;
    if (!box->property(kWatched).toBool()) {
        box->setProperty(kWatched, true);
        QObject::connect(box, &QLineEdit::textChanged, box, [box] { showHint(box); });
    }
    showHint(box);
}

} // namespace qr::app
