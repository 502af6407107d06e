#include "FlatButtonTest.h"

#include "BitmapResource.h"
#include "FlatButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QTest>

namespace {

// Colours every button in these tests is built with, set on the application beforehand.
const QColor FACE(0xC0, 0xC0, 0xC0);
const QColor TEXT(0x00, 0x00, 0x00);
const QColor HIGHLIGHT(0xFF, 0xFF, 0xFF);
const QColor SHADOW(0x80, 0x80, 0x80);

// Counts how often the face is drawn, to see repaints.
class CCountingButton : public CFlatButton
{
public:
    int m_nFaces = 0;

protected:
    void DrawFace(QPainter& painter, const QRect& itemRect, const ItemState& state) override
    {
        ++m_nFaces;
        CFlatButton::DrawFace(painter, itemRect, state);
    }
};

QImage Face(CFlatButton& button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor At(const QImage& face, QPoint point)
{
    return QColor(face.pixel(point));
}

// True when any pixel of `area` has `colour`.
bool Contains(const QImage& face, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (At(face, {x, y}) == colour)
                return true;
        }
    }
    return false;
}

void ShowAndWait(QWidget& widget)
{
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
}

} // namespace

void TestFlatButton::initTestCase()
{
    m_savedPalette = QApplication::palette();
    QPalette palette = m_savedPalette;
    palette.setColor(QPalette::Button, FACE);
    palette.setColor(QPalette::ButtonText, TEXT);
    palette.setColor(QPalette::Light, HIGHLIGHT);
    palette.setColor(QPalette::Midlight, QColor(0xE0, 0xE0, 0xE0));
    palette.setColor(QPalette::Dark, SHADOW);
    palette.setColor(QPalette::Shadow, QColor(0x40, 0x40, 0x40));
    QApplication::setPalette(palette);
}

void TestFlatButton::cleanupTestCase()
{
    QApplication::setPalette(m_savedPalette);
}

void TestFlatButton::captionFollowsBitmapAndGap()
{
    CFlatButton button(QStringLiteral("Midi Mapping"));
    button.resize(201, 25);
    QVERIFY(button.SetButtonBitmap(218, 16, 15));
    QCOMPARE(button.SetImageTextGap(45), 8);
    QCOMPARE(button.SetImageTextGap(45), 45);

    QCOMPARE(button.ImageSize(), QSize(16, 15));
    QCOMPARE(button.ImagePosition(false), QPoint(4, 5));
    QCOMPARE(button.CaptionPosition(false),
             QPoint(65, (25 - button.fontMetrics().height()) / 2 - 1));

    // The gap between the bitmap and the caption stays empty; the lettering starts after it.
    const QImage face = Face(button);
    QVERIFY(!Contains(face, QRect(20, 1, 45, 23), TEXT));
    QVERIFY(Contains(face, QRect(65, 1, 10, 23), TEXT));
}

void TestFlatButton::captionlessButtonCentresBitmap_data()
{
    QTest::addColumn<QSize>("buttonSize");
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("stop") << QSize(21, 21) << 215 << QSize(10, 10) << QPoint(5, 5);
    QTest::newRow("browse, squeezed") << QSize(21, 21) << 219 << QSize(15, 19) << QPoint(3, 1);
    QTest::newRow("even sides") << QSize(22, 20) << 216 << QSize(10, 10) << QPoint(6, 5);
    // Halving by shifting rounds towards minus infinity.
    QTest::newRow("larger than the button")
        << QSize(7, 7) << 215 << QSize(10, 10) << QPoint(-2, -2);
}

void TestFlatButton::captionlessButtonCentresBitmap()
{
    QFETCH(QSize, buttonSize);
    QFETCH(int, id);
    QFETCH(QSize, imageSize);
    QFETCH(QPoint, expected);

    CFlatButton button;
    button.resize(buttonSize);
    QVERIFY(button.SetButtonBitmap(id, imageSize.width(), imageSize.height()));
    QCOMPARE(button.ImagePosition(false), expected);

    if (expected.x() < 0)
        return;
    // The bitmap's centre pixel lands where the position says.
    const QImage bitmap = CBitmapResource::Load(id).scaled(imageSize).toImage();
    const QPoint centre(imageSize.width() / 2, imageSize.height() / 2);
    QCOMPARE(qAlpha(bitmap.pixel(centre)), 255);
    QCOMPARE(At(Face(button), expected + centre), QColor(bitmap.pixel(centre)));
}

