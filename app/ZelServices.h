#pragma once
// The real parts behind the window: the X11 desktop, the actions and the
// activation state, the recognizer component with its builder, the hook
// library.
#include <memory>
#include <string>

#include "app/WindowServices.h"

namespace zel {

std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe);

}  // namespace zel
