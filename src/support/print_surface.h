#pragma once
// The printing surface: the small set of operations every printing window
// lays its pages out with, in the page's own units. A window computes every
// position from PageWidth() and PageHeight() and the measured text sizes;
// the back ends (support/gui/print_job.h) put the same calls on the system
// printer, into a PDF file or onto a screen canvas. A failed call ends the
// job: Failed() turns true and the window shows kPrintFailedText.
#include <cstdint>
#include <string>

namespace kiv {

inline constexpr const char* kPrintFailedText = "Próba wysłania danych do drukarki nie powiodła się";

struct TPrintFont {
    std::string name = "Arial Narrow";
    double points = 10;
    bool bold = false;
    bool underline = false;
};

struct TPrintPen {
    uint32_t colour = 0x000000; // 0xRRGGBB
    int width = 1;              // page units; 0 the thinnest line
    bool dotted = false;
    bool exclusiveOr = false;
};

class IPrintSurface {
public:
    virtual ~IPrintSurface() = default;

    // The job carries the title; false when it could not start.
    virtual bool BeginDocument(const std::string& title) = 0;
    virtual bool NewPage() = 0;
    virtual bool EndDocument() = 0;

    [[nodiscard]] virtual int PageWidth() const = 0;
    [[nodiscard]] virtual int PageHeight() const = 0;

    virtual void SetFont(const TPrintFont& font) = 0;
    // Text with its top-left corner at (x, y); UTF-8.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    [[nodiscard]] virtual int TextWidth(const std::string& text) const = 0;
    [[nodiscard]] virtual int TextHeight(const std::string& text) const = 0;

    virtual void SetPen(const TPrintPen& pen) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void SetBrush(uint32_t colour) = 0; // 0xRRGGBB
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
    // A picture file drawn scaled into the rectangle.
    virtual void StretchPicture(int left, int top, int right, int bottom, const std::string& pictureFile) = 0;

    [[nodiscard]] virtual bool Failed() const = 0;
};

} // namespace kiv
