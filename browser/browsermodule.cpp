// The entry point of the web engine module; see browserengine.h.

#include "browser/webenginebrowser.h"

#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace QtWebEngineCore {
// The engine's own process-wide set-up (it makes the OpenGL context that its
// compositor shares). It runs by itself only for programs that link the engine
// and so start it before their application object; a module loaded later has
// to ask for it.
Q_WEBENGINECORE_EXPORT void initialize();
} // namespace QtWebEngineCore

extern "C" Q_DECL_EXPORT tarnelo::BrowserEngine *tarnelo_create_browser_engine()
{
    QtWebEngineCore::initialize();
    return new tarnelo::WebEngineBrowser;  // owned by whoever loaded the module
}
