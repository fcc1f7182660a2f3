#pragma once

// What the clock window asks of the windowing platform, gathered in one
// place: the time of day, text boxes with a synchronous change notification
// and a key filter, labels that size themselves to their text, the picture
// with its mouse notifications, the round window region, letting pending
// events run, and ending the program. The rest of the window calls only these
// and plain Qt widgets.

#include "time_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>

class QKeyEvent;
class QInputMethodEvent;
class QMouseEvent;

namespace telvo::platform {

// Positions and mouse coordinates reach the window's handlers in twips.
inline constexpr int kTwipsPerPixel = 15;

inline int PixelsFromTwips(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Where the window reads the time of day. Tests install their own.
using TimeSource = std::function<clock::TimeOfDay()>;

// The local time of day from the system clock. The conversion to local time
// (which also looks for a changed time zone) runs only when the system
// clock's second has changed: nine of the ten readings a second cost next to
// nothing.
class SystemTimeOfDay {
public:
    clock::TimeOfDay operator()();

private:
    long long second_ = -1; // of the system clock, when last converted
    clock::TimeOfDay local_;
};

inline std::u16string_view View(const QString &text) {
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}
inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

// A single-line text box. Its change notification (QLineEdit::textChanged)
// runs inside the statement that changes the text, and only when the text
// really changes. A key filter, when set, sees every typed character first
// and may drop it by setting it to 0.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    using KeyFilter = std::function<void(std::uint16_t &key)>;

    // Unlike a plain QLineEdit, it holds text of any length.
    explicit TextBox(QWidget *parent = nullptr);

    // Setting the text it already holds does nothing at all.
    void SetText(const QString &text);
    void SetKeyFilter(KeyFilter filter) { keyFilter_ = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // The typed characters that the filter lets through.
    QString Filtered(const QString &typed) const;

    KeyFilter keyFilter_;
};

// A label with a transparent background that sizes itself to its text on one
// line whenever its caption changes. A centred label keeps its centre in
// place as it grows or shrinks; any other keeps its left edge.
class AutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void SetCaption(const QString &caption);

private:
    int centreTwice_ = -1; // twice the design centre's x, taken before the first new caption
};

// Mouse notifications in the form the window's handlers take them.
struct MouseArgs {
    int button = 0; // 1 left, 2 right, 4 middle; a set of them while moving
    int shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt
    float x = 0;    // twips from the window's top-left corner
    float y = 0;
};

// A picture drawn stretched over the whole control. After a press on it,
// its move and release notifications keep coming to it until the button is
// released.
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
    QPixmap stretched_;    // the picture at the control's size, made on demand
    bool pressed_ = false; // a button went down here and is not yet released
};

// A window region: the rounded rectangle from (left, top) to (right,
// bottom), right and bottom edges excluded, whose corners are quarters of an
// ellipse ellipseWidth by ellipseHeight. All in window pixels.
QRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// From now on the window shows itself and takes the mouse only inside the
// region; outside it, clicks fall through to what lies beneath.
bool SetWindowRgn(QWidget *window, const QRegion &region, bool redraw);

// Whether the compositor alone places windows (Wayland): a window cannot
// move itself there, and what lies outside its region must be transparent.
bool CompositorPlacesWindows();

// Whether the window must draw nothing outside its region itself, through a
// translucent background: where a compositor draws the desktop, the region
// may limit only input.
bool DrawsTranslucent();

// Where the compositor places windows, asks it to move this one with the
// pointer until the button is released; false where the window moves itself.
bool StartCompositorMove(QWidget *window);

// Handles queued input and repaints before returning.
void ProcessPendingEvents();

// Ends the program with status 0. No handler of the window runs afterwards.
void EndProgram(QWidget *window);

// Where the window is on the screen, in pixels, as the windowing system
// last reported it.
QRect WindowPlace(const QWidget *window);

// The window's position on the screen, in twips.
double WindowLeft(const QWidget *window);
double WindowTop(const QWidget *window);
void SetWindowLeft(QWidget *window, double twips);
void SetWindowTop(QWidget *window, double twips);

} // namespace telvo::platform
