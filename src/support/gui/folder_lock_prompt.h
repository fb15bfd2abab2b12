#pragma once
// The question the main window asks when its data folder is locked by
// another running program (support/folder_lock.h): open the folder anyway,
// or choose another one. SettleFolderLock is the main window's one call at
// start and whenever its data folder changes.
#include <QDialog>

#include <functional>
#include <string>

#include "support/folder_lock.h"

class QLabel;
class QPushButton;

namespace kiv {

class TFFolderLockPrompt : public QDialog {
    Q_OBJECT
  public:
    enum Choice { OpenAnyway = 1, ChooseOther = 2 };

    explicit TFFolderLockPrompt(QWidget *parent = nullptr);

    // Asks about `folder`, held by `owner`; Escape and the title bar choose another folder.
    Choice Ask(const std::string &folder, const TFolderLockOwner &owner);

    QLabel *Text() const { return text_; }
    QPushButton *OpenButton() const { return open_; }
    QPushButton *ChooseButton() const { return choose_; }

  private:
    QLabel *text_;
    QPushButton *open_;
    QPushButton *choose_;
};

// Moves the program's lock (ProgramFolderLock) to `wanted`, the lock of the
// folder left behind released. A folder another running program holds
// brings up the question, and "Wybierz inny folder" the folder chooser,
// until the user opens a folder anyway (working there without the lock,
// the other program's lock left alone) or picks one that is free. A stale
// lock is taken over without a question. Returns the folder to work in.
// `choose` stands in for the folder chooser (a test answers it); empty: the chooser.
using TFolderChoice = std::function<bool(const std::string &start, std::string &chosen)>;
[[nodiscard]] std::string SettleFolderLock(const std::string &wanted, QWidget *parent = nullptr,
                                           const TFolderChoice &choose = {});

} // namespace kiv
