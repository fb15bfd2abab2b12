#pragma once
// A printing surface for tests of page layouts: every call is written down as
// one line instead of drawn, and text is measured with fixed metrics, so a
// layout's positions come out the same on every machine and without Qt. A
// failure can be scripted from a chosen call on, to test how a window ends a
// job that breaks part-way.
#include "support/print_surface.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kiv {

// The fixed page and text metrics: an A4 page at 600 dots per inch, every
// character charWidthPerPoint x points wide and a line lineHeightPerPoint x
// points high (about what a narrow sans font measures).
struct TRecorderMetrics {
    int pageWidth = 4960;
    int pageHeight = 7016;
    double charWidthPerPoint = 4;
    double lineHeightPerPoint = 10;
};

class TPrintRecorder : public IPrintSurface {
  public:
    explicit TPrintRecorder(TRecorderMetrics metrics = {});

    // From the call with this number (0: the first) on, every call fails.
    void FailFrom(std::size_t call) { failFrom_ = call; }

    // One line per call, in order:
    //   begin TITLE | page | end
    //   font NAME POINTS [bold] [underline]
    //   text X Y TEXT
    //   pen RRGGBB WIDTH [dotted] [xor]
    //   line X1 Y1 X2 Y2 | brush RRGGBB | fill L T R B | picture L T R B FILE
    const std::vector<std::string> &Lines() const { return lines_; }
    // The number of pages the document holds so far.
    int Pages() const { return pages_; }

    bool BeginDocument(const std::string &title) override;
    bool NewPage() override;
    bool EndDocument() override;
    [[nodiscard]] int PageWidth() const override { return metrics_.pageWidth; }
    [[nodiscard]] int PageHeight() const override { return metrics_.pageHeight; }
    void SetFont(const TPrintFont &font) override;
    void TextOut(int x, int y, const std::string &text) override;
    [[nodiscard]] int TextWidth(const std::string &text) const override;
    [[nodiscard]] int TextHeight(const std::string &text) const override;
    void SetPen(const TPrintPen &pen) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void SetBrush(uint32_t colour) override;
    void FillRect(int left, int top, int right, int bottom) override;
    void StretchPicture(int left, int top, int right, int bottom, const std::string &pictureFile) override;
    [[nodiscard]] bool Failed() const override { return failed_; }

  private:
    // Writes the line down; false once the scripted failure is reached.
    bool Record(std::string line);

    TRecorderMetrics metrics_;
    TPrintFont font_;
    std::vector<std::string> lines_;
    std::size_t calls_ = 0;
    std::size_t failFrom_ = static_cast<std::size_t>(-1);
    int pages_ = 0;
    bool failed_ = false;
};

} // namespace kiv
