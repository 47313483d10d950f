// Takes the instance lock once, prints the outcome's number, and keeps
// whatever it got until its standard input closes (or it is killed).
#include "InstanceLock.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    InstanceLock lock;
    std::printf("%d\n", int(lock.tryTake()));
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
}
