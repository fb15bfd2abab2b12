#pragma once
// Pictures and printouts for a person to look at, kept among the build's
// test artifacts when the test is run with KIV_ARTIFACT_DIR.
#include <QDir>
#include <QFile>
#include <QWidget>

namespace kiv::test {

// The folder KIV_ARTIFACT_DIR names, made when missing; empty without it.
inline QString ArtifactDir() {
    const QString dir = QString::fromUtf8(qgetenv("KIV_ARTIFACT_DIR"));
    if (!dir.isEmpty()) QDir().mkpath(dir);
    return dir;
}

inline void SaveShot(QWidget* window, const char* name) {
    if (const QString dir = ArtifactDir(); !dir.isEmpty()) window->grab().save(dir + "/" + name);
}

// A copy of the file under that name, in place of an older one.
inline void KeepFile(const QString& file, const char* name) {
    if (const QString dir = ArtifactDir(); !dir.isEmpty()) {
        QFile::remove(dir + "/" + name);
        QFile::copy(file, dir + "/" + name);
    }
}

} // namespace kiv::test
