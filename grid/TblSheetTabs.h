// The strip of sheet tabs at the bottom left of the grid: up to 64 labelled tabs, one of
// them current. A click on a tab makes it current, scrolls it into view and tells the
// application (OnSheetTabClick) with the tab's id; the application decides what to show.
#pragma once

#include "TblChildWindow.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <vector>

class CTblCtrl;
class CTblTabScroll;

class CTblSheetTabs : public QWidget, public CTblChildWindow
{
    Q_OBJECT

public:
    static constexpr int MaxTabs = 64;

    explicit CTblSheetTabs(CTblCtrl* grid);

    QWidget* Widget() override { return this; }
    void SetSheet(CTblSheet* sheet) override;
    void UpdateAfterMove() override {}
    void RepaintAll() override;
    void RepaintCell(int, long) override {}

    // The index of the new tab, -1 when the strip is full.
    int AddTab(const QString& label, int id);
    void RemoveAllTabs();
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    int GetCurTab() const { return m_nCurTab; }
    // Makes a tab current and scrolls it into view; false for no such tab.
    bool SetCurTab(int index);
    // The tab at a point of the strip, -1 when none.
    int TabAt(const QPoint& point) const;
    // A tab's rectangle in the strip as it is scrolled.
    QRect TabRect(int index) const;
    // The labels' font: "Arial" with lines of 14 pixels, less where the strip is lower.
    const QFont& LabelFont() const { return m_font; }
    int GetOffset() const { return m_nOffset; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Tab
    {
        QString label;
        int id;
    };

    int TabWidth(int index) const;
    int TabLeft(int index) const;
    int TotalWidth() const;
    // Where the tabs start: right of the arrows.
    int StripLeft() const;
    void ScrollIntoView(int index);
    void UpdateScroll();
    void SetOffset(int offset);

    CTblCtrl* m_pGrid;
    std::vector<Tab> m_tabs;
    int m_nCurTab = -1;
    int m_nOffset = 0;
    CTblTabScroll* m_pScroll;
    QFont m_font;
};
