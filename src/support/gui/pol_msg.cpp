#include "pol_msg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace kiv {
namespace {

constexpr const char* kButtonNames[kButtonCount] = {
    "Button_Tak",      "Button_Nie",     "Button_OK",        "Button_Anuluj",
    "Button_Przerwij", "Button_Ponow",   "Button_Zaniechaj", "Button_Wszystko",
    "Button_NieZadne", "Button_TakWszystkie", "Button_Pomoc",
};
constexpr int kHelpBit = 10;
constexpr int kIconSize = 32;

// Sizes in the font's own units: horizontal ones in quarters of the average
// character width, vertical ones in eighths of the character height.
constexpr int kMarginQ = 8, kMarginE = 8, kButtonWidthQ = 50, kButtonHeightE = 14, kButtonSpacingQ = 20;
constexpr int kRowSpacingE = 4;

struct Units {
    int avgWidth = 1;
    int height = 1;
    int Horz(int quarters) const { return quarters * avgWidth / 4; }
    int Vert(int eighths) const { return eighths * height / 8; }
};

Units MeasureUnits(const QFontMetrics& fm) {
    static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {std::max(1, fm.horizontalAdvance(kLetters) / 52), std::max(1, fm.height())};
}

QStyle::StandardPixmap KindIcon(int kind, bool& has) {
    has = true;
    switch (kind) {
    case MsgWarning: return QStyle::SP_MessageBoxWarning;
    case MsgError: return QStyle::SP_MessageBoxCritical;
    case MsgInformation: return QStyle::SP_MessageBoxInformation;
    case MsgConfirmation: return QStyle::SP_MessageBoxQuestion;
    default: has = false; return QStyle::SP_MessageBoxInformation;
    }
}

QScreen* ScreenOf(const QWidget* parent) {
    QScreen* screen = parent ? parent->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

int HalfScreenWidth(const QWidget* parent) {
    const QScreen* screen = ScreenOf(parent);
    return (screen ? screen->geometry().width() : 1024) / 2;
}

// Only buttons 0..9 close the box; "Pomoc" has no help to show.
bool HasClosingButton(unsigned buttons) { return (buttons & ((1u << kHelpBit) - 1u)) != 0; }

} // namespace

TMsgText::TMsgText(const QString& text, int flags, QWidget* parent) : QWidget(parent), text_(text), flags_(flags) {
    setObjectName(QStringLiteral("Message"));
}

void TMsgText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawText(rect(), flags_, text_);
}

TFPolMsg::TFPolMsg(const QString& caption, const QString& text, int kind, unsigned buttons, QWidget* parent)
    : QDialog(parent), escapeBit_(EscapeButtonBit(buttons)),
      closable_(escapeBit_ >= 0 || !HasClosingButton(buttons)) {
    setObjectName(QStringLiteral("TFPolMsg"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   (closable_ ? Qt::WindowCloseButtonHint : Qt::WindowType(0)));
    setWindowTitle(caption.isEmpty() ? QString::fromStdString(KindCaption(kind)) : caption);
    setFont(QApplication::font("QMessageBox"));

    bool withIcon = false;
    const QStyle::StandardPixmap pixmap = KindIcon(kind, withIcon);
    if (withIcon) {
        icon_ = new QLabel(this);
        icon_->setObjectName(QStringLiteral("Image"));
        icon_->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(kIconSize, kIconSize));
    }
    BuildButtons(buttons);
    Arrange(text, withIcon);
}

QPushButton* TFPolMsg::Button(int bit) const {
    for (std::size_t i = 0; i < bits_.size(); ++i)
        if (bits_[i] == bit) return buttons_[i];
    return nullptr;
}

