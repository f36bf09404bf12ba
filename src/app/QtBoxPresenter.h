// Shows the program's message boxes as application-modal Qt message boxes.
#pragma once

#include "Boxes.h"

namespace QtBoxPresenter {
// Installs the presenter; call once the application object exists.
void install();
} // namespace QtBoxPresenter
