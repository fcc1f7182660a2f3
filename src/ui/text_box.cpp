#include "text_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include <limits>

namespace telvo::platform {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
}

bool TextBox::SetText(const QString &text) {
    if (text == this->text()) {
        return false;
    }
    setText(text);
    return true;
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

void TextBox::inputMethodEvent(QInputMethodEvent *event) {
    // Text composed by an input method is typed too.
    if (!keyFilter_ || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(Filtered(event->commitString()), event->replacementStart(),
                             event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

} // namespace telvo::platform
