// The program itself, ended by its first paint (see StartupBench.cpp).
#include "FirstPaintProbe.h"
#include "KorvaneApp.h"

int main(int argc, char** argv)
{
    CKorvaneApp app(argc, argv);
    CFirstPaintProbe probe;
    app.installEventFilter(&probe);
    return app.InitInstance();
}
