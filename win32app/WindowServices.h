#pragma once
// The real parts behind the Windows window (form/ZelServices.h): the
// Windows desktop, the PocketSphinx control, the events posted through the
// window's message loop.
#include <memory>
#include <string>

#include "form/WindowServices.h"
#include "platform/RuntimeFolder.h"

namespace zel {

std::unique_ptr<IWindowServices> MakeWin32Services(const TProgramFolders& folders);

}  // namespace zel
