#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QMouseEvent;

namespace telvo::platform {

// Mouse notifications in the form the window's handlers take them.
struct MouseArgs {
    int button = 0; // 1 left, 2 right, 4 middle; a set of them while moving
    int shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt
    float x = 0;    // twips from the window's top-left corner
    float y = 0;
};

// A picture, drawn at 1, 2 or 3 device pixels to the window pixel: each
// screen takes the one drawn for its scale, or the next finer one.
using PictureSource = std::function<QImage(int scale)>;

// The scale of the picture that suits a screen's device pixel ratio.
int PictureScale(qreal devicePixelRatio);

// A picture drawn stretched over the whole control, with a pointer of its
// own; both come at the resolution of the screen. After a press on it,
// its move and release notifications keep coming to it until the button is
// released. Where the compositor places windows, a press hands it the move
// of the window and ends the drag here at once.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void SetPicture(PictureSource source);
    // The pointer over the picture; its hot spot in window pixels.
    void SetMouseIcon(PictureSource source, QPoint hotSpot);
    // The picture as it is drawn at a device pixel ratio.
    QPixmap Drawn(qreal devicePixelRatio) const;

signals:
    void MouseDown(telvo::platform::MouseArgs args);
    void MouseMove(telvo::platform::MouseArgs args);
    void MouseUp(telvo::platform::MouseArgs args);
    void DblClick();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    MouseArgs ArgsOf(const QMouseEvent *event, Qt::MouseButtons buttons) const;
    void UpdatePointer();

    PictureSource picture_;
    QPixmap stretched_; // the picture at the control's size on its screen, made on demand
    PictureSource pointer_;
    QPoint hotSpot_;
    qreal pointerRatio_ = 0;           // the device pixel ratio the pointer was made for
    Qt::MouseButtons compositorMoves_; // the buttons whose moves the compositor may run
};

} // namespace telvo::platform