void TestFlatButton::captionWithoutBitmapIsCentred_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");

    QTest::newRow("plain") << "OK"
                           << "OK";
    QTest::newRow("mnemonic") << "&Open"
                              << "Open";
    QTest::newRow("literal ampersand") << "R&&B"
                                       << "R&B";
}

void TestFlatButton::captionWithoutBitmapIsCentred()
{
    QFETCH(QString, caption);
    QFETCH(QString, shown);

    CFlatButton button(caption);
    button.resize(90, 20);
    const QFontMetrics metrics = button.fontMetrics();

    QCOMPARE(button.CaptionPosition(false),
             QPoint((90 - metrics.horizontalAdvance(shown)) / 2, (20 - metrics.height()) / 2 - 1));
}

void TestFlatButton::ampersandUnderlinesNextLetter()
{
    CFlatButton plain(QStringLiteral("Open"));
    CFlatButton mnemonic(QStringLiteral("&Open"));
    plain.resize(90, 24);
    mnemonic.resize(90, 24);

    // The same lettering in the same place, with an underline below the baseline.
    const QImage plainFace = Face(plain);
    const QImage mnemonicFace = Face(mnemonic);
    const int baseline = plain.CaptionPosition(false).y() + plain.fontMetrics().ascent();
    QCOMPARE(mnemonicFace.copy(0, 0, 90, baseline), plainFace.copy(0, 0, 90, baseline));
    QVERIFY(mnemonicFace != plainFace);
}

void TestFlatButton::pressingMovesContentsAndSinksFrame()
{
    CFlatButton button(QStringLiteral("Play"));
    button.resize(60, 21);
    button.SetFlat(false);
    QVERIFY(button.SetButtonBitmap(215, 10, 10));
    ShowAndWait(button);
    QCOMPARE(button.ImagePosition(true), button.ImagePosition(false) + QPoint(1, 1));
    QCOMPARE(button.CaptionPosition(true), button.CaptionPosition(false) + QPoint(1, 1));

    const QImage raised = Face(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 10));
    QVERIFY(button.isDown());
    const QImage sunken = Face(button);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 10));
    QCOMPARE(Face(button), raised);

    // The bottom-right colour also owns the top-right and bottom-left corners.
    for (const QPoint& corner : {QPoint(59, 20), QPoint(59, 0), QPoint(0, 20)}) {
        QCOMPARE(At(raised, corner), SHADOW);
        QCOMPARE(At(sunken, corner), HIGHLIGHT);
    }
    QCOMPARE(At(raised, {0, 0}), HIGHLIGHT);
    QCOMPARE(At(sunken, {0, 0}), SHADOW);

    // The square's top-left border pixel follows the press.
    const QColor border(CBitmapResource::Load(215).toImage().pixel(1, 1));
    const QPoint corner = button.ImagePosition(false) + QPoint(1, 1);
    QCOMPARE(At(raised, corner), border);
    QCOMPARE(At(sunken, corner), FACE);
    QCOMPARE(At(sunken, corner + QPoint(1, 1)), border);
}

void TestFlatButton::missingBitmapIsRefused_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");

    QTest::newRow("unknown id") << 4242 << QSize(12, 12);
    QTest::newRow("empty size") << 215 << QSize(0, 10);
}

