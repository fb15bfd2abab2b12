#pragma once
// Marks a tick box whose state carries over to the next run. The program
// start's window keeper stores it with its window's place when the window
// hides and sets it again when the window first shows; a window only marks
// its tick and knows nothing of where it is kept.
#include <QAbstractButton>

namespace kiv {

inline constexpr char kKeptTickProperty[] = "kivKeptTick";

inline void KeepTickBetweenRuns(QAbstractButton* tick) { tick->setProperty(kKeptTickProperty, true); }

} // namespace kiv
