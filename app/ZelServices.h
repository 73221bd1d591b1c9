#pragma once
// The real parts behind the window: the desktop (X11), the actions and the
// activation state, the recognizer component (TSphinx) with its builder, the
// hook library.
#include <functional>
#include <memory>
#include <string>

#include "app/WindowServices.h"
#include "platform/Desktop.h"
#include "recognition/EventPoster.h"
#include "recognition/RecognizerControl.h"

namespace zel {

// Makes the recognizer control; its events go through the poster to the
// window's thread.
using TRecognizerFactory = std::function<std::unique_ptr<IRecognizerControl>(IEventPoster& poster)>;

// The program's own: the X11 desktop of DISPLAY (raises when there is none)
// and the PocketSphinx control.
std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe);
// The same over the given desktop and recognizer (the tests' fakes).
std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe, std::unique_ptr<IDesktop> desktop,
                                                 const TRecognizerFactory& recognizer);

}  // namespace zel
