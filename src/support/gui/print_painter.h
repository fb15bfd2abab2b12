#pragma once
// The printing surface on a QPainter. One drawing core serves three kinds of
// page: the system printer (a QPrinter set up by the print dialog), a PDF file
// and an on-screen canvas (an image or a widget being painted). Positions are
// device units of that page; fonts are sized in points on the page device, so
// a layout measured on the printer fits the printer. Windows do not use these
// classes for printing directly: RunPrintJob (print_job.h) picks the back end.
#include "support/print_surface.h"

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

class QPrinter;

namespace kiv {

// The installed family for a family the layouts name: the named one when it
// is installed, else its metric-compatible stand-in ("Arial Narrow" is
// "Liberation Sans Narrow", "Times New Roman" is "Liberation Serif").
[[nodiscard]] QString PrintFontFamily(const std::string &name);

class TPainterSurface : public IPrintSurface {
  public:
    TPainterSurface(const TPainterSurface &) = delete;
    TPainterSurface &operator=(const TPainterSurface &) = delete;

    // A second BeginDocument on an open document changes nothing.
    bool BeginDocument(const std::string &title) override;
    bool NewPage() override;
    bool EndDocument() override;
    [[nodiscard]] int PageWidth() const override;
    [[nodiscard]] int PageHeight() const override;
    void SetFont(const TPrintFont &font) override;
    void TextOut(int x, int y, const std::string &text) override;
    [[nodiscard]] int TextWidth(const std::string &text) const override;
    [[nodiscard]] int TextHeight(const std::string &text) const override;
    // Exclusive-or needs a device that mixes pixels; on a printer or in a PDF
    // the line is drawn plainly in the pen's colour.
    void SetPen(const TPrintPen &pen) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void SetBrush(uint32_t colour) override;
    void FillRect(int left, int top, int right, int bottom) override;
    // A picture that cannot be read fails the job.
    void StretchPicture(int left, int top, int right, int bottom, const std::string &pictureFile) override;
    [[nodiscard]] bool Failed() const override { return failed_; }

    // Whether the last SetPen's exclusive-or is really drawn as such.
    [[nodiscard]] bool DrawsExclusiveOr() const;

  protected:
    TPainterSurface() = default;
    ~TPainterSurface() override = default;

    virtual QPaintDevice &Device() = 0;
    [[nodiscard]] virtual const QPaintDevice &Device() const = 0;
    // Called before painting starts, while the device still takes a title.
    virtual void SetTitle(const QString &) {}
    // Moves the device on to its next page.
    virtual bool StartPage() = 0;
    // Paints what a fresh page needs (a canvas: white); paper needs nothing.
    virtual void OnFreshPage() {}
    // Whether the device has not broken down since the last call.
    [[nodiscard]] virtual bool DeviceOk() const { return true; }
    // Throws away what a failed job has produced so far.
    virtual void Abandon() {}
    // Ends painting; every back end calls it before its device goes.
    void EndPainting();
    QPainter &Painter() { return painter_; }

  private:
    enum class State { Before, Open, Closed };
    bool Drawing() const { return state_ == State::Open && !failed_; }
    void Fail();
    void ApplyPen();

    QPainter painter_;
    QFont font_;
    TPrintPen pen_;
    QBrush brush_{Qt::black};
    State state_ = State::Before;
    bool failed_ = false;
};

// The system printer as the print dialog set it up (or a QPrinter in PDF mode).
class TPrinterSurface : public TPainterSurface {
  public:
    explicit TPrinterSurface(QPrinter &printer) : printer_(printer) {}
    ~TPrinterSurface() override;

  protected:
    QPaintDevice &Device() override;
    const QPaintDevice &Device() const override;
    void SetTitle(const QString &title) override;
    bool StartPage() override;
    bool DeviceOk() const override;
    void Abandon() override;

  private:
    QPrinter &printer_;
};

// An A4 PDF file at 600 dots per inch, carrying the title in its properties.
class TPdfSurface : public TPainterSurface {
  public:
    TPdfSurface(const std::string &path, bool landscape);
    ~TPdfSurface() override;

  protected:
    QPaintDevice &Device() override { return writer_; }
    const QPaintDevice &Device() const override { return writer_; }
    void SetTitle(const QString &title) override;
    bool StartPage() override { return writer_.newPage(); }
    // A broken-off PDF is removed rather than left half written.
    void Abandon() override;

  private:
    QString path_;
    QPdfWriter writer_;
};

// An image or a widget inside its paintEvent. Every page starts white; a new
// page paints over the last one, so a canvas shows one page.
class TCanvasSurface : public TPainterSurface {
  public:
    explicit TCanvasSurface(QPaintDevice &device) : device_(device) {}
    ~TCanvasSurface() override;

  protected:
    QPaintDevice &Device() override { return device_; }
    const QPaintDevice &Device() const override { return device_; }
    bool StartPage() override { return true; }
    void OnFreshPage() override;

  private:
    QPaintDevice &device_;
};

} // namespace kiv
