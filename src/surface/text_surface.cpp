#include "surface/text_surface.h"

#include <algorithm>
#include <cmath>

#include "surface/printable_text.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// The cell a position falls in, halves to the even one. A text that would start left of the page
// (a title wider than the page) starts at its edge, so it is still shown whole.
std::size_t Cell(float twips, float cell_size) {
  if (!(cell_size > 0)) return 0;
  const double cell = std::nearbyint(static_cast<double>(twips) / cell_size);
  if (!(cell > 0)) return 0;  // also a position that is no number
  // Far beyond any page: kept bounded so a stray position cannot eat memory.
  constexpr double kMaxCell = 4096;
  return static_cast<std::size_t>(std::min(cell, kMaxCell));
}

}  // namespace

void TextSurface::DeviceText(Pt at, std::string_view text, Color /*color*/) {
  // A page goes to a terminal or a file: a name's control characters must
  // not reach it.
  const std::string printable = PrintableText(text);
  const std::string_view utf8 = printable;
  const std::size_t row = Cell(at.y, metrics_.line_height);
  if (rows_.size() <= row) rows_.resize(row + 1);
  std::vector<std::string>& cells = rows_[row];
  std::size_t column = Cell(at.x, metrics_.char_width);
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t end = i + 1;
    while (end < utf8.size() && !StartsCharacter(utf8[end])) ++end;
    if (cells.size() <= column) cells.resize(column + 1);
    cells[column].assign(utf8.substr(i, end - i));
    ++column;
    i = end;
  }
}

float TextSurface::DeviceTextWidth(std::string_view utf8) const {
  return metrics_.char_width * static_cast<float>(Utf8Length(utf8));
}

std::vector<std::string> TextSurface::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(rows_.size());
  for (const std::vector<std::string>& cells : rows_) {
    std::string line;
    for (const std::string& cell : cells) line += cell.empty() ? " " : cell;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace varrow