void TFPolMsg::BuildButtons(unsigned buttons) {
    for (int bit = 0; bit < kButtonCount; ++bit) {
        if (!((buttons >> bit) & 1u)) continue;
        auto* button = new QPushButton(QString::fromUtf8(ButtonCaption(bit)), this);
        button->setObjectName(QString::fromLatin1(kButtonNames[bit]));
        if (bit != kHelpBit) {
            const int result = ButtonResult(bit);
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        }
        buttons_.push_back(button);
        bits_.push_back(bit);
    }
    QPushButton* preferred = Button(DefaultButtonBit(buttons));
    if (preferred) preferred->setDefault(true);
    if (!preferred && !buttons_.empty()) preferred = buttons_.front();
    if (preferred) preferred->setFocus();
}

// Text (with the icon on its left) on top, the buttons centred below; the
// whole box keeps within half the screen width, so an over-long button row
// continues on a further row and an over-long word is broken where needed.
void TFPolMsg::Arrange(const QString& text, bool withIcon) {
    const QFontMetrics fm(font());
    const Units u = MeasureUnits(fm);
    const int hMargin = u.Horz(kMarginQ), vMargin = u.Vert(kMarginE);
    const int inner = std::max(1, HalfScreenWidth(parentWidget()) - 2 * hMargin);
    const int iconBlock = withIcon ? kIconSize + hMargin : 0;

    const int textWidth = std::max(1, inner - iconBlock);
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QRect textRect = fm.boundingRect(QRect(0, 0, textWidth, 0), flags, text);
    if (textRect.width() > textWidth) {
        flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
        textRect = fm.boundingRect(QRect(0, 0, textWidth, 0), flags, text);
    }
    const int iconTextWidth = iconBlock + textRect.width();
    const int iconTextHeight = std::max(textRect.height(), withIcon ? kIconSize : 0);

    int buttonWidth = u.Horz(kButtonWidthQ);
    for (const QPushButton* b : buttons_) buttonWidth = std::max(buttonWidth, b->sizeHint().width());
    buttonWidth = std::min(buttonWidth, inner);
    const int buttonHeight = u.Vert(kButtonHeightE), spacing = u.Horz(kButtonSpacingQ);
    const int rowGap = u.Vert(kRowSpacingE);
    const int count = static_cast<int>(buttons_.size());
    const int perRow = std::max(1, std::min(count, (inner + spacing) / (buttonWidth + spacing)));
    const int rows = (count + perRow - 1) / perRow;
    const int rowWidth = count == 0 ? 0 : perRow * buttonWidth + (perRow - 1) * spacing;

    const int clientWidth = std::max(iconTextWidth, rowWidth) + 2 * hMargin;
    const int buttonsTop = vMargin + iconTextHeight + vMargin;
    const int clientHeight = buttonsTop + rows * buttonHeight + std::max(0, rows - 1) * rowGap + vMargin;

    if (icon_) icon_->setGeometry(hMargin, vMargin, kIconSize, kIconSize);
    text_ = new TMsgText(text, flags, this);
    text_->setGeometry(hMargin + iconBlock, vMargin, textRect.width(), textRect.height());
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow, inRow = std::min(perRow, count - row * perRow);
        const int left = (clientWidth - (inRow * buttonWidth + (inRow - 1) * spacing)) / 2;
        buttons_[i]->setGeometry(left + (i % perRow) * (buttonWidth + spacing), buttonsTop + row * (buttonHeight + rowGap),
                                 buttonWidth, buttonHeight);
    }
    setFixedSize(clientWidth, clientHeight);

    const QScreen* screen = ScreenOf(parentWidget());
    if (screen) move(screen->availableGeometry().center() - QPoint(clientWidth / 2, clientHeight / 2));
}

int TFPolMsg::Execute() { return exec(); }

// Escape and the title bar's close: the Escape button's answer. A box whose
// only way out is a choice (Przerwij/Ponów/Zaniechaj) stays open.
void TFPolMsg::reject() {
    if (escapeBit_ >= 0)
        done(ButtonResult(escapeBit_));
    else if (closable_)
        done(ResNone);
}

int QtMessageSink::Show(const std::string& caption, const std::string& text, int kind, unsigned buttons) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    TFPolMsg box(QString::fromStdString(caption), QString::fromStdString(text), kind, buttons, parent);
    return box.Execute();
}

} // namespace kiv
