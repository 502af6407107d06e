// Runs the grid's widget tests in one application object.
#include "CellTypesTest.h"
#include "GridInputTest.h"
#include "GridLayoutTest.h"
#include "InPlaceEditTest.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestGridLayout layout;
    int failed = QTest::qExec(&layout, argc, argv);
    TestGridInput input;
    failed += QTest::qExec(&input, argc, argv);
    TestCellTypes cellTypes;
    failed += QTest::qExec(&cellTypes, argc, argv);
    TestInPlaceEdit edit;
    failed += QTest::qExec(&edit, argc, argv);
    return failed == 0 ? 0 : 1;
}
