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
#include <optional>

namespace kiv {
namespace {

constexpr const char *kButtonNames[kButtonCount] = {
    "Button_Tak",      "Button_Nie",          "Button_OK",        "Button_Anuluj",
    "Button_Przerwij", "Button_Ponow",        "Button_Zaniechaj", "Button_Wszystko",
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

Units MeasureUnits(const QFontMetrics &fm) {
    static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {std::max(1, fm.horizontalAdvance(kLetters) / 52), std::max(1, fm.height())};
}

// Kind 4 (the application's own messages) and unknown kinds show no icon.
std::optional<QStyle::StandardPixmap> KindIcon(int kind) {
    switch (kind) {
    case MsgWarning:
        return QStyle::SP_MessageBoxWarning;
    case MsgError:
        return QStyle::SP_MessageBoxCritical;
    case MsgInformation:
        return QStyle::SP_MessageBoxInformation;
    case MsgConfirmation:
        return QStyle::SP_MessageBoxQuestion;
    default:
        return std::nullopt;
    }
}

QScreen *ScreenOf(const QWidget *parent) {
    QScreen *screen = parent ? parent->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

int HalfScreenWidth(const QWidget *parent) {
    const QScreen *screen = ScreenOf(parent);
    return (screen ? screen->geometry().width() : 1024) / 2;
}

// Word wrap within the width; a single word longer than the width (a long
// path) is broken anywhere instead of widening the box.
QRect MeasureText(const QFontMetrics &fm, const QString &text, int width, int &flags) {
    flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect rect = fm.boundingRect(QRect(0, 0, width, 0), flags, text);
    if (rect.width() <= width)
        return rect;
    flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
    return fm.boundingRect(QRect(0, 0, width, 0), flags, text);
}

// Equal buttons in rows no wider than the room; a caption longer than the
// standard width widens them all.
struct ButtonGrid {
    int buttonWidth = 0, buttonHeight = 0, spacing = 0, rowGap = 0, perRow = 1;
    int width = 0, height = 0;
};

ButtonGrid GridFor(const std::vector<QPushButton *> &buttons, const Units &u, int room) {
    ButtonGrid g;
    g.buttonWidth = u.Horz(kButtonWidthQ);
    for (const QPushButton *b : buttons)
        g.buttonWidth = std::max(g.buttonWidth, b->sizeHint().width());
    g.buttonWidth = std::min(g.buttonWidth, room);
    g.buttonHeight = u.Vert(kButtonHeightE);
    g.spacing = u.Horz(kButtonSpacingQ);
    g.rowGap = u.Vert(kRowSpacingE);
    const int count = static_cast<int>(buttons.size());
    if (count == 0)
        return g;
    g.perRow = std::max(1, std::min(count, (room + g.spacing) / (g.buttonWidth + g.spacing)));
    const int rows = (count + g.perRow - 1) / g.perRow;
    g.width = g.perRow * g.buttonWidth + (g.perRow - 1) * g.spacing;
    g.height = rows * g.buttonHeight + (rows - 1) * g.rowGap;
    return g;
}

void PlaceButtons(const std::vector<QPushButton *> &buttons, const ButtonGrid &g, int top, int boxWidth) {
    const int count = static_cast<int>(buttons.size());
    for (int i = 0; i < count; ++i) {
        const int row = i / g.perRow, inRow = std::min(g.perRow, count - row * g.perRow);
        const int left = (boxWidth - (inRow * g.buttonWidth + (inRow - 1) * g.spacing)) / 2;
        buttons[i]->setGeometry(left + (i % g.perRow) * (g.buttonWidth + g.spacing),
                                top + row * (g.buttonHeight + g.rowGap), g.buttonWidth, g.buttonHeight);
    }
}

// Only buttons 0..9 close the box; "Pomoc" has no help to show.
bool HasClosingButton(unsigned buttons) {
    return (buttons & ((1u << kHelpBit) - 1u)) != 0;
}

} // namespace

TMsgText::TMsgText(const QString &text, int flags, QWidget *parent)
    : QWidget(parent), text_(text), flags_(flags) {
    setObjectName(QStringLiteral("Message"));
}

void TMsgText::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawText(rect(), flags_, text_);
}

TFPolMsg::TFPolMsg(const QString &caption, const QString &text, int kind, unsigned buttons, QWidget *parent)
    : QDialog(parent), escapeBit_(EscapeButtonBit(buttons)),
      closable_(escapeBit_ >= 0 || !HasClosingButton(buttons)) {
    setObjectName(QStringLiteral("TFPolMsg"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   (closable_ ? Qt::WindowCloseButtonHint : Qt::WindowType(0)));
    setWindowTitle(caption.isEmpty() ? QString::fromStdString(KindCaption(kind)) : caption);
    setFont(QApplication::font("QMessageBox"));

    if (const auto pixmap = KindIcon(kind)) {
        icon_ = new QLabel(this);
        icon_->setObjectName(QStringLiteral("Image"));
        icon_->setPixmap(style()->standardIcon(*pixmap, nullptr, this).pixmap(kIconSize, kIconSize));
    }
    BuildButtons(buttons);
    Arrange(text);
}

QPushButton *TFPolMsg::Button(int bit) const {
    for (std::size_t i = 0; i < bits_.size(); ++i)
        if (bits_[i] == bit)
            return buttons_[i];
    return nullptr;
}

void TFPolMsg::BuildButtons(unsigned buttons) {
    for (int bit = 0; bit < kButtonCount; ++bit) {
        if (!((buttons >> bit) & 1u))
            continue;
        auto *button = new QPushButton(QString::fromUtf8(ButtonCaption(bit)), this);
        button->setObjectName(QString::fromLatin1(kButtonNames[bit]));
        if (bit != kHelpBit) {
            const int result = ButtonResult(bit);
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        }
        buttons_.push_back(button);
        bits_.push_back(bit);
    }
    QPushButton *preferred = Button(DefaultButtonBit(buttons));
    if (preferred)
        preferred->setDefault(true);
    if (!preferred && !buttons_.empty())
        preferred = buttons_.front();
    if (preferred)
        preferred->setFocus();
}

// Text (with the icon on its left) on top, the buttons centred below; the
// whole box keeps within half the screen width.
void TFPolMsg::Arrange(const QString &text) {
    const QFontMetrics fm(font());
    const Units u = MeasureUnits(fm);
    const int hMargin = u.Horz(kMarginQ), vMargin = u.Vert(kMarginE);
    const int inner = std::max(1, HalfScreenWidth(parentWidget()) - 2 * hMargin);
    const int iconBlock = icon_ ? kIconSize + hMargin : 0;

    int flags = 0;
    const QRect textRect = MeasureText(fm, text, std::max(1, inner - iconBlock), flags);
    if (icon_)
        icon_->setGeometry(hMargin, vMargin, kIconSize, kIconSize);
    text_ = new TMsgText(text, flags, this);
    text_->setGeometry(hMargin + iconBlock, vMargin, textRect.width(), textRect.height());

    const ButtonGrid grid = GridFor(buttons_, u, inner);
    const int boxWidth = std::max(iconBlock + textRect.width(), grid.width) + 2 * hMargin;
    const int buttonsTop = vMargin + std::max(textRect.height(), icon_ ? kIconSize : 0) + vMargin;
    PlaceButtons(buttons_, grid, buttonsTop, boxWidth);
    setFixedSize(boxWidth, buttonsTop + grid.height + vMargin);

    if (const QScreen *screen = ScreenOf(parentWidget()))
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

int TFPolMsg::Execute() {
    return exec();
}

// Escape and the title bar's close: the Escape button's answer. A box whose
// only way out is a choice (Przerwij/Ponów/Zaniechaj) stays open.
void TFPolMsg::reject() {
    if (escapeBit_ >= 0)
        done(ButtonResult(escapeBit_));
    else if (closable_)
        done(ResNone);
}

int QtMessageSink::Show(const std::string &caption, const std::string &text, int kind, unsigned buttons) {
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    TFPolMsg box(QString::fromStdString(caption), QString::fromStdString(text), kind, buttons, parent);
    return box.Execute();
}

} // namespace kiv
