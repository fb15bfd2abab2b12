#include "support/gui/display_text.h"

#include "support/text_encoding.h"

#include <QLocale>

namespace kiv {

QString DisplayText(const std::string& bytes) { return QString::fromStdString(DecodeText(bytes)); }

std::string SystemDecimalSeparator() { return QLocale::system().decimalPoint().toStdString(); }

} // namespace kiv
