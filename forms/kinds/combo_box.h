// The combo box on a QComboBox. Items keep their stored GBK bytes (leading blanks
// included) in the item data, so the content read back is exactly what was stored.
#pragma once

#include "forms/kinds/combo_item_list.h"
#include "forms/registry/component_kind.h"

#include <QPointer>

class QComboBox;

namespace qr::forms::kinds {

class ComboBoxObject : public ComponentObject {
public:
    ComboBoxObject(const CreateRequest& request, const ComboBoxSettings& settings);

    QComboBox* combo() const { return combo_; }
    ComboBoxSettings currentSettings() const;

    // The text of the current item as stored (drop-down list), or the edit field's text.
    std::string content() const;
    int currentItem() const;
    // Clamped to -1 .. item count - 1.
    void setCurrentItem(int item);

    int setProperty(int index, const runtime::Value& value);
    runtime::Value property(int index) const;

private:
    void fillItems();
    void applyLook();

    ComboBoxSettings settings_;
    QPointer<QComboBox> combo_;
};

} // namespace qr::forms::kinds
