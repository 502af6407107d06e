// The demo grid in a window of its own: headings, scroll bars, drop-down lists, check
// boxes and an arrow column to try by hand.
#include "DemoGrid.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

namespace {

constexpr int PlaceholderId = 1;

// Opens the in-place editor on a double click, as applications of the grid do, and
// shows a cell's whole text as its tip.
class CDemoGrid : public CTblCtrl
{
public:
    void OnCellDoubleClick(int col, long row, const QRect&, const QPoint&, int) override
    {
        if (col >= 0 && row >= 0)
            BeginEdit();
    }
    bool OnCellTip(int col, long row, int, QString& text) override
    {
        return GetCellText(col, row, text) == 0;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Grid"));
    dialog.resize(560, 360);
    auto* placeholder = new QLabel(QStringLiteral("Here the grid"), &dialog);
    placeholder->setProperty(CTblCtrl::ControlIdProperty, PlaceholderId);
    placeholder->setGeometry(10, 10, 540, 340);
    CDemoGrid grid;
    grid.AttachToDlgItem(&dialog, PlaceholderId);
    DemoGrid::Fill(grid, 200);
    grid.GetSheet()->m_bCellTips = 1;
    grid.GetSheet()->m_bVScrollTips = 1;
    dialog.show();
    return app.exec();
}
