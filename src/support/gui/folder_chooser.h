#pragma once
// Folder chooser: the platform's file dialog restricted to folders.
#include <QString>

class QWidget;

namespace kiv {

// Opens at the start folder, which is chosen if the operator just confirms.
// True with the chosen folder (ending in "/") in folder; false when cancelled.
[[nodiscard]] bool ChooseFolder(const QString &title, const QString &startFolder, QString &folder,
                                QWidget *parent = nullptr);

} // namespace kiv
