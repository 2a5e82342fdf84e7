// The toolbar: a row of flat text buttons; a click raises event 0 with the
// button's 0-based index in the button list (separators count).
#pragma once

#include "forms/registry/component_kind.h"

#include <QPointer>

#include <vector>

class QFrame;
class QToolButton;

namespace qr::forms {

// The stored button list block, and back (nullopt when the block is damaged).
Bytes encodeToolBarButtons(const std::vector<ToolBarButton>& buttons);
std::optional<std::vector<ToolBarButton>> decodeToolBarButtons(const Bytes& block);

class ToolBarObject : public ComponentObject {
public:
    ToolBarObject(const CreateRequest& request, const ToolBarSettings& settings);

    const ToolBarSettings& settings() const { return settings_; }
    // The control of button `index`; nullptr for separators and unknown indexes.
    QToolButton* button(int index) const;

    int setProperty(int index, const runtime::Value& value);
    runtime::Value property(int index) const;

private:
    void build();

    ToolBarSettings settings_;
    QPointer<QFrame> bar_;
    std::vector<QPointer<QToolButton>> buttons_;
    int topInset_ = 0;
};

} // namespace qr::forms
