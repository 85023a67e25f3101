#pragma once

#include "views/message_presenter.h"

namespace vellick {

// The ordinary presenter: a modal message box captioned "Vellick" with the information icon and OK.
class MessageBoxPresenter : public MessagePresenter {
public:
    void showInformation(QWidget* parent, const QString& text) override;
};

} // namespace vellick
