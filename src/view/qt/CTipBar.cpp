#include "view/qt/CTipBar.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "script/qt/TavShiftJis.h"

CTipBar::CTipBar(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    // The system's tool-tip colours as the window's background and text.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    setAutoFillBackground(true);
}

void CTipBar::SetLines(std::vector<std::string> lines) {
    m_lines = std::move(lines);
    m_changed = true;
}

void CTipBar::SetAnchor(TavPoint screenPoint) {
    m_anchor = screenPoint;
    m_changed = true;
}

void CTipBar::SetOffset(TavPoint offset) {
    m_offset = offset;
    m_changed = true;
}

void CTipBar::UpdateAtIdle() {
    if (m_shown && m_changed) {
        const QFontMetrics metrics(font());
        int widest = 0;
        m_textHeight = 0;
        for (const std::string& line : m_lines) {
            widest = std::max(widest, metrics.horizontalAdvance(TavDecodeShiftJis(line)));
            m_textHeight += metrics.height();
        }
        setGeometry(m_anchor.x + m_offset.x, m_anchor.y + m_offset.y, widest + 1 + 2 * kMargin,
                    m_textHeight + 2 * kMargin);
        update();
        m_changed = false;
    }
    if (isVisible() && !m_shown) {
        hide();
    } else if (m_shown && !isVisible()) {
        show(); // a tool-tip window stays on top by itself
    }
}

void CTipBar::paintEvent(QPaintEvent*) {
    if (m_lines.empty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const int pitch = m_textHeight / static_cast<int>(m_lines.size());
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const QRect line(kMargin, kMargin + static_cast<int>(i) * pitch, width() - kMargin, pitch);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         TavDecodeShiftJis(m_lines[i]));
    }
}

// Clicks on the tip bar do nothing and go nowhere else.
void CTipBar::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CTipBar::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CTipBar::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}
