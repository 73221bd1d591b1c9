#pragma once
// The real parts behind the window, whatever draws it: the desktop, the
// actions and the activation state, the recognizer component (TSphinx) with
// its builder, the history, the hook library.
#include <functional>
#include <memory>
#include <string>

#include "form/WindowServices.h"
#include "platform/Desktop.h"
#include "recognition/EventPoster.h"
#include "recognition/RecognizerControl.h"

namespace zel {

// Makes the recognizer control; its events go through the poster to the
// window's thread.
using TRecognizerFactory = std::function<std::unique_ptr<IRecognizerControl>(IEventPoster& poster)>;

// pastaExe: where the program keeps its files; installation: where it is
// installed (the recognizer's folder, the hook library). poster: runs the
// recognizer's events on the window's thread.
std::unique_ptr<IWindowServices> MakeWindowServices(const std::string& pastaExe, const std::string& installation,
                                                    std::unique_ptr<IDesktop> desktop,
                                                    std::unique_ptr<IEventPoster> poster,
                                                    const TRecognizerFactory& recognizer);

}  // namespace zel
