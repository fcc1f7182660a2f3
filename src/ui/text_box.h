#pragma once

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <functional>

class QKeyEvent;
class QInputMethodEvent;

namespace telvo::platform {

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

    // Setting the text it already holds does nothing at all; returns whether
    // the text changed.
    bool SetText(const QString &text);
    void SetKeyFilter(KeyFilter filter) { keyFilter_ = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // The typed characters that the filter lets through.
    QString Filtered(const QString &typed) const;

    KeyFilter keyFilter_;
};

} // namespace telvo::platform
