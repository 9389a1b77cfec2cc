#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "surface/surface.h"

namespace varrow {

// A page of fixed-pitch text: every printed item lands in the character
// column of its CurrentX and the text row of its CurrentY, as it would on a
// picture box in a fixed-pitch font. Lines, circles and colours leave no
// mark. It turns a report drawn through the surface interface into plain
// text lines.
class TextSurface : public Surface {
 public:
  // The defaults are those of the Reports window's picture box: 9135 twips
  // wide, a bold Courier of 9.75 points (120 twips a character).
  struct Metrics {
    float char_width = 120;
    float line_height = 240;
    float scale_width = 9135;
  };
  TextSurface() = default;
  explicit TextSurface(Metrics metrics) : metrics_(metrics) {}

  // Every row from the top of the page to the last one printed on, each up
  // to its last printed character, trailing blanks included. A row nothing
  // was printed on is empty.
  std::vector<std::string> Lines() const;

 protected:
  void DeviceLine(Pt, Pt, Color, int) override {}
  void DeviceBox(Pt, Pt, Color, int, bool) override {}
  void DeviceCircle(Pt, float, Color, int, std::optional<Color>) override {}
  void DeviceArc(Pt, float, Color, int, double, double) override {}
  void DeviceClear() override { rows_.clear(); }
  void DeviceText(Pt at, std::string_view utf8, Color color) override;
  float DeviceTextWidth(std::string_view utf8) const override;
  float DeviceLineHeight() const override { return metrics_.line_height; }
  float DeviceScaleWidth() const override { return metrics_.scale_width; }

 private:
  Metrics metrics_;
  // Each cell holds one character's UTF-8 bytes ("" where nothing was printed).
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace varrow
