// The grid's vertical scroll bar. Above 1000 possible top rows its positions are scaled
// to 0..1000, so that any row count fits; mode 2 of the sheet makes it a three-position
// bar whose arrows and page areas step the view.
#pragma once

#include "TblScrollBar.h"

class CTblVScrollBar : public CTblScrollBar
{
    Q_OBJECT

public:
    // Scaled bars have this many positions past the first.
    static constexpr int ScaledPositions = 1000;

    explicit CTblVScrollBar(CTblCtrl* grid);

    // The position that shows a top row, and the top row a position shows.
    int PositionOf(long topRow) const;
    long RowAt(int position) const;

protected:
    void Refresh() override;
    void Step(int kind) override;
    void ThumbPosition(int position) override;
    void ThumbTrack(int position) override;
    // The wheel scrolls rows, as over the cells, not bar positions.
    void wheelEvent(QWheelEvent* event) override;

private:
    bool Scaled() const;
};
