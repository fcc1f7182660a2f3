#pragma once

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <functional>

class QKeyEvent;

namespace telvo::platform {

// A single-line text box. Its change notification (Change) runs inside the
// statement that changes the text, and only when the text really changes. A
// key filter, when set, sees every typed character first and may drop it by
// setting it to 0; text that comes any other way (a paste, an input method, a
// drop, an assistive tool) keeps only the characters the filter lets through.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    using KeyFilter = std::function<void(std::uint16_t &key)>;

    // The most characters a box holds. Nothing typed comes near it (the words
    // give up past twelve digits); a paste of megabytes, laid out whole, held
    // the clock for seconds and left it hundreds of megabytes larger.
    static constexpr int kMaxLength = 1024;

    explicit TextBox(QWidget *parent = nullptr);

    // Setting the text it already holds does nothing at all; returns whether
    // the text changed.
    bool SetText(const QString &text);
    // An empty filter lets everything through.
    void SetKeyFilter(KeyFilter filter);

signals:
    // The text changed, by SetText or by the user.
    void Change();
    // The user changed the text: typed, pasted, dropped or composed it.
    void Edited();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The characters of `typed` that the filter lets through.
    QString Filtered(const QString &typed) const;
    // What may stand in the box: the filter's characters, without the
    // control characters (backspace) that it lets through as keys.
    QString Allowed(const QString &text) const;

    KeyFilter keyFilter_;
    QString notified_; // the text of the last Change
};

} // namespace telvo::platform
