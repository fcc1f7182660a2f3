#include "frm_telvo.h"
#include "image_files.h"
#include "number_words.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <cerrno>
#include <cmath>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

using telvo::FrmTelvo;
using telvo::clock::TimeOfDay;
using telvo::platform::TextBox;
using telvo::platform::Timer;

Q_DECLARE_METATYPE(TimeOfDay)

namespace {

const QString kItalianMessage = "** Valore non calcolabile **";

// A clock the test sets by hand; counts how often the window reads it.
struct FakeClock {
    TimeOfDay now{};
    int readings = 0;
    telvo::platform::TimeSource Source() {
        return [this] {
            ++readings;
            return now;
        };
    }
};

// A system clock of the test's own, with the timerfd's rules: a wait ends
// when the clock reaches its time; where it was armed to be cancelled on a
// setting of the clock, every read after a setting fails with ECANCELED
// until it is armed again.
class FakeTimerSystem : public telvo::platform::TimerSystem {
public:
    std::int64_t now = 1'800'000'000'000;

    int Create() override { return fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }
    void SetTime(int, int flags, const itimerspec &when) override {
        due_ = std::int64_t(when.it_value.tv_sec) * 1000 + when.it_value.tv_nsec / 1000000;
        cancelOnSet_ = flags & TFD_TIMER_CANCEL_ON_SET;
        cancelled_ = false;
        Check();
    }
    ssize_t Read(int, std::uint64_t *expirations) override {
        std::uint64_t pending = 0;
        [[maybe_unused]] const ssize_t drained = ::read(fd_, &pending, sizeof pending);
        if (cancelled_ || !expired_) {
            errno = cancelled_ ? ECANCELED : EAGAIN;
            return -1;
        }
        expired_ = false;
        *expirations = 1;
        return sizeof *expirations;
    }
    std::int64_t NowMs() override { return now; }
    void Close(int fd) override { ::close(fd); }

    void SetClock(std::int64_t to) {
        now = to;
        cancelled_ = cancelOnSet_;
        Check();
    }
    void Pass(std::int64_t ms) {
        now += ms;
        Check();
    }

private:
    void Check() {
        const bool fired = due_ >= 0 && now >= due_;
        if (fired) {
            expired_ = true;
            due_ = -1;
        }
        if (fired || cancelled_) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
        }
    }

    int fd_ = -1;
    std::int64_t due_ = -1;
    bool cancelOnSet_ = false, cancelled_ = false, expired_ = false;
};

} // namespace

class TestFrmTelvo : public QObject {
    Q_OBJECT

private:
    template <typename T> T *Control(FrmTelvo &form, const char *name) {
        T *control = form.findChild<T *>(name);
        if (control == nullptr) {
            qFatal("no control %s", name);
        }
        return control;
    }
    QString Caption(FrmTelvo &form, const char *name) { return Control<QLabel>(form, name)->text(); }
    QString BoxText(FrmTelvo &form, const char *name) { return Control<QLineEdit>(form, name)->text(); }

private slots:
    void startsWithDesignCaptions();
    void firstTickSpellsTheWholeTime();
    void wordsFollowTheSeconds_data();
    void wordsFollowTheSeconds();
    void tickWithinTheSameSecondChangesNothing();
    void tickRepaintsOnlyWhatChanged_data();
    void tickRepaintsOnlyWhatChanged();
    void digitalTime_data();
    void digitalTime();
    void oneReadingPerTick();
    void keyFilter_data();
    void keyFilter();
    void typedDigitsPreviewTheirWordsUntilTheNextTick();
    void nonTypingKeysKeepTheirEffect();
    void window();
    void controlPlacement_data();
    void controlPlacement();
    void stacking();
    void labelLooks_data();
    void labelLooks();
    void labelsSizeThemselvesToTheirText();
    void focusAndTabOrder();
    void picture();
    void everyScale_data();
    void everyScale();
    void hiddenMenu();
    void timers();
    void timerFollowsASettingOfTheClock_data();
    void timerFollowsASettingOfTheClock();
    void systemTimeIsLocalTime();
    void clockJumps_data();
    void clockJumps();
    void anythingTypedAfterTab_data();
    void anythingTypedAfterTab();
    void pastesAndDropsPassTheKeyFilter();
    void screenReaders_data();
    void screenReaders();
};

void TestFrmTelvo::startsWithDesignCaptions() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    QCOMPARE(Caption(form, "Label1"), "00");
    QCOMPARE(Caption(form, "Label2"), "");
    QCOMPARE(Caption(form, "Label3"), "Label3");
    QCOMPARE(Caption(form, "Label4"), "Label4");
    QCOMPARE(Caption(form, "Label5"), "Label5");
    for (const char *box : {"txtCifre", "Text1", "Text2"}) {
        QCOMPARE(BoxText(form, box), "");
    }
}

