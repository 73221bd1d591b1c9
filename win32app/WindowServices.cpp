#include "win32app/WindowServices.h"

#include "form/ZelServices.h"
#include "platform/win32/Win32Desktop.h"
#include "recognition/SphinxControl.h"
#include "win32app/Win32EventPoster.h"

namespace zel {

std::unique_ptr<IWindowServices> MakeWin32Services(const TProgramFolders& folders) {
    return MakeWindowServices(folders.Runtime, folders.Installation, std::make_unique<TWin32Desktop>(),
                              std::make_unique<TWin32EventPoster>(),
                              [](IEventPoster& poster) { return std::make_unique<TSphinxControl>(poster); });
}

}  // namespace zel
