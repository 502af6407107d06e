// Checks that every bitmap and the program icon are compiled in and found by id.
#pragma once

#include <QObject>

class TestBitmapResource : public QObject
{
    Q_OBJECT

private slots:
    void loadsBitmapAtItsSize_data();
    void loadsBitmapAtItsSize();
    void unknownIdGivesNullPixmap_data();
    void unknownIdGivesNullPixmap();
    void onlyTheProgramIconIsAnIcon();
    void scalableIconIsWellFormed();
};
