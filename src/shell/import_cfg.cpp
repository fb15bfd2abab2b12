#include "shell/import_cfg.h"

#include "shell/model/config_import.h"
#include "support/gui/folder_chooser.h"
#include "support/gui/form_fields.h"
#include "support/helpers.h"
#include "support/messages.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kiv {

namespace {

std::string FolderOf(const QLineEdit* edit) { return PathWithSeparator(edit->text().trimmed().toStdString()); }

} // namespace

TFImportCfg::TFImportCfg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFImportCfg"));
    setWindowTitle(QStringLiteral("Import konfiguracji"));
    auto* folders = new QGridLayout;
    folders->addWidget(new QLabel(QStringLiteral("Katalog źródłowy :"), this), 0, 0);
    folders->addWidget(new QLabel(QStringLiteral("Katalog docelowy :"), this), 1, 0);
    QPushButton* chooseSource = FolderRow(source_, "Edit_Src", "Button_Src");
    QPushButton* chooseDestination = FolderRow(destination_, "Edit_Dst", "Button_Dst");
    folders->addWidget(source_, 0, 1);
    folders->addWidget(chooseSource, 0, 2);
    folders->addWidget(destination_, 1, 1);
    folders->addWidget(chooseDestination, 1, 2);
    folders->setColumnStretch(1, 1);

    auto* mode = new QGroupBox(QStringLiteral("Kopiowanie"), this);
    mode->setObjectName(QStringLiteral("RadioGroup_Mode"));
    onlyNew_ = new QRadioButton(QStringLiteral("Tylko nowe"), mode);
    overwrite_ = new QRadioButton(QStringLiteral("Nadpisuj istniejące"), mode);
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(onlyNew_);
    modeLayout->addWidget(overwrite_);

    ok_ = FormButton(this, "Button_OK", QStringLiteral("OK"));
    ok_->setDefault(true);
    QPushButton* cancel = FormButton(this, "Button_Anuluj", QStringLiteral("Anuluj"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(mode, 1);
    middle->addLayout(buttons);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar"));
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel(statusBar);
    statusBar->addWidget(status_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folders);
    layout->addLayout(middle);
    layout->addWidget(statusBar);
    layout->setContentsMargins(9, 9, 9, 0);
    resize(520, sizeHint().height());

    connect(chooseSource, &QPushButton::clicked, this,
            [this] { Choose(source_, QStringLiteral("Wybierz katalog źródłowy")); });
    connect(chooseDestination, &QPushButton::clicked, this,
            [this] { Choose(destination_, QStringLiteral("Wybierz katalog docelowy")); });
    connect(ok_, &QPushButton::clicked, this, &TFImportCfg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* TFImportCfg::FolderRow(QLineEdit*& edit, const char* name, const char* buttonName) {
    edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    connect(edit, &QLineEdit::textChanged, this, &TFImportCfg::UpdateOk);
    QPushButton* choose = FormButton(this, buttonName, QStringLiteral(">>"));
    choose->setFixedWidth(choose->fontMetrics().horizontalAdvance(QStringLiteral(">>")) * 3);
    return choose;
}

void TFImportCfg::Setup(const TImportArgs& args) {
    lists_ = {args.profileNames, args.brands, args.types, args.serials};
    imported_ = false;
    source_->setText(QString::fromStdString(args.dataFolder));
    destination_->setText(QString::fromStdString(args.dataFolder));
    onlyNew_->setChecked(true);
    status_->clear();
    UpdateOk();
}

bool TFImportCfg::Execute(const TImportArgs& args, std::string& destination) {
    Setup(args);
    exec();
    if (imported_) destination = FolderOf(destination_);
    return imported_;
}

QString TFImportCfg::StatusText() const { return status_->text(); }

void TFImportCfg::Choose(QLineEdit* edit, const QString& title) {
    QString folder;
    if (ChooseFolder(title, edit->text(), folder, this)) edit->setText(folder);
}

void TFImportCfg::UpdateOk() {
    const auto exists = [](const QLineEdit* edit) {
        return !edit->text().trimmed().isEmpty() && QDir(edit->text().trimmed()).exists();
    };
    ok_->setEnabled(exists(source_) && exists(destination_));
}

void TFImportCfg::OnOk() {
    ok_->setEnabled(false);
    const ImportMode mode = overwrite_->isChecked() ? ImportMode::Overwrite : ImportMode::OnlyNew;
    // Painted at once: the import runs without returning to the event loop,
    // so nothing the user does meanwhile can start it a second time.
    const int count = ImportOldConfiguration(FolderOf(source_), FolderOf(destination_), mode, lists_, [this](int n) {
        status_->setText(QString::fromStdString(ImportStatusText(n)));
        status_->repaint();
    });
    hide();
    (void)MessageDlg("", ImportResultText(count), MsgInformation, BtnOk);
    imported_ = count > 0;
    accept();
}

} // namespace kiv
