#pragma once
// Pieces the settings and transmission forms are built from: the shown text
// of a string, a right-aligned number field, a button, the serial port list
// "COM1" to "COM128", the selection of a list item by its text with a
// fallback, and kept values. A stored value a control cannot show (a time above the
// field's range, a port such as "/dev/ttyUSB0") is shown as the control
// allows but saved back as it was read, until the user changes that control:
// a form marks each control the user changes and asks KeptValue or KeptText
// what to save.
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QString>

#include <string>

namespace kiv {

inline constexpr int kComPortCount = 128;
inline constexpr char kUserChangedProperty[] = "kivUserChanged";

[[nodiscard]] inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// A right-aligned number field named `name` (its component name).
[[nodiscard]] inline QSpinBox* MakeSpin(QWidget* parent, const char* name, int low, int high, int step = 1) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setAlignment(Qt::AlignRight);
    return spin;
}

// A form button named `name`; Enter in the form does not press it unasked.
[[nodiscard]] inline QPushButton* FormButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

inline void AddComPorts(QComboBox* combo) {
    combo->setMaxVisibleItems(16);
    for (int n = 1; n <= kComPortCount; ++n) combo->addItem(QStringLiteral("COM%1").arg(n));
}

// The item whose text equals the value (without regard to letter case
// unless match says otherwise), else the item at `fallback` (-1: none).
inline void SelectText(QComboBox* combo, const std::string& value, int fallback,
                       Qt::MatchFlags match = Qt::MatchFixedString) {
    const int at = combo->findText(ToQString(value), match);
    combo->setCurrentIndex(at >= 0 ? at : fallback);
}

inline void MarkUserChanged(QObject* control, bool changed = true) {
    control->setProperty(kUserChangedProperty, changed);
}
[[nodiscard]] inline bool UserChanged(const QObject* control) {
    return control->property(kUserChangedProperty).toBool();
}
// Forgets every mark of the form's controls; called when the form is filled from the file.
inline void ClearUserChanges(QObject* form) {
    for (QObject* control : form->findChildren<QObject*>())
        if (UserChanged(control)) MarkUserChanged(control, false);
}

// What to save: the shown value once the user changed the control, else the value read.
[[nodiscard]] inline int KeptValue(const QSpinBox* spin, int read) { return UserChanged(spin) ? spin->value() : read; }
[[nodiscard]] inline std::string KeptText(const QComboBox* combo, const std::string& read) {
    return UserChanged(combo) ? combo->currentText().toStdString() : read;
}

} // namespace kiv
