#pragma once

#include "drag_state.h"
#include "platform.h"
#include "timer.h"

#include <QWidget>

#include <cstdint>

class QAction;
class QMenu;

namespace telvo {

// The clock window: a picture with the time in digits and, below them, the
// hour, minute and second in words. Controls and handlers keep the names
// they have always had; the text boxes lie outside the visible circle and
// carry the time from Timer2 to the change handler of txtCifre.
class FrmTelvo : public QWidget {
    Q_OBJECT
public:
    explicit FrmTelvo(platform::TimeSource timeOfDay = platform::SystemTimeOfDay(),
                      QWidget *parent = nullptr);
    ~FrmTelvo() override;

    // Handlers, named after their control and event.
    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void txtCifre_Change();
    void txtCifre_KeyPress(std::uint16_t &KeyAscii);
    void Image1_MouseDown(platform::MouseArgs args);
    void Image1_MouseMove(platform::MouseArgs args);
    void Image1_MouseUp(platform::MouseArgs args);
    void Image1_DblClick();

private:
    void CreateControls();
    void ConnectHandlers();

    platform::TimeSource timeOfDay_;
    clock::DragState drag_;

    // In the order the window defines them; earlier ones lie above later ones.
    platform::TextBox *Text2 = nullptr;
    platform::TextBox *Text1 = nullptr;
    platform::TextBox *txtCifre = nullptr;
    platform::Timer *Timer2 = nullptr;
    platform::Timer *Timer1 = nullptr;
    platform::AutoSizeLabel *Label3 = nullptr;
    platform::AutoSizeLabel *Label5 = nullptr;
    platform::AutoSizeLabel *Label4 = nullptr;
    platform::AutoSizeLabel *Label2 = nullptr;
    platform::AutoSizeLabel *Label1 = nullptr;
    platform::PictureBox *Image1 = nullptr;
    QMenu *MnuPoup = nullptr;
    QAction *MnuChiudi = nullptr;
};

} // namespace telvo
