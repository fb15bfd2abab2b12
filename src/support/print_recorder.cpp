#include "print_recorder.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace kiv {
namespace {

std::string Colour(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string Box(int left, int top, int right, int bottom) {
    return std::to_string(left) + ' ' + std::to_string(top) + ' ' + std::to_string(right) + ' ' +
           std::to_string(bottom);
}

// Characters, not bytes: "ż" is as wide as "z".
int CodePoints(const std::string &text) {
    int count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

} // namespace

TPrintRecorder::TPrintRecorder(TRecorderMetrics metrics) : metrics_(metrics) {}

bool TPrintRecorder::Record(std::string line) {
    if (failed_ || calls_++ >= failFrom_) {
        failed_ = true;
        return false;
    }
    lines_.push_back(std::move(line));
    return true;
}

bool TPrintRecorder::BeginDocument(const std::string &title) {
    if (!Record("begin " + title))
        return false;
    pages_ = 1;
    return true;
}

bool TPrintRecorder::NewPage() {
    if (!Record("page"))
        return false;
    ++pages_;
    return true;
}

bool TPrintRecorder::EndDocument() { return Record("end"); }

void TPrintRecorder::SetFont(const TPrintFont &font) {
    std::ostringstream line;
    line << "font " << font.name << ' ' << font.points << (font.bold ? " bold" : "")
         << (font.underline ? " underline" : "");
    if (Record(line.str()))
        font_ = font;
}

void TPrintRecorder::TextOut(int x, int y, const std::string &text) {
    (void)Record("text " + std::to_string(x) + ' ' + std::to_string(y) + ' ' + text);
}

int TPrintRecorder::TextWidth(const std::string &text) const {
    return static_cast<int>(std::lround(CodePoints(text) * font_.points * metrics_.charWidthPerPoint));
}

int TPrintRecorder::TextHeight(const std::string &) const {
    return static_cast<int>(std::lround(font_.points * metrics_.lineHeightPerPoint));
}

void TPrintRecorder::SetPen(const TPrintPen &pen) {
    (void)Record("pen " + Colour(pen.colour) + ' ' + std::to_string(pen.width) + (pen.dotted ? " dotted" : "") +
                 (pen.exclusiveOr ? " xor" : ""));
}

void TPrintRecorder::Line(int x1, int y1, int x2, int y2) { (void)Record("line " + Box(x1, y1, x2, y2)); }

void TPrintRecorder::SetBrush(uint32_t colour) { (void)Record("brush " + Colour(colour)); }

void TPrintRecorder::FillRect(int left, int top, int right, int bottom) {
    (void)Record("fill " + Box(left, top, right, bottom));
}

void TPrintRecorder::StretchPicture(int left, int top, int right, int bottom, const std::string &pictureFile) {
    (void)Record("picture " + Box(left, top, right, bottom) + ' ' + pictureFile);
}

} // namespace kiv