void TestFrmTelvo::firstTickSpellsTheWholeTime() {
    FakeClock clock;
    clock.now = {10, 21, 21};
    FrmTelvo form(clock.Source());

    form.Timer2_Timer();
    QCOMPARE(Caption(form, "Label5"), "VentUno");
    QCOMPARE(Caption(form, "Label4"), "VentiUno");
    QCOMPARE(Caption(form, "Label3"), "Dieci");
    QCOMPARE(BoxText(form, "Text1"), "21");
    QCOMPARE(BoxText(form, "Text2"), "10");

    clock.now.second = 22;
    form.Timer2_Timer();
    QCOMPARE(Caption(form, "Label5"), "VentiDue");
    QCOMPARE(Caption(form, "Label4"), "VentiUno");
    QCOMPARE(Caption(form, "Label3"), "Dieci");
}

// Each row: the time of one tick, then of the next; the words after the second.
void TestFrmTelvo::wordsFollowTheSeconds_data() {
    QTest::addColumn<TimeOfDay>("before");
    QTest::addColumn<TimeOfDay>("after");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("hours");

    QTest::newRow("midnight") << TimeOfDay{23, 59, 59} << TimeOfDay{0, 0, 0} << "Zero"
                              << "Zero"
                              << "Zero";
    QTest::newRow("second after midnight") << TimeOfDay{0, 0, 0} << TimeOfDay{0, 0, 1} << "Uno"
                                           << "Zero"
                                           << "Zero";
    QTest::newRow("elision for seconds only") << TimeOfDay{7, 21, 20} << TimeOfDay{7, 21, 21} << "VentUno"
                                              << "VentiUno"
                                              << "Sette";
    QTest::newRow("thirty-one") << TimeOfDay{12, 31, 30} << TimeOfDay{12, 31, 31} << "TrentUno"
                                << "TrentaUno"
                                << "Dodici";
    QTest::newRow("twenty-eight") << TimeOfDay{18, 28, 27} << TimeOfDay{18, 28, 28} << "VentOtto"
                                  << "VentiOtto"
                                  << "Diciotto";
    QTest::newRow("turn of the hour") << TimeOfDay{9, 59, 59} << TimeOfDay{10, 0, 0} << "Zero"
                                      << "Zero"
                                      << "Dieci";
}

void TestFrmTelvo::wordsFollowTheSeconds() {
    QFETCH(TimeOfDay, before);
    QFETCH(TimeOfDay, after);
    FakeClock clock;
    FrmTelvo form(clock.Source());
    clock.now = before;
    form.Timer2_Timer();
    clock.now = after;
    form.Timer2_Timer();
    QTEST(Caption(form, "Label5"), "seconds");
    QTEST(Caption(form, "Label4"), "minutes");
    QTEST(Caption(form, "Label3"), "hours");
}

void TestFrmTelvo::tickWithinTheSameSecondChangesNothing() {
    FakeClock clock;
    clock.now = {14, 35, 42};
    FrmTelvo form(clock.Source());
    auto *seconds = Control<TextBox>(form, "txtCifre");
    QSignalSpy changes(seconds, &TextBox::Change);
    form.Timer2_Timer();
    form.Timer2_Timer();
    const QString words[] = {Caption(form, "Label5"), Caption(form, "Label4"), Caption(form, "Label3")};
    // Writing the same text again would reset the box's cursor and selection.
    seconds->setSelection(0, 1);
    for (int tick = 0; tick < 8; ++tick) {
        form.Timer2_Timer();
    }
    QCOMPARE(seconds->selectedText(), "4");
    QCOMPARE(changes.count(), 1);
    QCOMPARE(Caption(form, "Label5"), words[0]);
    QCOMPARE(Caption(form, "Label4"), words[1]);
    QCOMPARE(Caption(form, "Label3"), words[2]);
}

void TestFrmTelvo::tickRepaintsOnlyWhatChanged_data() {
    QTest::addColumn<TimeOfDay>("from");
    QTest::addColumn<TimeOfDay>("to");
    QTest::addColumn<QStringList>("painted");
    QTest::newRow("within a minute") << TimeOfDay{14, 35, 42} << TimeOfDay{14, 35, 43}
                                     << QStringList{"Image1", "Label1", "Label5"};
    // The minute's line overlaps the hour's above it, the seconds' below and
    // the empty Label2: what lies on its place is drawn again with it.
    QTest::newRow("turn of the minute")
        << TimeOfDay{14, 35, 59} << TimeOfDay{14, 36, 0}
        << QStringList{"Image1", "Label1", "Label2", "Label3", "Label4", "Label5"};
}

