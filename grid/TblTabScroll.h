// The little scroll bar at the left of the sheet tabs: its two arrows move the strip of
// tabs sideways when they do not all fit.
#pragma once

#include <QScrollBar>

class CTblTabScroll : public QScrollBar
{
    Q_OBJECT

public:
    explicit CTblTabScroll(QWidget* parent);

    // Its width: room for the two arrows.
    int ArrowsWidth() const;
};
