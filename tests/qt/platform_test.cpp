// The Qt drawing surfaces, the settings store and the environment.
#include <sys/resource.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <memory>

#include "base/error_numbers.h"
#include "field/field.h"
#include "forms/key_codes.h"
#include "forms/window_util.h"
#include "platform/image_surface.h"
#include "platform/picture_surface.h"
#include "platform/printer_surface.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"
#include "platform/window_surface.h"
#include "qt_test_support.h"
#include "run_command.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using platform::ImageSurface;
using platform::PictureSurface;
using platform::PrinterSurface;
using platform::WindowSurface;
using testing::PixelAtTwips;

const QColor kQRed(255, 0, 0);
const QColor kQGreen(0, 255, 0);
const QColor kQWhite(255, 255, 255);
const QColor kQBlack(0, 0, 0);

// A widget of the main window's drawing-area size that shows a surface.
template <typename SurfaceT>
class View : public QWidget {
 public:
  View() {
    setFixedSize(638, 434);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  SurfaceT* surface = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    if (surface != nullptr) surface->Render(painter, event->rect());
  }
};

// Makes `printer` an A4 printer that prints to the PDF `file` (named later
// when empty: an empty name would turn the PDF output off).
void PrintToPdf(QPrinter& printer, const QString& file) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  if (!file.isEmpty()) printer.setOutputFileName(file);
  printer.setPageSize(QPageSize(QPageSize::A4));
}

