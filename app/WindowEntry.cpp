// The window library's entry point (see WindowLibrary.h), the only symbol it exports.
#include "KorvaneApp.h"
#include "WindowLibrary.h"

#include <type_traits>

extern "C" int KorvaneRunWindow(int* argc, char** argv, const QString* card,
                                const QString* fileToOpen)
{
    CKorvaneApp app(*argc, argv);
    return app.InitInstance(*card, *fileToOpen);
}

static_assert(std::is_same_v<decltype(&KorvaneRunWindow), CWindowLibrary::Entry>,
              "the entry point the program calls");
