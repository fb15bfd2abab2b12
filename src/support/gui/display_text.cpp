#include "support/gui/display_text.h"

#include "support/text_encoding.h"

namespace kiv {

QString DisplayText(const std::string& bytes) { return QString::fromStdString(DecodeText(bytes)); }

} // namespace kiv
