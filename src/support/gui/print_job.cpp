#include "print_job.h"

#include "support/gui/display_text.h"
#include "support/gui/print_painter.h"
#include "support/messages.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace kiv {
namespace {

// Keeps the window's print command disabled for as long as the job lives,
// then gives it back the state it had (the window may have disabled it for
// reasons of its own).
class TCommandLock {
  public:
    explicit TCommandLock(const TPrintCommand &command) : button_(command.button), action_(command.action) {
        if (button_) {
            buttonWas_ = button_->isEnabled();
            button_->setEnabled(false);
        }
        if (action_) {
            actionWas_ = action_->isEnabled();
            action_->setEnabled(false);
        }
    }
    ~TCommandLock() {
        if (button_)
            button_->setEnabled(buttonWas_);
        if (action_)
            action_->setEnabled(actionWas_);
    }
    TCommandLock(const TCommandLock &) = delete;
    TCommandLock &operator=(const TCommandLock &) = delete;

  private:
    QPointer<QWidget> button_;
    QPointer<QAction> action_;
    bool buttonWas_ = false;
    bool actionWas_ = false;
};

TPrintResult Print(IPrintSurface &surface, const std::string &title, const TPrintLayout &layout) {
    if (surface.BeginDocument(title)) {
        layout(surface);
        if (!surface.Failed())
            (void)surface.EndDocument();
    }
    if (!surface.Failed())
        return TPrintResult::Printed;
    (void)MessageDlg("", kPrintFailedText, MsgError);
    return TPrintResult::Failed;
}

// The printer as the user set it up in the dialog; false when it was cancelled.
bool AskPrinter(QWidget *parent, const std::string &title, bool landscape, QPrinter &printer) {
    printer.setDocName(DisplayText(title));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

TPrintResult PrintOnPrinter(QWidget *parent, const std::string &title, bool landscape, const TPrintLayout &layout) {
    QPrinter printer(QPrinter::HighResolution);
    if (!AskPrinter(parent, title, landscape, printer))
        return TPrintResult::Cancelled;
    TPrinterSurface surface(printer);
    return Print(surface, title, layout);
}

// The documents as one: each after the last on a new page.
TPrintLayout OneAfterAnother(std::vector<TPrintLayout> layouts) {
    return [layouts = std::move(layouts)](IPrintSurface &surface) {
        for (std::size_t i = 0; i < layouts.size() && !surface.Failed(); ++i)
            if (i == 0 || surface.NewPage())
                layouts[i](surface);
    };
}

// A job of its own for every document, on the printer the one dialog set up.
TPrintResult PrintEachOnPrinter(QWidget *parent, const std::string &title, bool landscape,
                                const TPrintDocuments &documents) {
    QPrinter printer(QPrinter::HighResolution);
    if (!AskPrinter(parent, title, landscape, printer))
        return TPrintResult::Cancelled;
    std::vector<TPrintLayout> layouts = documents();
    if (layouts.empty())
        return TPrintResult::Cancelled;
    if (!printer.outputFileName().isEmpty()) {
        TPrinterSurface surface(printer);
        return Print(surface, title, OneAfterAnother(std::move(layouts)));
    }
    for (const TPrintLayout &layout : layouts) {
        TPrinterSurface surface(printer);
        if (const TPrintResult result = Print(surface, title, layout); result != TPrintResult::Printed)
            return result;
    }
    return TPrintResult::Printed;
}

TPrintResult PrintToPdf(const std::string &path, const std::string &title, bool landscape,
                        const TPrintLayout &layout) {
    TPdfSurface surface(path, landscape);
    return Print(surface, title, layout);
}

// The file the user names for the PDF; empty when the dialog was cancelled.
std::string AskPdfPath(QWidget *parent, const std::string &title) {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Drukuj do PDF"),
                                                DisplayText(title) + QStringLiteral(".pdf"),
                                                QStringLiteral("Pliki PDF (*.pdf)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path.toStdString();
}

} // namespace

TPrintResult RunPrintJob(QWidget *parent, const std::string &title, const TPrintDestination &destination,
                         const TPrintLayout &layout, TPrintCommand command) {
    const TCommandLock lock(command);
    switch (destination.target) {
    case TPrintTarget::Printer:
        return PrintOnPrinter(parent, title, destination.landscape, layout);
    case TPrintTarget::AskPdf: {
        const std::string path = AskPdfPath(parent, title);
        if (path.empty())
            return TPrintResult::Cancelled;
        return PrintToPdf(path, title, destination.landscape, layout);
    }
    case TPrintTarget::PdfFile:
        break;
    }
    return PrintToPdf(destination.pdfPath, title, destination.landscape, layout);
}

TPrintResult RunPrintJobs(QWidget *parent, const std::string &title, const TPrintDestination &destination,
                          const TPrintDocuments &documents, TPrintCommand command) {
    const TCommandLock lock(command);
    if (destination.target == TPrintTarget::Printer)
        return PrintEachOnPrinter(parent, title, destination.landscape, documents);
    const bool ask = destination.target == TPrintTarget::AskPdf;
    const std::string path = ask ? AskPdfPath(parent, title) : destination.pdfPath;
    if (ask && path.empty())
        return TPrintResult::Cancelled;
    std::vector<TPrintLayout> layouts = documents();
    if (layouts.empty())
        return TPrintResult::Cancelled;
    return PrintToPdf(path, title, destination.landscape, OneAfterAnother(std::move(layouts)));
}

} // namespace kiv
