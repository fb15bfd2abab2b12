#include "shell/about_box.h"

#include "shell/node_icons.h"
#include "shell/model/station_tree.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef KIV_VERSION
#define KIV_VERSION "0.0.0"
#endif

namespace kiv {

QString TFOProgramie::VersionText() { return QStringLiteral("Wersja ") + QStringLiteral(KIV_VERSION); }

TFOProgramie::TFOProgramie(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFOProgramie"));
    setWindowTitle(QStringLiteral("O programie"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(KindPixmap(KindStation).scaled(48, 48));
    auto* name = new QLabel(QStringLiteral("<b style='font-size:16pt'>Kiv</b><br>"
                                           "Odczyt i archiwizacja danych z korektorów objętości gazu"),
                            this);
    version_ = new QLabel(VersionText(), this);
    version_->setObjectName(QStringLiteral("Label_Wersja"));
    auto* notice = new QLabel(QStringLiteral("Copyright © 2026 The Kiv developers.\n"
                                             "Program udostępniany na licencji MIT."),
                              this);
    notice->setObjectName(QStringLiteral("Label_Prawa"));
    const QString address = QString::fromLatin1(kMakerWebAddress);
    link_ = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(address), this);
    link_->setObjectName(QStringLiteral("Label_WWW"));
    link_->setTextFormat(Qt::RichText);
    link_->setOpenExternalLinks(true);
    link_->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Button_OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version_);
    text->addSpacing(8);
    text->addWidget(notice);
    text->addWidget(link_);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kiv
