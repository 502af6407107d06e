#include "FluidSynthApi.h"

#include "FluidSynthLog.h"

#include <QLibrary>

namespace {

// The library's ABI version since FluidSynth 2.2, whose header this program is built with.
constexpr int kAbiVersion = 3;

struct LoadedApi
{
    LoadedApi()
    {
        library.setFileNameAndVersion(QStringLiteral("fluidsynth"), kAbiVersion);
        if (!library.load()) {
            error = library.errorString();
            return;
        }
#define KORVANE_FLUIDSYNTH_RESOLVE(name)                                                           \
    api.name = reinterpret_cast<decltype(api.name)>(library.resolve(#name));                       \
    if (!api.name) {                                                                               \
        error = library.errorString();                                                             \
        return;                                                                                    \
    }
        KORVANE_FLUIDSYNTH_FUNCTIONS(KORVANE_FLUIDSYNTH_RESOLVE)
#undef KORVANE_FLUIDSYNTH_RESOLVE
        CFluidSynthLog::Install(api);
        complete = true;
    }

    QLibrary library;
    CFluidSynthApi api;
    QString error;
    bool complete = false;
};

} // namespace

const CFluidSynthApi* CFluidSynthApi::Get(QString* error)
{
    // Loaded once for the whole program, from whichever thread asks first; never unloaded,
    // since audio threads may still run inside it at exit.
    static const LoadedApi* const loaded = new LoadedApi;
    if (!loaded->complete && error)
        *error = loaded->error;
    return loaded->complete ? &loaded->api : nullptr;
}
