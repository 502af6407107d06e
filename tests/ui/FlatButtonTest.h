// Checks where the flat button puts its bitmap, caption and frame, and what it paints there.
#pragma once

#include <QObject>
#include <QPalette>

class TestFlatButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void captionFollowsBitmapAndGap();
    void captionlessButtonCentresBitmap_data();
    void captionlessButtonCentresBitmap();
    void captionWithoutBitmapIsCentred_data();
    void captionWithoutBitmapIsCentred();
    void ampersandUnderlinesNextLetter();
    void pressingMovesContentsAndSinksFrame();
    void missingBitmapIsRefused_data();
    void missingBitmapIsRefused();
    void flatFrameShowsOnlyWhileHovered();
    void disabledFaceIsEmbossed();
    void keyboardFocusIsMarkedInsideTheFrame();

private:
    QPalette m_savedPalette;
};
