#pragma once
// The one print flow of every printing window. The window gives the job's
// title, where the pages go and its layout; RunPrintJob asks for the printer
// (or a PDF file) when the destination says so, begins the document with the
// title, lets the layout draw, and ends the document. The layout draws the
// first page at once and calls NewPage before each further one. While the job
// runs the window's print command is disabled; a job that fails anywhere ends
// at once with kPrintFailedText in the program's message box.
#include "support/print_surface.h"

#include <functional>
#include <string>

class QAction;
class QWidget;

namespace kiv {

enum class TPrintTarget {
    Printer,   // the print dialog first; its own PDF output included
    AskPdf,    // "Drukuj do PDF": a save dialog asks for the file
    PdfFile,   // the given file, without a dialog (tests, the command line)
};

struct TPrintDestination {
    TPrintTarget target = TPrintTarget::Printer;
    std::string pdfPath;    // PdfFile: the file written
    bool landscape = false; // the PDF's orientation, and the dialog's first choice
};

struct TPrintCommand {
    QWidget *button = nullptr; // either, both or none are disabled while the job runs
    QAction *action = nullptr;
};

enum class TPrintResult {
    Printed,
    Cancelled, // the user closed the dialog without printing
    Failed,    // the message has been shown
};

using TPrintLayout = std::function<void(IPrintSurface &)>;

[[nodiscard]] TPrintResult RunPrintJob(QWidget *parent, const std::string &title,
                                       const TPrintDestination &destination, const TPrintLayout &layout,
                                       TPrintCommand command = {});

} // namespace kiv