// A PDF file in a directory of its own, its printer and the surface on it.
struct PdfPrinter {
  explicit PdfPrinter(const char* name) : file(QString::fromStdString(dir.File(name))) {
    PrintToPdf(printer, file);
  }
  testing::TempDir dir;
  QString file;
  QPrinter printer{QPrinter::HighResolution};
  PrinterSurface surface{printer};
};

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void windowSurfaceMapsTwipsThroughTheScreensDpi() {
    View<WindowSurface> view;
    WindowSurface surface(view, QColor(212, 208, 200));
    // QImage defaults to 72 dpi; the surface's images must say 96.
    QCOMPARE(surface.Background().logicalDpiX(), 96);
    QVERIFY(surface.Overlay().isNull());  // not made until it is drawn on
    QCOMPARE(surface.ScaleWidth(), 9570.0f);
    surface.SetAutoRedraw(true);
    surface.Line(750, 1000, 8750, 5000, kLightGreen, LineShape::kFilledBox);
    surface.SetAutoRedraw(false);
    surface.Line(0, 0, 15, 0, kRed);
    QCOMPARE(surface.Overlay().logicalDpiY(), 96);
    // 750 twips is pixel 50; 8750 is pixel 583.
    QCOMPARE(PixelAtTwips(surface.Background(), 750, 1000), kQGreen);
    QCOMPARE(PixelAtTwips(surface.Background(), 8745, 4995), kQGreen);
    QCOMPARE(PixelAtTwips(surface.Background(), 730, 1000), QColor(212, 208, 200));
    QCOMPARE(PixelAtTwips(surface.Background(), 8790, 3000), QColor(212, 208, 200));
  }

  void clsWipesThePathButKeepsTheField() {
    View<WindowSurface> view;
    WindowSurface surface(view, QColor(212, 208, 200));
    view.surface = &surface;
    surface.SetAutoRedraw(true);
    Draw_field(surface, kLightGreen);
    surface.SetAutoRedraw(false);
    surface.Line(2000, 2000, 4000, 2000, kRed);
    surface.SetFillColor(kBlue);
    surface.SetFillStyle(kFillSolid);
    surface.Circle(6000, 2000, 50, kBlue);

    QImage shown = view.grab().toImage();
    QCOMPARE(PixelAtTwips(shown, 3000, 2000), kQRed);
    QCOMPARE(PixelAtTwips(shown, 6000, 2000), QColor(0, 0, 255));
    QCOMPARE(PixelAtTwips(shown, 3000, 2500), kQGreen);

    surface.Cls();
    QCOMPARE(surface.CurrentX(), 0.0f);
    shown = view.grab().toImage();
    QCOMPARE(PixelAtTwips(shown, 3000, 2000), kQGreen);
    QCOMPARE(PixelAtTwips(shown, 6000, 2000), kQGreen);
    // The field's lines are still there: the halfway line and a goal.
    QCOMPARE(PixelAtTwips(shown, 4750, 2000), kQBlack);
    QCOMPARE(PixelAtTwips(shown, 600, 3000), kQWhite);
  }

  void aRepaintShowsTheFieldWithThePathStillOnIt() {
    View<WindowSurface> view;
    WindowSurface surface(view, QColor(212, 208, 200));
    view.surface = &surface;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    surface.SetAutoRedraw(true);
    Draw_field(surface, kLightGreen);
    surface.SetAutoRedraw(false);
    surface.Line(2000, 2000, 4000, 2000, kRed);

    // Something covered part of the window and went away: only that part is
    // painted again, and it must show the path as well as the field.
    QPaintEvent partial(QRect(100, 100, 200, 100));
    QImage shown(view.size(), QImage::Format_RGB32);
    shown.fill(Qt::black);
    {
      QPainter painter(&shown);
      surface.Render(painter, partial.rect());
    }
    QCOMPARE(PixelAtTwips(shown, 3000, 2000), kQRed);    // the path, inside the part
    QCOMPARE(PixelAtTwips(shown, 3000, 2500), kQGreen);  // the field around it
    QCOMPARE(PixelAtTwips(shown, 2000, 1200), kQBlack);  // outside: not painted
    const QImage whole = view.grab().toImage();
    QCOMPARE(PixelAtTwips(whole, 3000, 2000), kQRed);
  }

  void clsWithAutoRedrawOnErasesTheBackgroundToo() {
    View<WindowSurface> view;
    WindowSurface surface(view, QColor(212, 208, 200));
    surface.SetAutoRedraw(true);
    surface.Line(750, 1000, 8750, 5000, kLightGreen, LineShape::kFilledBox);
    surface.Cls();
    QCOMPARE(PixelAtTwips(surface.Background(), 3000, 3000), QColor(212, 208, 200));
  }

  void highDpiImagesKeepTheirLogicalSize() {
    View<WindowSurface> view;
    view.setFixedSize(638, 434);
    WindowSurface surface(view, Qt::white);
    const qreal ratio = view.devicePixelRatioF();
    QCOMPARE(surface.Background().size(), QSize(638, 434) * ratio);
    QCOMPARE(surface.Background().devicePixelRatio(), ratio);
  }

  void arcsRunCounterClockwiseFromTheirStartAngle() {
    View<WindowSurface> view;
    WindowSurface surface(view, Qt::white);
    // The top left corner arc of the field: from 3/2 pi to 0, the quarter
    // below and right of its centre.
    surface.Arc(3000, 3000, 600, kBlack, 1.5 * kFieldPi, 0);
    const QImage& image = surface.Overlay();
    const double d = 600 / std::sqrt(2.0);
    QCOMPARE(PixelAtTwips(image, 3000 + d, 3000 + d), kQBlack);
    QVERIFY(PixelAtTwips(image, 3000 - d, 3000 - d).alpha() == 0);
    QVERIFY(PixelAtTwips(image, 3000 + d, 3000 - d).alpha() == 0);
  }

  void pictureSurfaceIsWhiteKeepsDrawingAndPrintsInBoldCourier() {
    View<PictureSurface> view;
    view.setFixedSize(607, 351);
    PictureSurface surface(view);
    view.surface = &surface;
    QCOMPARE(PixelAtTwips(surface.Image(), 4000, 3000), kQWhite);
    QCOMPARE(surface.Image().logicalDpiX(), 96);
    QCOMPARE(surface.ScaleWidth(), 607 * 15.0f);

    const QFontInfo info(QFont(surface.Font(), &view));
    QCOMPARE(info.family(), QString("Liberation Mono"));
    QVERIFY(info.bold());
    QCOMPARE(surface.Font().pointSizeF(), 9.75);
    // Fixed pitch: the columns of the reports line up.
    QCOMPARE(surface.TextWidth("WWWWWWWWWW"), surface.TextWidth("iiiiiiiiii"));
    QCOMPARE(surface.TextWidth("  GOALS  "), 9 * surface.TextWidth("X"));

    surface.SetForeColor(kBlack);
    surface.Print({"GOALS"});
    surface.Line(0, 2000, 8000, 2000, kRed);
    QImage shown = view.grab().toImage();
    QCOMPARE(PixelAtTwips(shown, 4000, 2000), kQRed);
    bool ink = false;
    for (int x = 0; x < 60 && !ink; ++x) {
      for (int y = 0; y < 20 && !ink; ++y) ink = shown.pixelColor(x, y) == kQBlack;
    }
    QVERIFY2(ink, "the printed text is on the picture");

    surface.Cls();
    shown = view.grab().toImage();
    QCOMPARE(PixelAtTwips(shown, 4000, 2000), kQWhite);
  }

  void pictureOriginOffsetMovesTheDrawingDown() {
    View<PictureSurface> view;
    view.setFixedSize(607, 351);
    PictureSurface surface(view);
    surface.SetOriginOffset(0, 250);
    surface.Line(750, 5000, 8750, 5000, kBlack);
    QCOMPARE(PixelAtTwips(surface.Image(), 4000, 5250), kQBlack);
    QCOMPARE(PixelAtTwips(surface.Image(), 4000, 5000), kQWhite);
  }

  void anImageSurfaceNeedsNoWindowAndMapsTwipsThroughItsOwnDpi() {
    // The picture box's 9135 by 5295 twips at twice a screen's resolution.
    ImageSurface surface(QSize(1218, 706), 192);
    QCOMPARE(surface.ScaleWidth(), 9135.0f);
    QCOMPARE(surface.Image().size(), QSize(1218, 706));
    QCOMPARE(surface.Image().logicalDpiX(), 192);
    QCOMPARE(surface.Image().logicalDpiY(), 192);
    QCOMPARE(surface.Image().pixelColor(600, 350), kQWhite);
    QCOMPARE(QFontInfo(QFont(surface.Font(), &surface.Image())).family(),
             QString("Liberation Mono"));

    // 7.5 twips a pixel: twips 3000 is pixel 400, not the screen's 200.
    surface.SetOriginOffset(0, 250);
    surface.Line(750, 2750, 8750, 2750, kBlue);
    QCOMPARE(surface.Image().pixelColor(400, 400), QColor(0, 0, 255));
    QCOMPARE(surface.Image().pixelColor(400, 200), kQWhite);
    // Text keeps its size in twips, so the page's columns fit the same width.
    QCOMPARE(surface.TextWidth(std::string(76, 'X')), 76 * surface.TextWidth("X"));
    QVERIFY(std::abs(surface.TextWidth("X") - 117) < 3);  // 9.75 point Courier: 0.6 em

    surface.Cls();
    QCOMPARE(surface.Image().pixelColor(400, 400), kQWhite);
  }

  void printerJobsBeginWithTheFirstDrawingAndEndWithEndDoc() {
    PdfPrinter job("report.pdf");
    const QString& pdf = job.file;
    PrinterSurface& surface = job.surface;
    surface.SetOrientation(kPortrait);
    QCOMPARE(job.printer.pageLayout().orientation(), QPageLayout::Portrait);
    // The printable width of A4 (210 mm = 11906 twips) less the margins.
    QVERIFY(surface.ScaleWidth() > 10000 && surface.ScaleWidth() < 11906);
    QVERIFY(!QFile::exists(pdf));

    surface.SetForeColor(kBlack);
    surface.Print(
        {"     GOALS           ", std::int16_t{2}, "                   ", std::int16_t{0}});
    surface.Print({"     SHOTS           ", std::int16_t{11}});
    surface.Line(0, 3000, 8000, 3000, kRed);
    QVERIFY(surface.JobActive());
    surface.EndDoc();
    QVERIFY(!surface.JobActive());
    QCOMPARE(surface.JobsEnded(), 1);
    QVERIFY(!surface.TakeFailure());
    const QString text = testing::PdfText(pdf);
    QVERIFY2(text.contains(QRegularExpression("GOALS +2 +0\\n")), qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression("SHOTS +11\\n")), qPrintable(text));
    // The columns line up only in the fixed-pitch font.
    const std::string fonts = testing::RunCommand({"pdffonts", pdf.toStdString()}).out;
    QVERIFY(fonts.find("LiberationMono-Bold") != std::string::npos);

    // Nothing drawn, nothing sent.
    surface.EndDoc();
    QCOMPARE(surface.JobsEnded(), 1);
  }

  void eachJobStartsAtTheTopOfItsPage() {
    testing::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, {});
    PrinterSurface surface(printer);
    for (const char* name : {"first.pdf", "second.pdf"}) {
      printer.setOutputFileName(QString::fromStdString(dir.File(name)));
      for (int line = 0; line < 20; ++line) surface.Print({"LINE"});
      surface.Print({"LAST"});
      surface.EndDoc();
      QCOMPARE(surface.CurrentY(), 0.0f);
    }
    // The second job's first line stands where the first job's did.
    const double top = testing::PdfFirstWordTop(dir.File("first.pdf"));
    QVERIFY(top > 0);
    QCOMPARE(testing::PdfFirstWordTop(dir.File("second.pdf")), top);
  }

  void clsWithinAJobStartsItsNextPage() {
    PdfPrinter job("pages.pdf");
    const QString& pdf = job.file;
    PrinterSurface& surface = job.surface;
    // Before the job has begun, Cls has no page to leave: no blank first page.
    surface.Cls();
    QVERIFY(!surface.JobActive());
    for (int line = 0; line < 20; ++line) surface.Print({"FIRST"});
    surface.Cls();
    QCOMPARE(surface.CurrentY(), 0.0f);
    surface.Print({"SECOND"});
    surface.Cls();
    surface.Print({"THIRD"});
    surface.EndDoc();
    QCOMPARE(surface.JobsEnded(), 1);
    QVERIFY(!surface.TakeFailure());

    // One document of three pages, each begun at the top.
    QStringList pages = testing::PdfText(pdf).split('\f');
    pages.removeLast();  // after the last page's form feed
    QCOMPARE(pages.size(), 3);
    QCOMPARE(pages[0].count("FIRST"), 20);
    QVERIFY2(pages[1].contains("SECOND") && !pages[1].contains("FIRST"), qPrintable(pages[1]));
    QVERIFY2(pages[2].contains("THIRD"), qPrintable(pages[2]));
    QCOMPARE(testing::PdfFirstWordTop(pdf, 2), testing::PdfFirstWordTop(pdf, 1));
    QCOMPARE(testing::PdfFirstWordTop(pdf, 3), testing::PdfFirstWordTop(pdf, 1));
  }

  void landscapeGivesTheWiderPage() {
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, {});
    PrinterSurface surface(printer);
    const float portrait = surface.ScaleWidth();
    surface.SetOrientation(kLandscape);
    QVERIFY(surface.ScaleWidth() > portrait * 1.3f);
  }

  void aJobThatCannotStartIsReportedOnceAndDrawsNothing() {
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, "/nonexistent-directory/report.pdf");
    PrinterSurface surface(printer);
    surface.Print({"GOALS"});
    surface.Line(0, 0, 100, 100);
    surface.EndDoc();
    QCOMPARE(surface.JobsEnded(), 0);
    const std::optional<platform::PrinterFailure> failure = surface.TakeFailure();
    QVERIFY(failure.has_value());
    QCOMPARE(failure->number, ENOENT);
    QCOMPARE(failure->description,
             QString("The file \"/nonexistent-directory/report.pdf\" could not be written: No "
                     "such file or directory."));
    QVERIFY(!surface.TakeFailure());

    // Once the failure is taken, the next drawing tries a new job.
    testing::TempDir dir;
    printer.setOutputFileName(QString::fromStdString(dir.File("retry.pdf")));
    surface.Print({"GOALS"});
    surface.EndDoc();
    QCOMPARE(surface.JobsEnded(), 1);
    QVERIFY(!surface.TakeFailure());
  }

  void aPdfFileIsWrittenWholeOrNotAtAll() {
    PdfPrinter job("report.pdf");
    const QByteArray old_report = "an earlier report";
    {
      QFile file(job.file);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old_report) == old_report.size());
    }
    // A disk that is full after 2 KB, for this job only.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto saved_handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{2048, saved.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    job.surface.Print({"     GOALS           ", std::int16_t{2}});
    job.surface.EndDoc();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, saved_handler);

    const std::optional<platform::PrinterFailure> failure = job.surface.TakeFailure();
    QVERIFY(failure.has_value());
    QCOMPARE(failure->number, EFBIG);
    QCOMPARE(failure->file_reason, QString("File too large"));
    QVERIFY2(failure->description.contains(job.file), qPrintable(failure->description));
    QCOMPARE(job.surface.JobsEnded(), 0);
    // The earlier file as it was, and no temporary file beside it.
    const QDir dir(QString::fromStdString(job.dir.path()));
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
    QFile file(job.file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old_report);
    file.close();

    // With room again, the next job replaces it whole.
    job.surface.Print({"     GOALS           ", std::int16_t{2}});
    job.surface.EndDoc();
    QVERIFY(!job.surface.TakeFailure());
    QVERIFY(testing::PdfText(job.file).contains(QRegularExpression("GOALS +2")));
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
  }

  void settingsRoundTripKeepsTextExactly() {
    platform::QtSettingsStore store;
    const std::vector<std::string> values = {"Lions   ",    "  leading", "1, 2",
                                             "@Variant(x)", "true",      "a;b=c\\d",
                                             "Ålesund FK",  "",          "16711680"};
    for (const std::string& value : values) {
      store.SaveSetting("Varrow", "Startup", "Team_2", value);
      QCOMPARE(store.GetSetting("Varrow", "Startup", "Team_2", "missing"), value);
    }
    QCOMPARE(store.GetSetting("Varrow", "Startup", "Score_9", "0"), std::string("0"));
    store.Sync();
    // Where the platform keeps it: the per-user configuration directory.
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Varrow/Varrow.conf";
    QVERIFY2(QFile::exists(file), qPrintable(file));
    QSettings raw(file, QSettings::IniFormat);
    QCOMPARE(raw.value("Startup/Team_2").toString(), QString("16711680"));
  }

  void environmentReportsDateAndDirectories() {
    platform::QtEnvironment environment;
    const CalendarDate today = environment.Today();
    const QDate now = QDate::currentDate();
    QCOMPARE(QDate(today.year, today.month, today.day), now);
    std::string current;
    QVERIFY(environment.CurrentDirectory(current).ok());
    QCOMPARE(QString::fromStdString(current), QDir::currentPath());
    QCOMPARE(QString::fromStdString(environment.ProgramDirectory()),
             QCoreApplication::applicationDirPath());
  }

  void keyCodesAndShiftStates() {
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Space), 32);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_A), 65);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_9), 57);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Return), 13);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Enter), 13);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Left), 37);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Down), 40);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_F1), 112);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_F12), 123);
    QCOMPARE(forms::KeyCodeOf(Qt::Key_Eacute), 0);
    for (const auto& [key, code] : {std::pair{Qt::Key_Backspace, 8},
                                    {Qt::Key_Backtab, 9},
                                    {Qt::Key_Escape, 27},
                                    {Qt::Key_Home, 36},
                                    {Qt::Key_Delete, 46}})
      QCOMPARE(forms::KeyCodeOf(key), code);
    QCOMPARE(forms::ShiftStateOf(Qt::ShiftModifier | Qt::AltModifier), 5);
    QCOMPARE(forms::ShiftStateOf(Qt::ControlModifier), 2);
    QCOMPARE(forms::MouseButtonOf(Qt::RightButton), 2);
    QCOMPARE(forms::MouseButtonOf(Qt::MiddleButton), 4);
  }

  void fileFiltersInQtsForm() {
    QCOMPARE(forms::QtFileFilter("Data Files (*.dat)|*.dat"), QString("Data Files (*.dat)"));
    QCOMPARE(forms::QtFileFilter("Logs|*.txt;*.log|All|*"), QString("Logs (*.txt *.log);;All (*)"));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::PlatformTest)
#include "platform_test.moc"
