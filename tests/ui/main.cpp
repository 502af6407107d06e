// Runs every test class of the ui folder in one application object.
#include "BitmapResourceTest.h"
#include "FlatButtonTest.h"
#include "LoadProgressDlgTest.h"
#include "SystemTrayTest.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestBitmapResource bitmaps;
    TestFlatButton flatButton;
    int failed = QTest::qExec(&bitmaps, argc, argv);
    failed += QTest::qExec(&flatButton, argc, argv);
    TestLoadProgressDlg loadProgress;
    failed += QTest::qExec(&loadProgress, argc, argv);
    TestSystemTray systemTray;
    failed += QTest::qExec(&systemTray, argc, argv);
    return failed == 0 ? 0 : 1;
}