// A second's ticks draw the labels whose text changed and the ball beneath
// them, and nothing else: not the other labels, not the boxes out of sight.
void TestFrmTelvo::tickRepaintsOnlyWhatChanged() {
    QFETCH(TimeOfDay, from);
    QFETCH(TimeOfDay, to);
    QFETCH(QStringList, painted);
    struct PaintCounter : QObject {
        QStringList painted;
        bool eventFilter(QObject *watched, QEvent *event) override {
            if (event->type() == QEvent::Paint) {
                painted += watched->objectName();
            }
            return false;
        }
    } counter;
    FakeClock clock;
    clock.now = from;
    FrmTelvo form(clock.Source());
    for (QWidget *control : form.findChildren<QWidget *>()) {
        control->installEventFilter(&counter);
    }
    // As on X, where the server cuts the window and the toolkit draws all of it.
    form.clearMask();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const TimeOfDay &now : {from, to}) {
        counter.painted.clear();
        clock.now = now;
        form.Timer2_Timer();
        form.Timer1_Timer();
        QCoreApplication::processEvents();
    }
    counter.painted.sort();
    counter.painted.removeDuplicates();
    QCOMPARE(counter.painted, painted);
}

void TestFrmTelvo::digitalTime_data() {
    QTest::addColumn<TimeOfDay>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no leading zeros") << TimeOfDay{9, 5, 7} << "9:5:7";
    QTest::newRow("second zero") << TimeOfDay{23, 59, 0} << "23:59:0";
    QTest::newRow("midnight") << TimeOfDay{0, 0, 0} << "0:0:0";
    QTest::newRow("two digits each") << TimeOfDay{12, 34, 56} << "12:34:56";
}

void TestFrmTelvo::digitalTime() {
    QFETCH(TimeOfDay, time);
    FakeClock clock;
    clock.now = time;
    FrmTelvo form(clock.Source());
    form.Timer1_Timer();
    QTEST(Caption(form, "Label1"), "expected");
}

// Separate readings for hour, minute and second could straddle a turn of the
// hour; every handler reads the clock once.
void TestFrmTelvo::oneReadingPerTick() {
    int reading = 0;
    auto turningHour = [&reading] { return ++reading == 1 ? TimeOfDay{9, 59, 59} : TimeOfDay{10, 0, 0}; };
    FrmTelvo form(turningHour);
    form.Timer2_Timer();
    QCOMPARE(BoxText(form, "txtCifre"), "59");
    QCOMPARE(BoxText(form, "Text1"), "59");
    QCOMPARE(BoxText(form, "Text2"), "9");

    reading = 0;
    form.Timer1_Timer();
    QCOMPARE(Caption(form, "Label1"), "9:59:59");
}

void TestFrmTelvo::keyFilter_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // The box holds "12", with the cursor between the two digits.
    for (char digit = '0'; digit <= '9'; ++digit) {
        QTest::addRow("digit %c", digit)
            << int(Qt::Key_0 + (digit - '0')) << QString(digit) << QString("1") + digit + "2";
    }
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b"
                               << "2";
    // A real X server sends Delete with the character 127, which it does not type.
    QTest::newRow("delete, as X sends it") << int(Qt::Key_Delete) << "\x7f"
                                           << "1";
    QTest::newRow("letter") << int(Qt::Key_A) << "a"
                            << "12";
    QTest::newRow("minus") << int(Qt::Key_Minus) << "-"
                           << "12";
    QTest::newRow("point") << int(Qt::Key_Period) << "."
                           << "12";
    QTest::newRow("blank") << int(Qt::Key_Space) << " "
                           << "12";
    QTest::newRow("colon, just above nine") << int(Qt::Key_Colon) << ":"
                                            << "12";
    QTest::newRow("slash, just below zero") << int(Qt::Key_Slash) << "/"
                                            << "12";
    QTest::newRow("enter") << int(Qt::Key_Return) << "\r"
                           << "12";
    QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b"
                            << "12";
    QTest::newRow("non-ascii digit") << int(Qt::Key_unknown) << QString(QChar(0x0663)) << "12";
    // A text box's own menu would open beside the ball, and its Paste pass the filter by.
    QTest::newRow("menu key opens no menu") << int(Qt::Key_Menu) << ""
                                            << "12";
    // Text an input method commits is typed too; no key code comes with it.
    QTest::newRow("input method commits a digit") << 0 << "7"
                                                  << "172";
    QTest::newRow("input method commits a letter, a digit, a sign") << 0 << "a7-"
                                                                    << "172";
}

