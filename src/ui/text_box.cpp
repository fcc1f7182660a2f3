#include "text_box.h"

#include <QKeyEvent>
#include <QValidator>

namespace telvo::platform {

namespace {

// Holds a box to what its filter allows. QLineEdit asks its validator after
// every change to the text, whichever way the text came in.
class FilteringValidator : public QValidator {
public:
    using Filter = std::function<QString(const QString &)>;

    FilteringValidator(Filter allowed, std::function<void(const QString &)> filtered, QObject *parent)
        : QValidator(parent), allowed_(std::move(allowed)), filtered_(std::move(filtered)) {}

    State validate(QString &input, int &pos) const override {
        QString kept = allowed_(input);
        if (kept != input) {
            pos = static_cast<int>(allowed_(input.left(pos)).size());
            input = std::move(kept);
            // QLineEdit takes the text back as if it were set, not edited.
            filtered_(input);
        }
        return Acceptable;
    }

private:
    Filter allowed_;
    std::function<void(const QString &)> filtered_;
};

} // namespace

TextBox::TextBox(QWidget *parent) : QLineEdit(parent) {
    setMaxLength(kMaxLength);
    // Where the filter keeps nothing of a paste, QLineEdit still reports the
    // text it puts back; that is no change.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != notified_) {
            notified_ = text;
            emit Change();
        }
    });
    connect(this, &QLineEdit::textEdited, this, &TextBox::Edited);
}

bool TextBox::SetText(const QString &text) {
    if (text == this->text()) {
        return false;
    }
    setText(text);
    return true;
}

void TextBox::SetKeyFilter(KeyFilter filter) {
    keyFilter_ = std::move(filter);
    if (!keyFilter_) {
        delete validator(); // the box watches it, and forgets it
        return;
    }
    if (validator() == nullptr) {
        setValidator(new FilteringValidator([this](const QString &text) { return Allowed(text); },
                                            [this](const QString &kept) {
                                                if (kept != notified_) {
                                                    emit Edited();
                                                }
                                            },
                                            this));
    }
}

QString TextBox::Filtered(const QString &typed) const {
    QString passed;
    passed.reserve(typed.size());
    for (QChar c : typed) {
        std::uint16_t key = c.unicode();
        keyFilter_(key);
        if (key != 0) {
            passed += QChar(key);
        }
    }
    return passed;
}

QString TextBox::Allowed(const QString &text) const {
    QString allowed = Filtered(text);
    allowed.removeIf([](QChar c) { return !c.isPrint(); });
    return allowed;
}

void TextBox::keyPressEvent(QKeyEvent *event) {
    // Keys that type no character (arrows, Home, End, Delete) keep their
    // usual effect; Delete reports a character of its own, which it does not type.
    if (!keyFilter_ || event->text().isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString passed = Filtered(event->text());
    if (passed.isEmpty()) {
        event->accept();
        return;
    }
    if (passed == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), passed, event->isAutoRepeat(),
                      static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&changed);
}

} // namespace telvo::platform
