#pragma once
// The one print flow of every printing window. The window gives the job's
// title, where the pages go and its layout; RunPrintJob asks for the printer
// (or a PDF file) when the destination says so, begins the document with the
// title, lets the layout draw, and ends the document. The layout draws the
// first page at once and calls NewPage before each further one. While the job
// runs the window's print command is disabled; a job that fails anywhere ends
// at once with kPrintFailedText in the program's message box.
//
// RunPrintJobs prints several documents after one dialog: on a printer each
// is a job of its own; into a PDF file they follow one another in that file,
// each from a new page, since a second document would replace the first.
#include "support/print_surface.h"

#include <functional>
#include <string>
#include <vector>

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
// Asked once the destination is settled, so that nothing is built for a
// cancelled dialog; one layout per document, each with the same title.
using TPrintDocuments = std::function<std::vector<TPrintLayout>()>;

[[nodiscard]] TPrintResult RunPrintJob(QWidget *parent, const std::string &title,
                                       const TPrintDestination &destination, const TPrintLayout &layout,
                                       TPrintCommand command = {});
// The documents in order, stopping at the first that fails (its message
// shown); Cancelled as well when there is no document to print.
[[nodiscard]] TPrintResult RunPrintJobs(QWidget *parent, const std::string &title,
                                        const TPrintDestination &destination, const TPrintDocuments &documents,
                                        TPrintCommand command = {});

} // namespace kiv