void TestFrmTelvo::keyFilter() {
    QFETCH(int, key);
    QFETCH(QString, text);
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *seconds = Control<QLineEdit>(form, "txtCifre");
    seconds->setText("12");
    seconds->setCursorPosition(1);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Keys sent to the window run the event loop, where an edit's wake-up
    // tick could write the time back over the box before it is read.
    Control<Timer>(form, "Timer2")->blockSignals(true);
    if (key == 0) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(seconds, &commit);
    } else {
        QTest::sendKeyEvent(QTest::Press, form.windowHandle(), Qt::Key(key), text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, form.windowHandle(), Qt::Key(key), text, Qt::NoModifier);
    }
    if (key == Qt::Key_Menu) {
        // The X11 platform follows the Menu key with a request for a context menu.
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(form.windowHandle(), &request);
    }
    QTEST(seconds->text(), "expected");
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

void TestFrmTelvo::typedDigitsPreviewTheirWordsUntilTheNextTick() {
    FakeClock clock;
    clock.now = {8, 15, 30};
    FrmTelvo form(clock.Source());
    form.Timer2_Timer();
    auto *seconds = Control<QLineEdit>(form, "txtCifre");
    seconds->end(false);

    QTest::keyClicks(seconds, "7");
    QCOMPARE(seconds->text(), "307");
    // The edit wakes Timer2 for its next tick, a tenth of a second away at most.
    QVERIFY(Control<Timer>(form, "Timer2")->NextTick() - Timer::SystemClockMs() <= 100);
    QCOMPARE(Caption(form, "Label5"), "TrecentoSette");
    QCOMPARE(Caption(form, "Label4"), "Quindici");
    QCOMPARE(Caption(form, "Label3"), "Otto");

    // Past twelve digits the converter gives up, in words.
    QTest::keyClicks(seconds, "1234567890");
    QCOMPARE(Caption(form, "Label5"), kItalianMessage);

    form.Timer2_Timer();
    QCOMPARE(seconds->text(), "30");
    QCOMPARE(Caption(form, "Label5"), "Trenta");
}

void TestFrmTelvo::nonTypingKeysKeepTheirEffect() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *seconds = Control<QLineEdit>(form, "txtCifre");
    seconds->setText("123");
    seconds->end(false);
    QTest::keyClick(seconds, Qt::Key_Left);
    QTest::keyClick(seconds, Qt::Key_Delete);
    QCOMPARE(seconds->text(), "12");
    QTest::keyClick(seconds, Qt::Key_Home);
    QTest::keyClick(seconds, Qt::Key_9);
    QCOMPARE(seconds->text(), "912");
}

void TestFrmTelvo::window() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    QCOMPARE(form.objectName(), "FrmTelvo");
    QCOMPARE(form.size(), QSize(151, 144));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form.isWindow());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.windowIcon().availableSizes().size(), 5); // 32 pixels twice, at 4 and 24 bits

    // Nothing else cuts the window here: the toolkit's mask is the circle.
    const auto circle = telvo::platform::CreateRoundRectRgn(0, 0, 100, 100, 100, 100);
    QCOMPARE(form.mask(), circle.Pixels());
    // A translucent window cuts its own outline: its native window alone takes
    // the region, for input, and no repaint is clipped to it.
    QWidget translucent;
    translucent.setAttribute(Qt::WA_TranslucentBackground);
    telvo::platform::SetWindowRgn(&translucent, circle, false);
    translucent.show();
    QVERIFY(translucent.mask().isEmpty());
    QCOMPARE(translucent.windowHandle()->mask(), circle.Pixels());
}

void TestFrmTelvo::controlPlacement_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Text2") << "Text2" << QRect(104, 56, 41, 19);
    QTest::newRow("Text1") << "Text1" << QRect(104, 32, 33, 19);
    QTest::newRow("txtCifre") << "txtCifre" << QRect(104, 8, 29, 19);
    QTest::newRow("Label3") << "Label3" << QRect(8, 32, 32, 14);
    QTest::newRow("Label5") << "Label5" << QRect(8, 56, 32, 14);
    QTest::newRow("Label4") << "Label4" << QRect(8, 43, 32, 14);
    QTest::newRow("Label2") << "Label2" << QRect(24, 40, 15, 13);
    QTest::newRow("Label1") << "Label1" << QRect(40, 16, 14, 16);
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 100, 100);
}

void TestFrmTelvo::controlPlacement() {
    QFETCH(QString, name);
    FakeClock clock;
    FrmTelvo form(clock.Source());
    QTEST(Control<QWidget>(form, qPrintable(name))->geometry(), "rect");
}

void TestFrmTelvo::stacking() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    // Qt keeps siblings bottom first; the design lists them top first.
    QStringList bottomFirst;
    for (QObject *child : form.children()) {
        if (child->isWidgetType() && !qobject_cast<QWidget *>(child)->isWindow()) {
            bottomFirst.prepend(child->objectName());
        }
    }
    QCOMPARE(bottomFirst, QStringList({"Text2", "Text1", "txtCifre", "Label3", "Label5", "Label4", "Label2",
                                       "Label1", "Image1"}));
}

