#include "folder_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace kiv {

bool ChooseFolder(const QString &title, const QString &startFolder, QString &folder, QWidget *parent) {
    QFileDialog dialog(parent, title, startFolder);
    dialog.setObjectName(QStringLiteral("FolderChooser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    folder = QDir::fromNativeSeparators(dialog.selectedFiles().constFirst());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return true;
}

} // namespace kiv
