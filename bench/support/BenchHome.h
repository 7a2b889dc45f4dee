#pragma once

#include <QTemporaryDir>

// A home and XDG folders of the benchmark's own, so that nothing of the user's is read or
// written, and the offscreen platform when no display is given. Made before the application.
class BenchHome final
{
public:
    BenchHome();

private:
    QTemporaryDir m_home;
};