void TestFrmTelvo::labelLooks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("Label3 hours") << "Label3" << QColor(0, 0, 255) << 11 << false;
    QTest::newRow("Label5 seconds") << "Label5" << QColor(0, 0, 255) << 11 << false;
    QTest::newRow("Label4 minutes") << "Label4" << QColor(0, 0, 0) << 11 << false;
    QTest::newRow("Label2 empty") << "Label2" << QColor(0, 255, 0) << 11 << true;
    QTest::newRow("Label1 digits") << "Label1" << QColor(0, 0, 0) << 13 << true;
}

void TestFrmTelvo::labelLooks() {
    QFETCH(QString, name);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *label = Control<QLabel>(form, qPrintable(name));
    QTEST(label->palette().color(QPalette::WindowText), "color");
    const QFontInfo font(label->font());
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(font.bold(), bold);
    QVERIFY(!font.italic());
    QVERIFY2(font.family() == "Liberation Sans" || font.family() == "Arial", qPrintable(font.family()));
    QVERIFY(!label->autoFillBackground());
    QVERIFY(!label->wordWrap());
    QCOMPARE(label->frameShape(), QFrame::NoFrame);
}

void TestFrmTelvo::labelsSizeThemselvesToTheirText() {
    FakeClock clock;
    clock.now = {17, 37, 38};
    FrmTelvo form(clock.Source());
    form.Timer2_Timer();
    form.Timer1_Timer();
    auto *seconds = Control<QLabel>(form, "Label5");
    QCOMPARE(seconds->text(), "TrentOtto");
    QCOMPARE(seconds->size(), seconds->sizeHint());
    QCOMPARE(seconds->pos(), QPoint(8, 56));

    // The digits keep their centre over the ball as the text grows.
    auto *digits = Control<telvo::platform::AutoSizeLabel>(form, "Label1");
    QCOMPARE(digits->text(), "17:37:38");
    QCOMPARE(digits->size(), digits->sizeHint());
    QVERIFY(qAbs(digits->geometry().center().x() - 47) <= 1);
    QCOMPARE(digits->y(), 16);

    // Each caption is laid out once and kept; sized and drawn, it is what a
    // plain label makes of it, also once more captions came than are kept.
    // The seconds' words come from pictures, whose glyphs' edges are blended
    // twice, and may be a step of colour off; no more.
    const auto drawnAsByALabel = [](QLabel *label, int steps = 0) {
        QLabel plain(label->text());
        plain.setFont(label->font());
        plain.setAlignment(label->alignment());
        plain.setPalette(label->palette());
        plain.setGeometry(label->geometry());
        const auto drawn = [](QWidget *widget) {
            QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::darkRed);
            widget->render(&image, {}, {}, QWidget::DrawChildren);
            return image;
        };
        const QImage mine = drawn(label);
        const QImage theirs = drawn(&plain);
        int off = 0;
        for (int y = 0; y < mine.height(); ++y) {
            for (int x = 0; x < mine.width(); ++x) {
                const QRgb a = mine.pixel(x, y), b = theirs.pixel(x, y);
                off = std::max({off, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b))});
            }
        }
        return off <= steps;
    };
    QVERIFY(drawnAsByALabel(seconds, 1));
    QPalette red = seconds->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    seconds->setPalette(red);
    QVERIFY(drawnAsByALabel(seconds, 1));
    QVERIFY(drawnAsByALabel(digits));
    for (int second = 0; second <= telvo::platform::AutoSizeLabel::kKeptCaptions; ++second) {
        clock.now.second = second % 60;
        clock.now.minute = second / 60;
        form.Timer1_Timer();
        QCOMPARE(digits->size(), digits->sizeHint());
    }
    QVERIFY(drawnAsByALabel(digits));
    digits->SetCaption(QString()); // QLabel's own way
    QCOMPARE(digits->size(), digits->sizeHint());
    QVERIFY(drawnAsByALabel(digits));
}

void TestFrmTelvo::focusAndTabOrder() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto focused = [] {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    QCOMPARE(focused(), "txtCifre");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), "Text1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), "Text2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), "txtCifre");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), "Text2");

    // After a Tab, keys reach the unfiltered hour box.
    QTest::keyClicks(QApplication::focusWidget(), "x-");
    QCOMPARE(BoxText(form, "Text2"), "x-");

    for (QWidget *child : form.findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(child)) {
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
        }
    }
}

