#pragma once
// The client area of a root panel's window. It paints the panel through a back buffer
// (only the update region is redrawn and copied), turns mouse and key events into the
// view tree's records and sends the panel a timer event every 50 ms.

#include <QImage>
#include <QTimer>
#include <QWidget>

class CTavView;

class CPanelWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 50;

    CPanelWidget(CTavView& root, QWidget* parent = nullptr);

    // Draws the whole panel into an image of the panel's size (for screenshots and
    // benchmarks), through the same path as a paint.
    QImage Render();
    // Draws the given region of the panel into the back buffer.
    void PaintBackBuffer(const QRegion& region);
    const QImage& BackBuffer() const { return m_backBuffer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Mouse(QMouseEvent* event);

    CTavView& m_root;
    QImage m_backBuffer;
    QTimer m_timer;
};
