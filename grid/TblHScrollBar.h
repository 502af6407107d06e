// The grid's horizontal scroll bar: one position per column past the locked ones.
#pragma once

#include "TblScrollBar.h"

class CTblHScrollBar : public CTblScrollBar
{
    Q_OBJECT

public:
    explicit CTblHScrollBar(CTblCtrl* grid);

protected:
    void Refresh() override;
    void Step(int kind) override;
    void ThumbPosition(int position) override;
    void ThumbTrack(int position) override;
};