void TestFrmTelvo::picture() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *image = Control<QWidget>(form, "Image1");
    QCOMPARE(image->toolTip(), "DubleClick Close");
    QCOMPARE(image->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(image->cursor().pixmap().size(), QSize(32, 32));
    for (const char *label : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
        QVERIFY(!Control<QWidget>(form, label)->testAttribute(Qt::WA_SetCursor));
        QVERIFY(Control<QWidget>(form, label)->toolTip().isEmpty());
    }
    QVERIFY(!form.testAttribute(Qt::WA_SetCursor));

    // The ball fills the control: its middle is warm, its corners the dark ground.
    const QImage drawn = image->grab().toImage();
    const QColor middle = drawn.pixelColor(50, 60);
    QVERIFY2(middle.red() > 150 && middle.red() > middle.blue(), qPrintable(middle.name()));
    const QColor corner = drawn.pixelColor(1, 1);
    QVERIFY2(corner.red() < 60 && corner.green() < 60 && corner.blue() < 60, qPrintable(corner.name()));
}

// At each device pixel ratio the circle 100 window pixels across is laid out
// in device pixels (those whose centres lie inside it, not the circle of
// window pixels scaled up), and the ball is drawn from the picture made for
// the ratio, or the next finer one.
void TestFrmTelvo::everyScale_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("source");
    QTest::newRow("1: the designed bitmap") << 1.0 << "ball.bmp";
    QTest::newRow("1.25") << 1.25 << "ball@2x.bmp";
    QTest::newRow("1.5") << 1.5 << "ball@2x.bmp";
    QTest::newRow("2") << 2.0 << "ball@2x.bmp";
    QTest::newRow("3") << 3.0 << "ball@3x.bmp";
    QTest::newRow("4: the finest there is") << 4.0 << "ball@3x.bmp";
}

void TestFrmTelvo::everyScale() {
    QFETCH(qreal, ratio);
    QFETCH(QString, source);
    const int across = qRound(100 * ratio);
    const QRegion circle = telvo::platform::CreateRoundRectRgn(0, 0, 100, 100, 100, 100).Pixels(ratio);
    QCOMPARE(circle.boundingRect(), QRect(0, 0, across, across));
    // Where the window is translucent, its outline is cut only from repaints
    // that reach within a window pixel of it.
    const auto outline = telvo::platform::CreateRoundRectRgn(0, 0, 100, 100, 100, 100);
    int wrong = 0;
    int spared = 0;
    for (int y = 0; y < across; ++y) {
        for (int x = 0; x < across; ++x) {
            const double r = std::hypot(x + 0.5 - across / 2.0, y + 0.5 - across / 2.0);
            wrong += circle.contains(QPoint(x, y)) != (r < across / 2.0);
            if (outline.Encloses(QRectF(x / ratio, y / ratio, 1 / ratio, 1 / ratio))) {
                ++spared;
                const double farX = std::max(std::abs(x - across / 2.0), std::abs(x + 1 - across / 2.0));
                const double farY = std::max(std::abs(y - across / 2.0), std::abs(y + 1 - across / 2.0));
                wrong += std::hypot(farX, farY) > across / 2.0 - ratio + 1e-9;
            }
        }
    }
    QCOMPARE(wrong, 0);
    QVERIFY(spared > 0.95 * M_PI * std::pow(across / 2.0 - ratio, 2) - 4 * across);

    FakeClock clock;
    FrmTelvo form(clock.Source());
    QFile file(":/assets/" + source);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QImage expected = telvo::platform::DecodeBitmap(file.readAll())
                          .scaled(across, across, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    expected.setDevicePixelRatio(ratio);
    const QPixmap drawn = Control<telvo::platform::PictureBox>(form, "Image1")->Drawn(ratio);
    QCOMPARE(drawn.devicePixelRatio(), ratio);
    QCOMPARE(drawn.toImage().convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
}

void TestFrmTelvo::hiddenMenu() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *menu = Control<QMenu>(form, "MnuPoup");
    QCOMPARE(menu->title(), "Popup Menu");
    QVERIFY(!menu->isVisible());
    auto *item = Control<QAction>(form, "MnuChiudi");
    QCOMPARE(item->text(), "Chiudi");
    QVERIFY(item->shortcut().isEmpty());
    QCOMPARE(menu->actions(), QList<QAction *>{item});
    QVERIFY(form.findChildren<QMenuBar *>().isEmpty());
}

void TestFrmTelvo::timers() {
    FakeClock clock;
    FrmTelvo form(clock.Source());
    auto *fast = Control<Timer>(form, "Timer2");
    auto *slow = Control<Timer>(form, "Timer1");
    QVERIFY(fast->Enabled());
    QVERIFY(slow->Enabled());
    QCOMPARE(fast->Interval(), 100);
    QCOMPARE(slow->Interval(), 1000);

    // The real timers drive the chain; then both wait for the same turn of the second.
    clock.now = {11, 11, 11};
    QTRY_COMPARE_WITH_TIMEOUT(Caption(form, "Label5"), "Undici", 2000);
    QTRY_COMPARE_WITH_TIMEOUT(Caption(form, "Label1"), "11:11:11", 3000);
    QCOMPARE(fast->NextTick(), slow->NextTick());
    QCOMPARE(slow->NextTick() % 1000, 0);
}

// An NTP step or a user setting the time: the next tick still comes one
// interval after the new time, on its grid, and ticks go on after it.
void TestFrmTelvo::timerFollowsASettingOfTheClock_data() {
    QTest::addColumn<qint64>("step");
    QTest::newRow("set back an hour") << qint64(-3'600'000);
    QTest::newRow("set forward an hour") << qint64(3'600'000);
}

void TestFrmTelvo::timerFollowsASettingOfTheClock() {
    QFETCH(qint64, step);
    FakeTimerSystem system;
    Timer timer(nullptr, "Timer2", 100, Timer::Sleep::Never, system);
    QSignalSpy ticks(&timer, &Timer::Tick);
    timer.Start(100);
    system.Pass(100);
    QTRY_COMPARE(ticks.count(), 1);

    system.SetClock(system.now + 30 + step);
    QTest::qWait(20);
    for (int tick = 2; tick <= 3; ++tick) {
        system.Pass(100);
        QTRY_COMPARE(ticks.count(), tick);
        QCOMPARE(timer.NextTick() % 100, 0);
        QVERIFY(timer.NextTick() - system.now <= 100);
    }
}

void TestFrmTelvo::systemTimeIsLocalTime() {
    telvo::platform::SystemTimeOfDay system;
    // Two readings of Qt's local time around ours; retry if a second turned between them.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QTime before = QTime::currentTime();
        const TimeOfDay ours = system();
        const TimeOfDay again = system();
        const QTime after = QTime::currentTime();
        if (before.second() != after.second()) {
            continue;
        }
        QCOMPARE(ours, (TimeOfDay{before.hour(), before.minute(), before.second()}));
        QCOMPARE(again, ours);
        return;
    }
    QFAIL("the second kept turning");
}

