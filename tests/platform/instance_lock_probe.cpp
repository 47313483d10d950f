// Takes the instance lock once, prints the outcome, and keeps whatever it
// got until its standard input closes (or it is killed).
#include "InstanceLock.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    InstanceLock lock;
    const auto outcome = lock.tryTake();
    std::puts(outcome == InstanceLock::Outcome::Taken           ? "held"
              : outcome == InstanceLock::Outcome::HeldElsewhere ? "busy"
                                                                : "unavailable");
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    return 0;
}
