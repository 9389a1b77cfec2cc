#pragma once

#include <string>
#include <vector>

#include "surface/surface.h"

namespace varrow {

// One operation as a device saw it, with coordinates already resolved.
struct RecordedOp {
  enum class Kind {
    // The drawing operations, up to kArc, come first.
    kLine,
    kBox,
    kFilledBox,
    kCircle,
    kArc,
    kCls,
    kText,
    kProperty,
    kEndDoc,
    kOrientation,
    kAutoRedraw
  };
  Kind kind = Kind::kLine;
  Pt a{};  // start, corner or centre
  Pt b{};  // end or opposite corner
  float radius = 0;
  double start = 0;  // arc angles, radians
  double end = 0;
  Color color = 0;
  int width = 1;
  std::optional<Color> fill;  // circles: the fill colour when solid
  std::string text;           // printed text, or the property's name
  double value = 0;           // property value
  std::string ToString() const;
};

// A printed line: where its first item started and everything printed on it.
struct PrintedLine {
  float x = 0;
  float y = 0;
  std::string text;
};

// A surface that draws nothing and remembers everything it was asked to do,
// so pictures and reports can be checked exactly. Fixed-pitch text metrics.
class RecordingSurface : public Surface {
 public:
  struct Metrics {
    float char_width = 120;   // twips per character
    float line_height = 240;  // twips per text line
    float scale_width = 9135;
  };
  RecordingSurface() = default;
  explicit RecordingSurface(Metrics metrics) : metrics_(metrics) {}

  const std::vector<RecordedOp>& ops() const { return ops_; }
  // The operations as readable text, one per entry.
  std::vector<std::string> OpStrings() const;
  // Only the drawing operations (lines, boxes, circles, arcs), as text.
  std::vector<std::string> DrawingStrings() const;
  // Completed lines plus the one still open, if anything was printed on it.
  std::vector<PrintedLine> PrintedLines() const;
  // Just the text of PrintedLines().
  std::vector<std::string> PrintedText() const;
  int EndDocCount() const;
  void ClearLog();

 protected:
  void DeviceLine(Pt a, Pt b, Color color, int width) override;
  void DeviceBox(Pt a, Pt b, Color color, int width, bool filled) override;
  void DeviceCircle(Pt centre, float radius, Color outline, int width,
                    std::optional<Color> fill) override;
  void DeviceArc(Pt centre, float radius, Color color, int width, double start,
                 double end) override;
  void DeviceClear() override;
  void DeviceText(Pt at, std::string_view utf8, Color color) override;
  float DeviceTextWidth(std::string_view utf8) const override;
  float DeviceLineHeight() const override { return metrics_.line_height; }
  float DeviceScaleWidth() const override { return metrics_.scale_width; }
  void DeviceEndDoc() override;
  void DeviceOrientation(std::int16_t o) override;
  void DeviceAutoRedraw(bool on) override;
  void OnPropertySet(Property p, double value) override;
  void OnPrinted(std::string_view text, PrintEnd end) override;

 private:
  RecordedOp& Add(RecordedOp::Kind kind, Pt a = {}, Color color = 0, int width = 1);
  Metrics metrics_;
  std::vector<RecordedOp> ops_;
  std::vector<PrintedLine> lines_;
  std::optional<PrintedLine> open_line_;
};

// Number of characters (code points) in UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

}  // namespace varrow
