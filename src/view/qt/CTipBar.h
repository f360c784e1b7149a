#pragma once
// The tip bar window: a borderless pop-up in tool-tip colours that never takes the
// activation and swallows the clicks it gets. Changes made through ITavTipBar are only
// recorded; UpdateAtIdle measures, places, shows and hides the window.

#include <QWidget>
#include <string>
#include <vector>

#include "view/ITavTipBar.h"

class CTipBar : public QWidget, public ITavTipBar {
    Q_OBJECT
public:
    static constexpr int kMargin = 2;

    explicit CTipBar(QWidget* parent = nullptr);

    void SetLines(std::vector<std::string> lines) override;
    void SetAnchor(TavPoint screenPoint) override;
    void SetOffset(TavPoint offset) override;
    void MarkChanged() override { m_changed = true; }
    void Show(bool show) override { m_shown = show; }
    bool IsShown() const override { return m_shown; }
    void UpdateAtIdle() override;

    const std::vector<std::string>& Lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<std::string> m_lines;
    TavPoint m_anchor;
    TavPoint m_offset;
    int m_textHeight = 0;
    bool m_shown = false;
    bool m_changed = false;
};
