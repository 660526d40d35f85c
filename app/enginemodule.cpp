#include "app/enginemodule.h"

#include "browser/browserengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <cstdio>

namespace tarnelo {
namespace {

constexpr char moduleName[] = "tarnelo_webengine";

QString findModule()
{
    const QStringList places = {QCoreApplication::applicationDirPath(), QStringLiteral(TARNELO_MODULE_DIR)};
    for (const QString &dir : places) {
        const QString path = QDir(dir).filePath(QLatin1String(moduleName) + QLatin1String(".so"));
        if (QFile::exists(path))
            return path;
    }
    return QLatin1String(moduleName);  // let the loader search its own paths
}

// Loaded into a running application, the engine warns that it should have been
// set up before the application object; the module does that set-up itself, so
// the two warnings say nothing the user could act on. Installed only while the
// module loads.
QtMessageHandler previousHandler = nullptr;

void dropLateSetUpWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin"))
            || message.startsWith(QLatin1String("Attribute Qt::AA_ShareOpenGLContexts must be set before"))))
        return;
    previousHandler(type, context, message);
}

struct LateSetUpWarningsDropped {
    LateSetUpWarningsDropped() { previousHandler = qInstallMessageHandler(dropLateSetUpWarnings); }
    ~LateSetUpWarningsDropped() { qInstallMessageHandler(previousHandler); }
};

} // namespace

std::unique_ptr<BrowserEngine> loadBrowserEngine()
{
    // The library stays loaded for the life of the process.
    QLibrary library(findModule());
    const LateSetUpWarningsDropped quiet;
    if (!library.load()) {
        std::fprintf(stderr, "tarnelo: cannot load the web engine: %s\n", qPrintable(library.errorString()));
        return nullptr;
    }
    auto create = reinterpret_cast<CreateBrowserEngine>(library.resolve(createBrowserEngineSymbol));
    if (!create) {
        std::fprintf(stderr, "tarnelo: %s is not Tarnelo's web engine module\n", qPrintable(library.fileName()));
        return nullptr;
    }
    return std::unique_ptr<BrowserEngine>(create());
}

} // namespace tarnelo
