#include "KorvaneApp.h"

int main(int argc, char** argv)
{
    CKorvaneApp app(argc, argv);
    return app.InitInstance();
}
