#pragma once

#include <QObject>

class SingleInstanceTest : public QObject
{
    Q_OBJECT

public:
    // The copy of the test program that the race test starts many times:
    // --claim-at-once <go file> <starts>. It claims once the go file exists, says whether it
    // was the first, and the first waits to hear of the other starts, saying how many came.
    static constexpr char ClaimAtOnceOption[] = "--claim-at-once";
    static int ClaimAtOnce(int argc, char** argv);

private slots:
    void startsAtTheSameMomentLeaveOneFirst();
    void laterStartHandsOverToTheFirst();
    void socketLeftByACrashedCopyIsTakenOver();
    void fileOfALaterStartReachesTheFirst();
};
