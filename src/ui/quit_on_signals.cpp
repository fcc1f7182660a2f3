#include "quit_on_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace telvo::platform {

namespace {

int signalSocket[2] = {-1, -1};

void WriteSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitOnSignals::QuitOnSignals(std::initializer_list<int> quitSignals, QObject *parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0) {
        qWarning("telvo-clock: no socket for signals; they will end the clock abruptly");
        return;
    }
    notifier_ = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::Received);

    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : quitSignals) {
        sigaction(signal, &action, nullptr);
    }
}

QuitOnSignals::~QuitOnSignals() {
    for (int &fd : signalSocket) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void QuitOnSignals::Received() {
    char bytes[16];
    while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::exit(0);
}

} // namespace telvo::platform
