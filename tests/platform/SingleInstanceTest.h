#pragma once

#include <QObject>

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void laterStartHandsOverToTheFirst();
    void socketLeftByACrashedCopyIsTakenOver();
    void fileOfALaterStartReachesTheFirst();
};
