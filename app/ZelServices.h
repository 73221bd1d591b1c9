#pragma once
// The real parts behind the Qt window (form/ZelServices.h), its events posted
// through Qt's event loop.
#include <functional>
#include <memory>
#include <string>

#include "form/ZelServices.h"

namespace zel {

// The program's own: the X11 desktop of DISPLAY (raises when there is none)
// and the PocketSphinx control.
std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe);
// The same over the given desktop and recognizer (the tests' fakes).
std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe, std::unique_ptr<IDesktop> desktop,
                                                 const TRecognizerFactory& recognizer);

}  // namespace zel
