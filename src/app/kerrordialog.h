#pragma once

#include "core/system/kerrors.h"

namespace kolvarin {

// Shows error boxes as Qt message boxes, owned by the main window once it exists.
class TKMessageBoxDialog : public TErrorDialog {
public:
    void Show(const std::u16string& title, const std::u16string& text, Icon icon) override;
};

} // namespace kolvarin
