#pragma once

#include <QPixmap>
#include <QWidget>

class QMouseEvent;

namespace telvo::platform {

// Mouse notifications in the form the window's handlers take them.
struct MouseArgs {
    int button = 0; // 1 left, 2 right, 4 middle; a set of them while moving
    int shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt
    float x = 0;    // twips from the window's top-left corner
    float y = 0;
};

// A picture drawn stretched over the whole control. After a press on it,
// its move and release notifications keep coming to it until the button is
// released. Where the compositor places windows, a press hands it the move
// of the window and ends the drag here at once.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void SetPicture(const QPixmap &picture);

signals:
    void MouseDown(telvo::platform::MouseArgs args);
    void MouseMove(telvo::platform::MouseArgs args);
    void MouseUp(telvo::platform::MouseArgs args);
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    MouseArgs ArgsOf(const QMouseEvent *event, Qt::MouseButtons buttons) const;

    QPixmap picture_;
    QPixmap stretched_;                // the picture at the control's size, made on demand
    Qt::MouseButtons compositorMoves_; // the buttons whose moves the compositor may run
};

} // namespace telvo::platform