// The system clock jumps between two ticks; digits and words follow at the
// next ticks and nothing keeps the old time, even where the second stays.
void TestFrmTelvo::clockJumps_data() {
    QTest::addColumn<TimeOfDay>("before");
    QTest::addColumn<TimeOfDay>("after");
    QTest::newRow("set back an hour") << TimeOfDay{10, 30, 15} << TimeOfDay{9, 30, 16};
    QTest::newRow("set back an hour, same second") << TimeOfDay{10, 30, 15} << TimeOfDay{9, 30, 15};
    QTest::newRow("forward across midnight") << TimeOfDay{22, 10, 5} << TimeOfDay{0, 0, 40};
    QTest::newRow("repeated daylight-saving hour") << TimeOfDay{2, 59, 59} << TimeOfDay{2, 0, 0};
    QTest::newRow("back across midnight") << TimeOfDay{0, 0, 3} << TimeOfDay{23, 59, 58};
}

void TestFrmTelvo::clockJumps() {
    QFETCH(TimeOfDay, before);
    QFETCH(TimeOfDay, after);
    FakeClock clock;
    FrmTelvo form(clock.Source());
    clock.now = before;
    for (int tick = 0; tick < 3; ++tick) {
        form.Timer2_Timer();
    }
    form.Timer1_Timer();

    clock.now = after;
    form.Timer2_Timer();
    form.Timer1_Timer();
    QCOMPARE(Caption(form, "Label1"), QString::fromStdU16String(telvo::clock::DigitalTimeText(after)));
    QCOMPARE(BoxText(form, "Text1"), QString::number(after.minute));
    QCOMPARE(BoxText(form, "Text2"), QString::number(after.hour));
    auto words = [](int value, int code) {
        return QString::fromStdU16String(
            telvo::NumberToWords(QString::number(value).toStdU16String(), static_cast<std::uint8_t>(code)));
    };
    QCOMPARE(Caption(form, "Label5"), words(after.second, 1));
    QCOMPARE(Caption(form, "Label4"), words(after.minute, 5));
    QCOMPARE(Caption(form, "Label3"), words(after.hour, 5));
}

// After a Tab the keys reach the unfiltered minute or hour box. Nothing typed
// or pasted there may crash or stall the clock, and the next tick writes the
// time back.
void TestFrmTelvo::anythingTypedAfterTab_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("tabs");
    QTest::newRow("minute box") << "Text1" << 1;
    QTest::newRow("hour box") << "Text2" << 2;
}

