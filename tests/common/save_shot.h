#pragma once
// A window's picture for a person to look at, kept among the build's test
// artifacts when the test is run with KIV_ARTIFACT_DIR.
#include <QDir>
#include <QWidget>

#include <cstdlib>

namespace kiv::test {

inline void SaveShot(QWidget* window, const char* name) {
    if (const char* dir = std::getenv("KIV_ARTIFACT_DIR")) {
        QDir().mkpath(dir);
        window->grab().save(QString(dir) + "/" + name);
    }
}

} // namespace kiv::test
