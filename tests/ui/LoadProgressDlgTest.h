// Checks the load progress window: its look at start, its percentage and bar, and that
// every change is painted while no event loop runs.
#pragma once

#include <QObject>

class TestLoadProgressDlg : public QObject
{
    Q_OBJECT

private slots:
    void opensCentredEmptyAndWithoutCloseBox();
    void percentageIsTruncatedAndFollowsTheClampedBar_data();
    void percentageIsTruncatedAndFollowsTheClampedBar();
    void changesArePaintedWithoutAnEventLoop();
    void longBankPathKeepsItsFileNameInTheLegend_data();
    void longBankPathKeepsItsFileNameInTheLegend();
};
