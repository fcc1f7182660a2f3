#include "frm_telvo.h"

#include "image_files.h"
#include "key_filter.h"
#include "number_words.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QPixmap>
#include <QStyleHints>

namespace telvo {
namespace {

using platform::AutoSizeLabel;
using platform::PixelsFromTwips;
using platform::TextBox;

// Design positions and sizes, in twips.
struct Placement {
    int left, top, width, height;
};

QRect PixelRect(const Placement &p) {
    return {PixelsFromTwips(p.left), PixelsFromTwips(p.top), PixelsFromTwips(p.width),
            PixelsFromTwips(p.height)};
}

constexpr int kClientWidth = 2265;
constexpr int kClientHeight = 2160;

constexpr int kNormal = 400;
constexpr int kBold = 700;

const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);

// The hand pointer's hot spot: the tip of its middle finger.
constexpr QPoint kHandHotSpot(6, 27);

QFont LabelFont(const QString &family, const QString &substitute, int pixelSize, int weight) {
    QFont font;
    font.setFamilies({family, substitute});
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont Arial(int pixelSize, int weight) {
    return LabelFont("Arial", "Liberation Sans", pixelSize, weight);
}

AutoSizeLabel *MakeLabel(QWidget *parent, const char *name, const Placement &place, const QString &caption,
                         const QColor &color, const QFont &font) {
    auto *label = new AutoSizeLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(PixelRect(place));
    label->setFont(font);
    label->setMargin(0);
    label->setIndent(0);
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

TextBox *MakeTextBox(QWidget *parent, const char *name, const Placement &place) {
    auto *box = new TextBox(parent);
    box->setObjectName(name);
    box->setGeometry(PixelRect(place));
    // Its own Undo/Cut/Copy/Paste menu would open outside the circle (Menu
    // key, Shift+F10), and its Paste would pass by the key filter.
    box->setContextMenuPolicy(Qt::NoContextMenu);
    // Outside the circle nothing shows: a box that drew its new text every
    // second ran a fifth of the instructions of the clock's second for nobody.
    box->setUpdatesEnabled(false);
    return box;
}

QString Words(const TextBox *box, std::uint8_t code) {
    return platform::ToQString(NumberToWords(platform::View(box->text()), code));
}

QString Text(int value) {
    return platform::ToQString(clock::DecimalText(value));
}

QByteArray Resource(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QImage> IconImages(const QString &resource) {
    return platform::DecodeIcon(Resource(resource));
}

QIcon WindowIcon() {
    QIcon icon;
    for (const QImage &image : IconImages(":/assets/telvo.ico")) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// The designed file at scale 1, and the same drawn finer for screens of
// two and three times the resolution.
QString AtScale(const char *name, const char *extension, int scale) {
    return scale == 1 ? QString(":/assets/%1.%2").arg(name, extension)
                      : QString(":/assets/%1@%3x.%2").arg(name, extension).arg(scale);
}

QImage Ball(int scale) {
    return platform::DecodeBitmap(Resource(AtScale("ball", "bmp", scale)));
}

QImage Hand(int scale) {
    const QList<QImage> images = IconImages(AtScale("hand", "ico", scale));
    return images.isEmpty() ? QImage() : images.front();
}

} // namespace

FrmTelvo::FrmTelvo(platform::TimeSource timeOfDay, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), timeOfDay_(std::move(timeOfDay)) {
    setObjectName("FrmTelvo");
    setWindowTitle("Telvo Clock");
    setWindowIcon(WindowIcon());
    setFixedSize(PixelsFromTwips(kClientWidth), PixelsFromTwips(kClientHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    if (platform::DrawsTranslucent()) {
        // The window region may decide input only; outside the circle, nothing may be drawn.
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setAutoFillBackground(true);
    }
    // The clock is rarely the active window; its tooltip shows all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    CreateControls();
    ConnectHandlers();
    // Timer2 first ticks after 100 ms; Timer1 at the turn of the second
    // nearest to a second from now. From then on both tick at the turn of
    // every second.
    Timer2->Start(100);
    Timer1->Start(500);
    Form_Load();
}

FrmTelvo::~FrmTelvo() {
    // The box outlives this part of the window and still checks its text
    // as it loses the focus; the filter is a handler of this window.
    txtCifre->SetKeyFilter({});
}

void FrmTelvo::CreateControls() {
    Text2 = MakeTextBox(this, "Text2", {1560, 840, 615, 285});
    Text1 = MakeTextBox(this, "Text1", {1560, 480, 495, 285});
    txtCifre = MakeTextBox(this, "txtCifre", {1560, 120, 435, 285});
    // Out of sight, but they take the focus, so a screen reader meets them.
    Text2->setAccessibleName("Hour");
    Text1->setAccessibleName("Minute");
    txtCifre->setAccessibleName("Second");
    // Until the second turns, only an edit of a box can change what Timer2
    // writes: it sleeps between seconds unless a box was edited.
    Timer2 = new platform::Timer(this, "Timer2", 100, platform::Timer::Sleep::BetweenSeconds);
    Timer1 = new platform::Timer(this, "Timer1", 1000);
    Label3 = MakeLabel(this, "Label3", {120, 480, 480, 210}, "Label3", kBlue, Arial(11, kNormal));
    Label5 = MakeLabel(this, "Label5", {120, 840, 480, 210}, "Label5", kBlue, Arial(11, kNormal));
    Label4 = MakeLabel(this, "Label4", {120, 650, 480, 210}, "Label4", kBlack, Arial(11, kNormal));
    Label2 = MakeLabel(this, "Label2", {360, 600, 225, 195}, QString(), kGreen,
                       LabelFont("MS Sans Serif", "Liberation Sans", 11, kBold));
    Label2->setProperty("Index", 0); // the only element of its control array
    Label1 = MakeLabel(this, "Label1", {600, 240, 210, 240}, "00", kBlack, Arial(13, kBold));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The seconds' words come back every minute: each is drawn once, into a picture.
    Label5->SetDrawnFromPictures(true);
    // A time of day comes back only the next day: the digits keep none but their own.
    Label1->SetKeptCaptions(1);
    // Screen readers read each line's text; these say which line it is.
    Label1->setAccessibleDescription("Time of day");
    Label3->setAccessibleDescription("Hour in words");
    Label4->setAccessibleDescription("Minute in words");
    Label5->setAccessibleDescription("Second in words");

    Image1 = new platform::PictureBox(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(PixelRect({0, 0, 1500, 1500}));
    Image1->SetPicture(Ball);
    Image1->SetMouseIcon(Hand, kHandHotSpot);
    Image1->setToolTip("DubleClick Close");
    Image1->setAccessibleName("Telvo Clock");
    Image1->setAccessibleDescription("Drag to move the clock; double-click to close it");

    MnuPoup = new QMenu("Popup Menu", this);
    MnuPoup->setObjectName("MnuPoup");
    MnuChiudi = MnuPoup->addAction("Chiudi");
    MnuChiudi->setObjectName("MnuChiudi");

    // Earlier controls lie above later ones: raise from the last to the first.
    const QList<QWidget *> drawnInOrder = {Text2,  Text1,  txtCifre, Label3, Label5,
                                           Label4, Label2, Label1,   Image1};
    for (auto it = drawnInOrder.rbegin(); it != drawnInOrder.rend(); ++it) {
        (*it)->raise();
    }

    // Only the text boxes take the focus: the seconds box first, then Tab
    // moves on to the minute and the hour box and back.
    setTabOrder(txtCifre, Text1);
    setTabOrder(Text1, Text2);
    txtCifre->setFocus();
    // The boxes are the window's only text cursors, and never seen: a blinking
    // one would wake the clock twice a second while it is the active window.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void FrmTelvo::ConnectHandlers() {
    connect(Timer1, &platform::Timer::Tick, this, &FrmTelvo::Timer1_Timer);
    connect(Timer2, &platform::Timer::Tick, this, &FrmTelvo::Timer2_Timer);
    // The tick after an edit writes the time back, within 100 ms.
    for (platform::TextBox *box : {txtCifre, Text1, Text2}) {
        connect(box, &TextBox::Edited, Timer2, &platform::Timer::Wake);
    }
    connect(txtCifre, &TextBox::Change, this, &FrmTelvo::txtCifre_Change);
    txtCifre->SetKeyFilter([this](std::uint16_t &key) { txtCifre_KeyPress(key); });
    connect(Image1, &platform::PictureBox::MouseDown, this, &FrmTelvo::Image1_MouseDown);
    connect(Image1, &platform::PictureBox::MouseMove, this, &FrmTelvo::Image1_MouseMove);
    connect(Image1, &platform::PictureBox::MouseUp, this, &FrmTelvo::Image1_MouseUp);
    connect(Image1, &platform::PictureBox::DblClick, this, &FrmTelvo::Image1_DblClick);
}

void FrmTelvo::Form_Load() {
    // A circle 100 pixels across in the top-left corner: only the ball shows.
    const platform::RoundRectRegion circle = platform::CreateRoundRectRgn(0, 0, 100, 100, 100, 100);
    platform::SetWindowRgn(this, circle, true);
}

void FrmTelvo::Timer1_Timer() {
    Label1->SetCaption(platform::ToQString(clock::DigitalTimeText(timeOfDay_())));
}

void FrmTelvo::Timer2_Timer() {
    // One reading for all three boxes: separate readings could straddle a
    // turn of the hour and show a time an hour off.
    const clock::TimeOfDay now = timeOfDay_();
    // The change of the seconds box spells all three boxes, so the minute and
    // the hour go in first: at the turn of the minute or the hour the words
    // then agree with the digits from the first tick on. A clock set to
    // another hour within the same second changes no second, so the words
    // are spelled here then.
    const bool minuteChanged = Text1->SetText(Text(now.minute));
    const bool hourChanged = Text2->SetText(Text(now.hour));
    const bool secondChanged = txtCifre->SetText(Text(now.second));
    if ((minuteChanged || hourChanged) && !secondChanged) {
        txtCifre_Change();
    }
}

void FrmTelvo::txtCifre_Change() {
    Label5->SetCaption(Words(txtCifre, 1));
    Label4->SetCaption(Words(Text1, 5));
    Label3->SetCaption(Words(Text2, 5));
}

void FrmTelvo::txtCifre_KeyPress(std::uint16_t &KeyAscii) {
    KeyAscii = clock::FilterSecondsKey(KeyAscii);
}

void FrmTelvo::Image1_MouseDown(platform::MouseArgs args) {
    drag_.Press(args.x, args.y);
}

void FrmTelvo::Image1_MouseMove(platform::MouseArgs args) {
    if (!drag_.Dragging()) {
        return;
    }
    platform::SetWindowLeft(this, drag_.NewLeft(args.x, platform::WindowLeft(this)));
    platform::SetWindowTop(this, drag_.NewTop(args.y, platform::WindowTop(this)));
    // Repaint and take the moves queued meanwhile while the drag goes on.
    platform::ProcessPendingEvents();
}

void FrmTelvo::Image1_MouseUp(platform::MouseArgs) {
    drag_.Release();
}

void FrmTelvo::Image1_DblClick() {
    platform::EndProgram(this);
}

} // namespace telvo
