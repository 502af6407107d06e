// A push button that draws a small bitmap and its caption on a plain face with a thin 3-D frame.
#pragma once

#include <QBitmap>
#include <QColor>
#include <QPixmap>
#include <QPushButton>

class CFlatButton : public QPushButton
{
    Q_OBJECT

public:
    // What the face is drawn for.
    struct ItemState
    {
        bool pressed = false;
        bool disabled = false;
    };

    explicit CFlatButton(QWidget* parent = nullptr);
    explicit CFlatButton(const QString& text, QWidget* parent = nullptr);

    // Loads bitmap resource `id` and scales it to width x height. False when there is no such
    // bitmap: the button is then drawn without one and keeps its former image size.
    bool SetButtonBitmap(int id, int width, int height);
    // Returns the previous gap between the bitmap and the caption.
    int SetImageTextGap(int gap);
    // In flat mode the frame shows only while the mouse is over the button.
    void SetFlat(bool flat);

    bool HasImage() const { return !m_image.isNull(); }
    QSize ImageSize() const { return {m_nImageWidth, m_nImageHeight}; }
    bool IsHovering() const { return m_bHovering; }

    // Top-left corners of the bitmap and of the caption's text box on the face.
    QPoint ImagePosition(bool pressed) const;
    QPoint CaptionPosition(bool pressed) const;

protected:
    virtual void DrawFrame(QPainter& painter, const QRect& rect, const ItemState& state);
    virtual void DrawFace(QPainter& painter, const QRect& itemRect, const ItemState& state);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHovering(bool hovering);
    QSize CaptionSize() const;
    void DrawImage(QPainter& painter, const ItemState& state) const;
    void DrawCaption(QPainter& painter, const ItemState& state) const;
    void DrawFocusMark(QPainter& painter);

    QColor m_textColor;
    QColor m_backgroundColor;
    int m_nMargin = 4;
    int m_nImageTextGap = 8;
    QPixmap m_image;
    // The image's shape, drawn embossed while the button is disabled.
    QBitmap m_disabledImage;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    bool m_bFlat = true;
    bool m_bHovering = false;
};
