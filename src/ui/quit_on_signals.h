#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

namespace telvo::platform {

// Ends the event loop with status 0 on any of the given signals. The signal
// handler only writes a byte to a socket; the loop reads it.
class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(std::initializer_list<int> quitSignals, QObject *parent = nullptr);
    ~QuitOnSignals() override;

private:
    void Received();

    QSocketNotifier *notifier_ = nullptr;
};

} // namespace telvo::platform
