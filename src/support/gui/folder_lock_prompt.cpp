#include "folder_lock_prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "folder_chooser.h"
#include "support/helpers.h"

namespace kiv {

TFFolderLockPrompt::TFFolderLockPrompt(QWidget *parent)
    : QDialog(parent), text_(new QLabel(this)), open_(new QPushButton(QStringLiteral("Otwórz mimo to"), this)),
      choose_(new QPushButton(QStringLiteral("Wybierz inny folder"), this)) {
    setObjectName(QStringLiteral("TFFolderLockPrompt"));
    setWindowTitle(QStringLiteral("Folder danych w użyciu"));
    text_->setObjectName(QStringLiteral("Label_Text"));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    open_->setObjectName(QStringLiteral("Button_OpenAnyway"));
    choose_->setObjectName(QStringLiteral("Button_ChooseOther"));
    // The safe answer is the one Enter gives.
    choose_->setDefault(true);
    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);

    auto *message = new QHBoxLayout;
    message->addWidget(icon);
    message->addSpacing(8);
    message->addWidget(text_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(open_);
    buttons->addWidget(choose_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(open_, &QPushButton::clicked, this, [this] { done(OpenAnyway); });
    connect(choose_, &QPushButton::clicked, this, [this] { done(ChooseOther); });
}

TFFolderLockPrompt::Choice TFFolderLockPrompt::Ask(const std::string &folder, const TFolderLockOwner &owner) {
    text_->setText(QStringLiteral("Folder danych\n%1\njest używany przez inny działający program:\n%2.\n\n"
                                  "Dwa programy zapisujące do jednego folderu mogą utracić odczytane dane,\n"
                                  "bo każdy z nich zapisuje pliki w całości.\n\n"
                                  "Otworzyć ten folder mimo to, czy wybrać inny?")
                       .arg(QString::fromStdString(PathWithSeparator(folder)), QString::fromStdString(OwnerText(owner))));
    choose_->setFocus();
    return exec() == OpenAnyway ? OpenAnyway : ChooseOther;
}

namespace {

bool ChooseOtherFolder(const std::string &start, std::string &chosen, QWidget *parent) {
    QString folder;
    if (!ChooseFolder(QStringLiteral("Wybierz katalog danych"), QString::fromStdString(start), folder, parent))
        return false;
    chosen = folder.toStdString();
    return true;
}

} // namespace

std::string SettleFolderLock(const std::string &wanted, QWidget *parent, const TFolderChoice &choose) {
    std::string folder = wanted;
    TFolderLock &held = ProgramFolderLock();
    for (;;) {
        if (held.Held() && held.Folder() == PathWithSeparator(folder))
            return folder;
        TFolderLock next;
        TFolderLockOwner holder;
        if (next.Acquire(folder, "Kiv", holder) != TLockResult::HeldByOther) {
            held = std::move(next);
            return folder;
        }
        TFFolderLockPrompt prompt(parent);
        if (prompt.Ask(folder, holder) == TFFolderLockPrompt::OpenAnyway) {
            held.Release();
            return folder;
        }
        std::string chosen;
        if (choose ? choose(folder, chosen) : ChooseOtherFolder(folder, chosen, parent))
            folder = chosen;
    }
}

} // namespace kiv
