#include "DialogBuilderTest.h"
#include "MenuBuilderTest.h"
#include "QtServicesTest.h"
#include "SingleInstanceTest.h"

#include <QApplication>
#include <QTest>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], SingleInstanceTest::ClaimAtOnceOption) == 0)
        return SingleInstanceTest::ClaimAtOnce(argc, argv);
    // Qt's own file dialog, which the tests can drive, whatever the desktop offers.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    int failed = 0;
    DialogBuilderTest dialogBuilder;
    failed += QTest::qExec(&dialogBuilder, argc, argv);
    MenuBuilderTest menuBuilder;
    failed += QTest::qExec(&menuBuilder, argc, argv);
    QtServicesTest services;
    failed += QTest::qExec(&services, argc, argv);
    SingleInstanceTest singleInstance;
    failed += QTest::qExec(&singleInstance, argc, argv);
    return failed == 0 ? 0 : 1;
}