void TestFrmTelvo::anythingTypedAfterTab() {
    QFETCH(QString, box);
    QFETCH(int, tabs);
    FakeClock clock;
    clock.now = {6, 45, 10};
    FrmTelvo form(clock.Source());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (int i = 0; i < tabs; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    auto *target = Control<QLineEdit>(form, qPrintable(box));
    QCOMPARE(QApplication::focusWidget(), target);

    // Non-ASCII digits, control characters, a NUL, symbols, surrogates.
    using namespace std::literals;
    const QString awkward =
        telvo::platform::ToQString(u"\u0663\uFF13\u00B2\u0007\u001b\u0000\u00DF\u20AC\U0001F550x-. "sv);
    for (QChar c : awkward) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
    QApplication::clipboard()->setText(QString(100000, u'7'));
    QElapsedTimer pasting;
    pasting.start();
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    qInfo("pasting 100,000 characters into %s took %lld ms", qPrintable(box), pasting.elapsed());
    QCOMPARE(target->text().size(), TextBox::kMaxLength);

    // The next tick writes the time back before the words are spelled.
    clock.now.second = 11;
    form.Timer2_Timer();
    QCOMPARE(Caption(form, "Label5"), "Undici");
    QCOMPARE(Caption(form, box == "Text1" ? "Label4" : "Label3"), box == "Text1" ? "QuarantaCinque" : "Sei");
    QCOMPARE(target->text(), QString::number(box == "Text1" ? clock.now.minute : clock.now.hour));
}

// Text that reaches the seconds box other than by a typed key passes the
// same filter, and a paste of any size is cut to the box's bound.
void TestFrmTelvo::pastesAndDropsPassTheKeyFilter() {
    FakeClock clock;
    clock.now = {6, 45, 10};
    FrmTelvo form(clock.Source());
    form.Timer2_Timer();
    auto *seconds = Control<TextBox>(form, "txtCifre");
    QSignalSpy changes(seconds, &TextBox::Change);
    seconds->end(false);
    QApplication::clipboard()->setText("a-\b .");
    QTest::keyClick(seconds, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(seconds->text(), "10");
    QCOMPARE(changes.count(), 0);

    QApplication::clipboard()->setText("4a-5\b6 ");
    // Ctrl+V types a character (22), which the filter drops with the paste.
    QTest::keyClick(seconds, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(seconds->text(), "10");
    QTest::keyClick(seconds, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(seconds->text(), "10456");
    QCOMPARE(changes.count(), 1);
    QCOMPARE(Caption(form, "Label5"), "DieciMilaQuattrocentoCinquantaSei");

    QMimeData dropped;
    dropped.setText("x7y");
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(seconds, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(seconds, &drop);
    QCOMPARE(seconds->text(), "710456");

    seconds->clear();
    QApplication::clipboard()->setText(QString(100000, u'5'));
    QTest::keyClick(seconds, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(seconds->text(), QString(TextBox::kMaxLength, u'5'));
    QCOMPARE(Caption(form, "Label5"), kItalianMessage);
    clock.now.second = 12;
    form.Timer2_Timer();
    QCOMPARE(Caption(form, "Label5"), "Dodici");
}

void TestFrmTelvo::screenReaders_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("spoken"); // the text after a tick at 21:21:21
    QTest::newRow("digits") << "Label1"
                            << "Time of day"
                            << "21:21:21";
    QTest::newRow("hour") << "Label3"
                          << "Hour in words"
                          << "VentiUno";
    QTest::newRow("minute") << "Label4"
                            << "Minute in words"
                            << "VentiUno";
    QTest::newRow("second") << "Label5"
                            << "Second in words"
                            << "VentUno";
}

void TestFrmTelvo::screenReaders() {
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    FakeClock clock;
    clock.now = {21, 21, 20};
    FrmTelvo form(clock.Source());
    form.Timer2_Timer();
    clock.now.second = 21;
    form.Timer2_Timer();
    form.Timer1_Timer();

    QAccessibleInterface *label =
        QAccessible::queryAccessibleInterface(Control<QLabel>(form, qPrintable(name)));
    QVERIFY(label != nullptr);
    QCOMPARE(label->role(), QAccessible::StaticText);
    QCOMPARE(label->text(QAccessible::Name), spoken);
    QTEST(label->text(QAccessible::Description), "description");

    QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(Control<QWidget>(form, "Image1"));
    QCOMPARE(picture->text(QAccessible::Name), "Telvo Clock");
    QVERIFY(picture->text(QAccessible::Description).contains("double-click to close"));
    QAccessibleInterface *seconds = QAccessible::queryAccessibleInterface(Control<QWidget>(form, "txtCifre"));
    QCOMPARE(seconds->text(QAccessible::Name), "Second");
    QCOMPARE(seconds->text(QAccessible::Value), "21");
}

QTEST_MAIN(TestFrmTelvo)
#include "tst_frm_telvo.moc"
