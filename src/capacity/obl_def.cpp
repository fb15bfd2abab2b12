#include "capacity/obl_def.h"

#include "config/virtual_stations.h"
#include "support/messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kiv {

namespace {

constexpr const char* kTitle = "Definicja obliczenia";

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// A list's "Dodaj" and "Usuń" are pressed by hand only: Enter in "Nazwa"
// must reach "OK", not the first button of the dialog.
QPushButton* ListButton(QWidget* parent, const char* name, const char* caption) {
    QPushButton* button = Button(parent, name, caption);
    button->setAutoDefault(false);
    return button;
}

void Fill(QListWidget* list, const std::vector<std::string>& texts) {
    list->clear();
    for (const std::string& text : texts) list->addItem(QString::fromStdString(text));
}

std::vector<std::string> Texts(const QListWidget* list) {
    std::vector<std::string> texts;
    for (int row = 0; row < list->count(); ++row) texts.push_back(list->item(row)->text().toStdString());
    return texts;
}

// The message for a save that did not happen.
void TellRefusal(const TDefinitionResult& done, const std::string& label, const std::string& kivIni) {
    switch (done.result) {
    case DefinitionSave::NoLabel:
        (void)MessageDlg(kTitle, "Podaj nazwę stacji wirtualnej", MsgWarning, BtnOk);
        break;
    case DefinitionSave::LabelHasSeparator:
        (void)MessageDlg(kTitle, "Nazwa stacji wirtualnej nie może zawierać znaku @", MsgWarning, BtnOk);
        break;
    case DefinitionSave::LabelTaken:
        (void)MessageDlg(kTitle, "Stacja wirtualna o nazwie \"" + label + "\" już istnieje", MsgWarning, BtnOk);
        break;
    case DefinitionSave::WriteFailed:
        (void)MessageDlg(kTitle, "Nie udało się zapisać pliku " + kivIni, MsgError, BtnOk);
        break;
    case DefinitionSave::Saved:
        break;
    }
}

} // namespace

TFOblDef::TFOblDef(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFOblDef"));
    setWindowTitle(QString::fromUtf8(kTitle));
    label_ = new QLineEdit(this);
    label_->setObjectName(QStringLiteral("EditLabel"));
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("Nazwa"), this));
    name->addWidget(label_, 1);

    auto* lists = new QHBoxLayout;
    lists->addWidget(BuildList("In plus", true));
    lists->addWidget(BuildList("In minus", false));

    ok_ = Button(this, "Button_OK", "OK");
    ok_->setDefault(true);
    cancel_ = Button(this, "Button_Ccl", "Anuluj");
    use_ = Button(this, "Button_Use", "Zastosuj");
    use_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(use_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(560, 380);

    connect(label_, &QLineEdit::textChanged, this, &TFOblDef::MarkChanged);
    connect(addPlus_, &QPushButton::clicked, this, [this] { OnAdd(true); });
    connect(addMinus_, &QPushButton::clicked, this, [this] { OnAdd(false); });
    connect(subPlus_, &QPushButton::clicked, this, [this] { OnRemove(plus_); });
    connect(subMinus_, &QPushButton::clicked, this, [this] { OnRemove(minus_); });
    connect(ok_, &QPushButton::clicked, this, &TFOblDef::accept);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        use_->setEnabled(false);
        QDialog::reject();
    });
}

QWidget* TFOblDef::BuildList(const char* caption, bool plus) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), this);
    auto* list = new QListWidget(box);
    list->setObjectName(plus ? QStringLiteral("ListBoxPos") : QStringLiteral("ListBoxNeg"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QPushButton* add = ListButton(box, plus ? "ButtonAddPos" : "ButtonAddNeg", "Dodaj");
    QPushButton* sub = ListButton(box, plus ? "ButtonSubPos" : "ButtonSubNeg", "Usuń");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(sub);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    (plus ? plus_ : minus_) = list;
    (plus ? addPlus_ : addMinus_) = add;
    (plus ? subPlus_ : subMinus_) = sub;
    return box;
}

void TFOblDef::Setup(const TOblDefArgs& args) {
    args_ = args;
    saved_ = false;
    savedLabel_.clear();
    filling_ = true;
    label_->setText(QString::fromStdString(args.label));
    const TMemberLists members = MembersOf(CleanFormula(args.formula), StationDb());
    Fill(plus_, members.plus);
    Fill(minus_, members.minus);
    filling_ = false;
    use_->setEnabled(false);
    number_ = LookupSum(args.kivIni, args.dataFolder, args.label).number;
    label_->setFocus();
}

bool TFOblDef::Execute(const TOblDefArgs& args, std::string& savedLabel) {
    Setup(args);
    exec();
    if (saved_) savedLabel = savedLabel_;
    return saved_;
}

TMemberLists TFOblDef::Members() const { return {Texts(plus_), Texts(minus_)}; }

void TFOblDef::MarkChanged() {
    if (!filling_) use_->setEnabled(true);
}

void TFOblDef::OnAdd(bool plus) {
    MarkChanged();
    if (!picker_) return;
    const TMemberLists members = Members();
    const std::vector<std::string> picked = PickedMembers(picker_(members), StationDb(), members);
    QListWidget* list = plus ? plus_ : minus_;
    for (const std::string& text : picked) list->addItem(QString::fromStdString(text));
}

void TFOblDef::OnRemove(QListWidget* list) {
    MarkChanged();
    for (QListWidgetItem* item : list->selectedItems()) delete item;
}

bool TFOblDef::Save() {
    const std::string typed = label_->text().toStdString();
    const TDefinitionResult done =
        SaveDefinition({args_.kivIni, args_.dataFolder, number_, args_.label, typed, Members()});
    if (done.result != DefinitionSave::Saved) {
        TellRefusal(done, typed, args_.kivIni);
        label_->setFocus();
        return false;
    }
    use_->setEnabled(false);
    number_ = done.number;
    saved_ = true;
    savedLabel_ = done.label;
    return true;
}

void TFOblDef::accept() {
    if (Save()) QDialog::accept();
}

void TFOblDef::reject() {
    if (use_->isEnabled() && MessageDlg("", "Zapamiętać zmiany?", MsgConfirmation, BtnYes | BtnNo) == ResYes) {
        if (Save()) QDialog::accept();
        return;
    }
    QDialog::reject();
}

} // namespace kiv
