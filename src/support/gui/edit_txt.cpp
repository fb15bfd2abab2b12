#include "edit_txt.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kiv {

TFEditTxt::TFEditTxt(QWidget *parent)
    : QDialog(parent), edit_(new QLineEdit(this)), ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Anuluj"), this)) {
    setObjectName(QStringLiteral("TFEditTxt"));
    edit_->setObjectName(QStringLiteral("Edit_Text"));
    ok_->setObjectName(QStringLiteral("Button_OK"));
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    ok_->setDefault(true);
    // Room for a station label or a file name without scrolling.
    edit_->setMinimumWidth(QFontMetrics(edit_->font()).averageCharWidth() * 40);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFEditTxt::Execute(const QString &title, const QString &initial) {
    setWindowTitle(title);
    edit_->setText(initial);
    edit_->selectAll();
    edit_->setFocus();
    return exec() == QDialog::Accepted ? edit_->text() : initial;
}

QString TFEditTxt::EditText(const QString &title, const QString &initial, QWidget *parent) {
    TFEditTxt dialog(parent);
    return dialog.Execute(title, initial);
}

} // namespace kiv
