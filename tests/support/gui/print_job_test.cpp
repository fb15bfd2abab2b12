#include "modal_helper.h"
#include "support/gui/print_job.h"
#include "support/gui/print_painter.h"
#include "support/message_recorder.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QImage>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kiv;

namespace {

const char *const kPolish = "Zażółć gęślą jaźń";

// What poppler's tool prints about a PDF; empty when it cannot run.
QString Poppler(const QString &tool, const QString &pdf) {
    QProcess process;
    process.start(tool, {pdf});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A report-like page: a title, rules, a table of numbers right-aligned to
// their columns and the Polish letters; then a page of fills, pens and a picture.
void TestPages(IPrintSurface &surface, const std::string &picture) {
    const int w = surface.PageWidth();
    surface.SetFont({"Arial Narrow", 14, true, true});
    const int l = surface.TextHeight("M") * 12 / 10;
    const int margin = w / 10;
    surface.TextOut((w - surface.TextWidth("Kiv-raport dobowy")) / 2, margin, "Kiv-raport dobowy");
    surface.SetFont({"Times New Roman", 12, false, false});
    surface.TextOut(margin, margin + 2 * l, kPolish);
    surface.SetPen({0x000000, 4, false, false});
    surface.Line(margin, margin + 4 * l, w - margin, margin + 4 * l);
    surface.SetFont({"Arial Narrow", 12, false, false});
    const char *const rows[][3] = {{"22 - 23", "1.25", "1234.50"}, {"23 - 00", "10.00", "7.75"},
                                   {"00 - 01", "0.00 ?", "100000.00"}};
    const int columns[] = {margin + w / 5, margin + 2 * w / 5, margin + 3 * w / 5};
    for (int r = 0; r < 3; ++r) {
        const int y = margin + (5 + r) * l;
        surface.TextOut(margin, y, rows[r][0]);
        for (int c = 1; c < 3; ++c)
            surface.TextOut(columns[c] - surface.TextWidth(rows[r][c]), y, rows[r][c]);
    }
    surface.SetPen({0x000000, 0, true, false});
    surface.Line(margin, margin + 8 * l, w - margin, margin + 8 * l);
    surface.NewPage();
    surface.SetBrush(0xC0E0FF);
    surface.FillRect(margin, margin, w - margin, margin + 4 * l);
    surface.SetPen({0xFF0000, 6, false, true});
    surface.Line(margin, margin + 2 * l, w - margin, margin + 2 * l);
    surface.StretchPicture(margin, margin + 5 * l, w / 2, margin + 15 * l, picture);
}

std::string SavedPicture(const QTemporaryDir &dir) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString path = dir.filePath(QStringLiteral("graf.png"));
    picture.save(path);
    return path.toStdString();
}

} // namespace

class PrintJobTest : public QObject {
    Q_OBJECT
  private slots:
    void twoPagesToPdf();
    void failureEndsTheJob_data();
    void failureEndsTheJob();
    void cancelledDialogPrintsNothing();
    void printToPdfAsksForTheFile();
    void canvasDrawsTextTopLeftAndExclusiveOr();
};

void PrintJobTest::twoPagesToPdf() {
    QTemporaryDir dir;
    const QByteArray artifacts = qgetenv("KIV_ARTIFACT_DIR");
    if (!artifacts.isEmpty())
        QDir().mkpath(QString::fromLocal8Bit(artifacts));
    const QString pdf = artifacts.isEmpty() ? dir.filePath(QStringLiteral("raport.pdf"))
                                            : QDir(QString::fromLocal8Bit(artifacts)).filePath("print-surface.pdf");
    const std::string picture = SavedPicture(dir);
    MessageRecorder messages;
    QPushButton button;
    QAction action;
    bool disabledWhilePrinting = false;
    const TPrintResult result = RunPrintJob(
        nullptr, "Kiv-raport dobowy", {TPrintTarget::PdfFile, pdf.toStdString(), false},
        [&](IPrintSurface &surface) {
            disabledWhilePrinting = !button.isEnabled() && !action.isEnabled();
            TestPages(surface, picture);
        },
        {&button, &action});
    QCOMPARE(result, TPrintResult::Printed);
    QCOMPARE(messages.Count(), std::size_t(0));
    QVERIFY(disabledWhilePrinting);
    QVERIFY(button.isEnabled() && action.isEnabled());

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString bytes = QString::fromLatin1(file.readAll());
    QCOMPARE(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 2);
    const QString info = Poppler(QStringLiteral("pdfinfo"), pdf);
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is needed");
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Kiv-raport dobowy\\n"))));
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
    // The layouts' families reach the page as installed fonts of the same widths.
    const QString fonts = Poppler(QStringLiteral("pdffonts"), pdf);
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSansNarrow-Bold")) ||
                 fonts.contains(QStringLiteral("ArialNarrow-Bold")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSerif")) || fonts.contains(QStringLiteral("TimesNewRoman")),
             qPrintable(fonts));
}

