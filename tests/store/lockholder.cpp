// Takes the lock of the data folder given as the only argument and prints "locked" or
// "refused"; a holder keeps the lock until its standard input closes, or until it is killed.
// Driven by tst_folderlock.

#include "store/DataFolder.h"
#include "store/FolderLock.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lockholder <data folder>\n");
        return 2;
    }
    const std::unique_ptr<FolderLock> lock = DataFolder::tryLock(QString::fromLocal8Bit(argv[1]));
    std::puts(lock ? "locked" : "refused");
    std::fflush(stdout);
    while (lock && std::getchar() != EOF) {
    }
    return lock ? 0 : 1;
}
