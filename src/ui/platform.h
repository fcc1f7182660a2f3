#pragma once

// What the clock window asks of the windowing platform, gathered in one
// place: the time of day, text boxes with a synchronous change notification
// and a key filter, labels that size themselves to their text, the picture
// with its mouse notifications, and the window operations (the round window
// region, moving the window, letting pending events run, ending the program).
// The rest of the window calls only these and plain Qt widgets. Each control
// kind, and the window operations, has a file pair of its own.

#include "auto_size_label.h"
#include "picture_box.h"
#include "text_box.h"
#include "time_of_day.h"
#include "twips.h"
#include "window_operations.h"

#include <QString>

#include <string_view>

namespace telvo::platform {

inline std::u16string_view View(const QString &text) {
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}
inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace telvo::platform