void PrintJobTest::failureEndsTheJob_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<bool>("laidOut");
    QTest::newRow("folder does not exist") << "brak" << "graf.png" << false;
    QTest::newRow("picture cannot be read") << "" << "brak.bmp" << true;
}

void PrintJobTest::failureEndsTheJob() {
    QFETCH(QString, folder);
    QFETCH(QString, picture);
    QFETCH(bool, laidOut);
    QTemporaryDir dir;
    SavedPicture(dir);
    const QString pdf = dir.filePath(folder.isEmpty() ? QStringLiteral("raport.pdf") : folder + "/raport.pdf");
    MessageRecorder messages;
    QPushButton button;
    bool layoutRan = false;
    const TPrintResult result = RunPrintJob(
        nullptr, "Kiv-Zdarzenia", {TPrintTarget::PdfFile, pdf.toStdString(), false},
        [&](IPrintSurface &surface) {
            layoutRan = true;
            TestPages(surface, dir.filePath(picture).toStdString());
            QVERIFY(surface.Failed());
        },
        {&button, nullptr});
    QCOMPARE(result, TPrintResult::Failed);
    QCOMPARE(layoutRan, laidOut);
    QCOMPARE(messages.Count(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages.Last().text), QString::fromUtf8(kPrintFailedText));
    QCOMPARE(messages.Last().kind, int(MsgError));
    QVERIFY(button.isEnabled());
    QVERIFY2(!QFile::exists(pdf), "a broken-off PDF is not left behind");
}

void PrintJobTest::cancelledDialogPrintsNothing() {
    MessageRecorder messages;
    QAction action;
    bool layoutRan = false;
    bool disabledInDialog = false;
    test::OnModal<QPrintDialog>([&](QPrintDialog *dialog) {
        disabledInDialog = !action.isEnabled();
        dialog->reject();
    });
    const TPrintResult result = RunPrintJob(
        nullptr, "Raport okresowy", {}, [&](IPrintSurface &) { layoutRan = true; }, {nullptr, &action});
    QCOMPARE(result, TPrintResult::Cancelled);
    QVERIFY(!layoutRan);
    QVERIFY(disabledInDialog);
    QVERIFY(action.isEnabled());
    QCOMPARE(messages.Count(), std::size_t(0));
}

void PrintJobTest::printToPdfAsksForTheFile() {
    QTemporaryDir dir;
    MessageRecorder messages;
    QString asked;
    test::OnModal<QFileDialog>([&](QFileDialog *dialog) {
        asked = dialog->windowTitle();
        dialog->selectFile(dir.filePath(QStringLiteral("optymalizacja")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const TPrintResult result = RunPrintJob(nullptr, "Kiv - Optymalizacja", {TPrintTarget::AskPdf, "", true},
                                            [](IPrintSurface &surface) {
                                                QVERIFY(surface.PageWidth() > surface.PageHeight());
                                                surface.TextOut(0, 0, "Moc zamówiona");
                                            });
    QCOMPARE(result, TPrintResult::Printed);
    QCOMPARE(asked, QStringLiteral("Drukuj do PDF"));
    QVERIFY(Poppler(QStringLiteral("pdfinfo"), dir.filePath(QStringLiteral("optymalizacja.pdf")))
                .contains(QStringLiteral("Kiv - Optymalizacja")));
}

void PrintJobTest::canvasDrawsTextTopLeftAndExclusiveOr() {
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::gray);
    TCanvasSurface canvas(image);
    QVERIFY(canvas.BeginDocument("Cennik-Graf"));
    QCOMPARE(image.pixel(5, 5), QColor(Qt::white).rgb());
    canvas.SetFont({"Arial Narrow", 20, false, false});
    const int height = canvas.TextHeight("M");
    canvas.TextOut(100, 50, "MMM");
    canvas.SetBrush(0x000000);
    canvas.FillRect(0, 150, 400, 200);
    canvas.SetPen({0xFFFFFF, 1, false, true});
    QVERIFY(canvas.DrawsExclusiveOr());
    canvas.Line(0, 160, 399, 160);
    canvas.Line(0, 170, 399, 170);
    canvas.Line(0, 170, 399, 170);
    QVERIFY(canvas.EndDocument());
    QVERIFY(!canvas.Failed());

    int top = image.height(), bottom = -1, left = image.width();
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
            }
    QVERIFY2(top >= 50 && top < 50 + height / 3, qPrintable(QString::number(top)));
    QVERIFY(bottom < 50 + height);
    QVERIFY(left >= 100 && left < 110);
    // White xor black is white; drawn twice, the line is gone again.
    QCOMPARE(image.pixel(200, 160), QColor(Qt::white).rgb());
    QCOMPARE(image.pixel(200, 170), QColor(Qt::black).rgb());

    TPdfSurface pdf(QTemporaryDir().filePath("x.pdf").toStdString(), false);
    pdf.SetPen({0xFFFFFF, 1, false, true});
    QVERIFY(!pdf.DrawsExclusiveOr());
}

QTEST_MAIN(PrintJobTest)
#include "print_job_test.moc"
