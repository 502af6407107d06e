// A window holding a placeholder that a grid takes the place of, beside a line edit
// outside the grid, shown and active so that focus changes happen as for a user.
#pragma once

#include "TblCellArea.h"
#include "TblCtrl.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <memory>

class CGridWindow
{
public:
    static constexpr int PlaceholderId = 1021;

    // The placeholder's rectangle is the grid's; the line edit sits below it.
    explicit CGridWindow(const QRect& gridRect = QRect(10, 10, 400, 300))
    {
        m_window.resize(gridRect.right() + 20, gridRect.bottom() + 60);
        m_pPlaceholder = new QLabel(QStringLiteral("grid here"), &m_window);
        m_pPlaceholder->setProperty(CTblCtrl::ControlIdProperty, PlaceholderId);
        m_pPlaceholder->setGeometry(gridRect);
        m_pOther = new QLineEdit(&m_window);
        m_pOther->setGeometry(gridRect.left(), gridRect.bottom() + 20, 100, 24);
    }

    // The grid lives on the test's stack: the window must not delete it with its children.
    ~CGridWindow()
    {
        if (m_pGrid)
            m_pGrid->setParent(nullptr);
    }

    CGridWindow(const CGridWindow&) = delete;
    CGridWindow& operator=(const CGridWindow&) = delete;

    // Attaches the grid, shows the window and waits until it is active.
    bool Show(CTblCtrl& grid)
    {
        if (grid.AttachToDlgItem(&m_window, PlaceholderId) != 0)
            return false;
        m_pGrid = &grid;
        m_window.show();
        m_window.activateWindow();
        return QTest::qWaitForWindowActive(&m_window);
    }

    QWidget m_window;
    QPointer<CTblCtrl> m_pGrid;
    QLabel* m_pPlaceholder;
    QLineEdit* m_pOther;
};

// What the window shows of a widget: the backing store, which the grid's scrolling shifts.
inline QImage OnScreen(CGridWindow& window, QWidget* widget)
{
    QCoreApplication::processEvents();
    const QPoint at = widget->mapTo(&window.m_window, QPoint(0, 0));
    return window.m_window.screen()
        ->grabWindow(window.m_window.winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The widget painted afresh, as a whole.
inline QImage FreshPaint(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool IsInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// The bounding box of the dark pixels inside a rectangle of an image.
inline QRect InkBox(const QImage& image, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (IsInk(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// The centre of a cell in the cell area, which must be shown.
inline QPoint CellCentre(CTblCtrl& grid, int col, long row)
{
    QRect rect;
    return grid.VisibleCellRect(col, row, rect) ? rect.center() : QPoint(-1, -1);
}

inline void Wheel(QWidget* widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// A mouse move without buttons, as the window system sends when the mouse hovers.
inline void Hover(QWidget* widget, const QPoint& at)
{
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
