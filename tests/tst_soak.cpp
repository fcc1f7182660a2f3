// A whole simulated day through the clock's chain: every second, minute and
// hour turn, driven by an injected time and direct timer ticks. Run in the
// sanitizer build too, where any memory error or leak fails it.

#include "frm_telvo.h"
#include "number_words.h"
#include "tick_schedule.h"

#include <QLabel>
#include <QTest>

#include <malloc.h>

using telvo::clock::TimeOfDay;

namespace {

QString Words(int value, int code) {
    return QString::fromStdU16String(
        telvo::NumberToWords(QString::number(value).toStdU16String(), static_cast<std::uint8_t>(code)));
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void simulatedDay();
};

void TestSoak::simulatedDay() {
    TimeOfDay now{};
    telvo::FrmTelvo form([&now] { return now; });
    auto *digits = form.findChild<QLabel *>("Label1");
    auto *seconds = form.findChild<QLabel *>("Label5");
    auto *minutes = form.findChild<QLabel *>("Label4");
    auto *hours = form.findChild<QLabel *>("Label3");
    QVERIFY(digits && seconds && minutes && hours);
    const qsizetype objects = form.findChildren<QObject *>().size();

    std::size_t heapAfterFirstHour = 0;
    int digitsCentre = 0;
    now = {23, 59, 59};
    // The timers' own schedules drive the day, in milliseconds from midnight,
    // starting half a second before it: Timer2 sleeps between seconds.
    telvo::clock::TickSchedule fast(100, true), slow(1000, false);
    std::int64_t dueFast = fast.First(-500, 100), dueSlow = slow.First(-500, 500);
    form.Timer2_Timer();
    dueFast = fast.Next(dueFast);
    for (int second = 0; second < 24 * 60 * 60; ++second) {
        // No tick falls between two turns of the second, and at each turn
        // both timers tick, so digits and all three lines of words turn together.
        QCOMPARE(dueFast, second * std::int64_t(1000));
        QCOMPARE(dueSlow, dueFast);
        now = {second / 3600, second / 60 % 60, second % 60};
        form.Timer2_Timer();
        form.Timer1_Timer();
        dueFast = fast.Next(dueFast);
        dueSlow = slow.Next(dueSlow);

        if (digits->text() != QString("%1:%2:%3").arg(now.hour).arg(now.minute).arg(now.second) ||
            seconds->text() != Words(now.second, 1) || minutes->text() != Words(now.minute, 5) ||
            hours->text() != Words(now.hour, 5)) {
            QFAIL(qPrintable(QString("at %1:%2:%3 the clock shows %4 / %5 / %6 / %7")
                                 .arg(now.hour)
                                 .arg(now.minute)
                                 .arg(now.second)
                                 .arg(digits->text(), hours->text(), minutes->text(), seconds->text())));
        }
        if (second == 0) {
            digitsCentre = digits->geometry().center().x();
        }
        if (second == 3600) {
            heapAfterFirstHour = mallinfo2().uordblks;
        }
    }

    QCOMPARE(form.findChildren<QObject *>().size(), objects);
    // The digits end the day where they began it, however their width went.
    QVERIFY(qAbs(digits->geometry().center().x() - digitsCentre) <= 1);
    // A sanitizer's allocator keeps no such count; there the leak check at exit speaks.
    const std::size_t heapAtEnd = mallinfo2().uordblks;
    if (heapAfterFirstHour != 0) {
        qInfo("heap in use after the first hour %zu bytes, at the end of the day %zu", heapAfterFirstHour,
              heapAtEnd);
        QVERIFY2(heapAtEnd < heapAfterFirstHour + 64 * 1024, "the heap grew over the day");
    }
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