void TestFlatButton::missingBitmapIsRefused()
{
    QFETCH(int, id);
    QFETCH(QSize, size);

    CFlatButton button;
    button.resize(21, 21);
    button.SetFlat(false);
    QVERIFY(button.SetButtonBitmap(215, 10, 10));
    QVERIFY(!button.SetButtonBitmap(id, size.width(), size.height()));
    QVERIFY(!button.HasImage());
    QCOMPARE(button.ImageSize(), QSize(10, 10));

    // Still painted: a plain face inside a raised frame.
    QImage plain(19, 19, QImage::Format_RGB32);
    plain.fill(FACE);
    const QImage face = Face(button);
    QCOMPARE(face.copy(1, 1, 19, 19), plain);
    QCOMPARE(At(face, {0, 0}), HIGHLIGHT);
    QCOMPARE(At(face, {20, 20}), SHADOW);
}

void TestFlatButton::flatFrameShowsOnlyWhileHovered()
{
    CCountingButton button;
    button.resize(21, 21);
    QVERIFY(!button.IsHovering());
    QCOMPARE(At(Face(button), {0, 0}), FACE);
    QCOMPARE(At(Face(button), {20, 20}), FACE);

    // Shown, the window may open under the pointer: start from the pointer being elsewhere.
    ShowAndWait(button);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);

    button.m_nFaces = 0;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    QTRY_VERIFY(button.m_nFaces > 0);
    QCOMPARE(At(Face(button), {0, 0}), HIGHLIGHT);
    QCOMPARE(At(Face(button), {20, 20}), SHADOW);

    button.m_nFaces = 0;
    QApplication::sendEvent(&button, &leave);
    QTRY_VERIFY(button.m_nFaces > 0);
    QCOMPARE(At(Face(button), {0, 0}), FACE);

    button.SetFlat(false);
    QCOMPARE(At(Face(button), {0, 0}), HIGHLIGHT);
}

void TestFlatButton::disabledFaceIsEmbossed()
{
    CFlatButton button(QStringLiteral("Midi"));
    button.resize(60, 21);
    button.SetFlat(false);
    QVERIFY(button.SetButtonBitmap(215, 10, 10));
    // The enabled face keeps the colour read at construction; the disabled one follows the
    // palette.
    const QColor laterFace(0xD4, 0xD0, 0xC8);
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, laterFace);
    button.setPalette(palette);
    QCOMPARE(At(Face(button), {2, 2}), FACE);

    button.setEnabled(false);
    const QImage face = Face(button);
    QCOMPARE(At(face, {2, 2}), laterFace);
    QCOMPARE(At(face, {0, 0}), HIGHLIGHT);

    // The square covers 1..8 of the bitmap: shadow in place, highlight one pixel further.
    const QPoint image = button.ImagePosition(false);
    QCOMPARE(At(face, image), laterFace);
    QCOMPARE(At(face, image + QPoint(1, 1)), SHADOW);
    QCOMPARE(At(face, image + QPoint(5, 5)), SHADOW);
    QCOMPARE(At(face, image + QPoint(9, 9)), HIGHLIGHT);

    const QFontMetrics metrics = button.fontMetrics();
    const QRect caption(button.CaptionPosition(false),
                        QSize(metrics.horizontalAdvance(button.text()) + 2, metrics.height() + 1));
    QVERIFY(!Contains(face, caption, TEXT));
    QVERIFY(Contains(face, caption, SHADOW));
    QVERIFY(Contains(face, caption, HIGHLIGHT));
}

// Only the button that the keyboard moved the focus to shows the mark, inside its frame: the
// frame's corner is untouched.
void TestFlatButton::keyboardFocusIsMarkedInsideTheFrame()
{
    QWidget window;
    auto* button = new CFlatButton(QStringLiteral("Midi"), &window);
    auto* other = new CFlatButton(QStringLiteral("Other"), &window);
    button->setGeometry(0, 0, 60, 21);
    other->setGeometry(0, 30, 60, 21);
    button->SetFlat(false);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = Face(*button);
    QTest::keyClick(other, Qt::Key_Tab);
    QVERIFY(button->hasFocus());
    const QImage focused = Face(*button);
    QVERIFY(focused != unfocused);
    QCOMPARE(At(focused, {0, 0}), At(unfocused, {0, 0}));
    QCOMPARE(At(focused, {1, 1}), At(unfocused, {1, 1}));
}
