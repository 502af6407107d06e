#include "FlatButton.h"

#include "BitmapResource.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// The pixels a disabled control shows of its image: every opaque pixel that is not close to
// white, so that a white sheet keeps only its outline and the lines drawn on it.
QBitmap EmbossShape(const QPixmap& image)
{
    if (image.isNull())
        return {};
    const QImage source = image.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage shape(source.size(), QImage::Format_Mono);
    // A bitmap's white pixels are its unset bits, its black pixels the set ones.
    shape.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    shape.fill(0);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (qAlpha(pixel) >= 128 && qGray(pixel) < 224)
                shape.setPixel(x, y, 1);
        }
    }
    return QBitmap::fromImage(shape);
}

// Draws something the way disabled controls look: a highlight copy one pixel down and right
// under a shadow copy in place. `draw` paints with the painter's pen at the given offset.
template <typename Draw> void DrawEmbossed(QPainter& painter, const QPalette& palette, Draw draw)
{
    painter.setPen(palette.color(QPalette::Light));
    draw(QPoint(1, 1));
    painter.setPen(palette.color(QPalette::Dark));
    draw(QPoint(0, 0));
}

// A one-pixel frame on the outermost pixels of `rect`; the bottom-right colour also takes the
// top-right and bottom-left corners.
void Draw3dRect(QPainter& painter, const QRect& rect, const QColor& topLeft,
                const QColor& bottomRight)
{
    const int x = rect.x();
    const int y = rect.y();
    const int cx = rect.width();
    const int cy = rect.height();
    painter.fillRect(x, y, cx - 1, 1, topLeft);
    painter.fillRect(x, y, 1, cy - 1, topLeft);
    painter.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    painter.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

// Pressed contents move one pixel right and down.
QPoint PressOffset(bool pressed)
{
    return pressed ? QPoint(1, 1) : QPoint(0, 0);
}

// The lettering may reach past its advance width (overhangs): it is never clipped.
constexpr int CAPTION_FLAGS = Qt::TextShowMnemonic | Qt::TextSingleLine | Qt::TextDontClip;
// The focus mark's distance from the button's edge: inside the 3-D frame.
constexpr int kFocusInset = 3;

// The caption as it shows: "&" is dropped and the letter after it underlined, so "&&" shows
// a single "&".
QString VisibleCaption(const QString& caption)
{
    QString visible;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size())
            break;
        visible += caption[i];
    }
    return visible;
}

} // namespace

CFlatButton::CFlatButton(QWidget* parent) : CFlatButton(QString(), parent) {}

CFlatButton::CFlatButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), m_textColor(palette().color(QPalette::ButtonText)),
      m_backgroundColor(palette().color(QPalette::Button))
{
}

bool CFlatButton::SetButtonBitmap(int id, int width, int height)
{
    const QPixmap bitmap = CBitmapResource::Load(id);
    m_image = bitmap.isNull() ? QPixmap() : bitmap.scaled(width, height);
    m_disabledImage = EmbossShape(m_image);
    update();
    if (!HasImage())
        return false;
    m_nImageWidth = width;
    m_nImageHeight = height;
    return true;
}

int CFlatButton::SetImageTextGap(int gap)
{
    const int oldGap = m_nImageTextGap;
    m_nImageTextGap = gap;
    update();
    return oldGap;
}

void CFlatButton::SetFlat(bool flat)
{
    m_bFlat = flat;
}

QPoint CFlatButton::ImagePosition(bool pressed) const
{
    const int x = text().isEmpty() ? (width() - m_nImageWidth) >> 1 : rect().left() + m_nMargin;
    const int y = (height() - m_nImageHeight) >> 1;
    return QPoint(x, y) + PressOffset(pressed);
}

QPoint CFlatButton::CaptionPosition(bool pressed) const
{
    const QSize size = CaptionSize();
    const int x =
        HasImage() ? m_nImageWidth + m_nImageTextGap + m_nMargin : (width() - size.width()) / 2;
    // One pixel above the centre.
    const int y = (height() - size.height()) / 2 - 1;
    return QPoint(x, y) + PressOffset(pressed);
}

QSize CFlatButton::CaptionSize() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(VisibleCaption(text())), metrics.height()};
}

void CFlatButton::DrawFrame(QPainter& painter, const QRect& rect, const ItemState& state)
{
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    if (state.pressed)
        Draw3dRect(painter, rect, shadow, highlight);
    else if (!m_bFlat || m_bHovering)
        Draw3dRect(painter, rect, highlight, shadow);
}

void CFlatButton::DrawFace(QPainter& painter, const QRect& itemRect, const ItemState& state)
{
    painter.fillRect(itemRect,
                     state.disabled ? palette().color(QPalette::Button) : m_backgroundColor);
    if (HasImage())
        DrawImage(painter, state);
    if (!text().isEmpty())
        DrawCaption(painter, state);
    DrawFrame(painter, itemRect, state);
}

void CFlatButton::DrawImage(QPainter& painter, const ItemState& state) const
{
    const QPoint position = ImagePosition(state.pressed);
    if (!state.disabled) {
        painter.drawPixmap(position, m_image);
        return;
    }
    // A bitmap is drawn in the pen's colour where its bits are set.
    DrawEmbossed(painter, palette(), [&](const QPoint& offset) {
        painter.drawPixmap(position + offset, m_disabledImage);
    });
}

void CFlatButton::DrawCaption(QPainter& painter, const ItemState& state) const
{
    const QRect box(CaptionPosition(state.pressed), CaptionSize());
    if (!state.disabled) {
        painter.setPen(m_textColor);
        painter.drawText(box, CAPTION_FLAGS, text());
        return;
    }
    DrawEmbossed(painter, palette(), [&](const QPoint& offset) {
        painter.drawText(box.translated(offset), CAPTION_FLAGS, text());
    });
}

void CFlatButton::paintEvent(QPaintEvent* /*event*/)
{
    // Qt paints the parent's background under a widget that is not opaque before this runs,
    // so the face needs no extra pass to refresh what lies beneath it.
    QPainter painter(this);
    DrawFace(painter, rect(), {isDown(), !isEnabled()});
    if (hasFocus())
        DrawFocusMark(painter);
}

// The desktop's focus rectangle inside the frame, so that a keyboard user sees which button
// Space would press.
void CFlatButton::DrawFocusMark(QPainter& painter)
{
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void CFlatButton::enterEvent(QEnterEvent* event)
{
    SetHovering(true);
    QPushButton::enterEvent(event);
}

void CFlatButton::leaveEvent(QEvent* event)
{
    SetHovering(false);
    QPushButton::leaveEvent(event);
}

void CFlatButton::SetHovering(bool hovering)
{
    if (hovering == m_bHovering)
        return;
    m_bHovering = hovering;
    update();
}
