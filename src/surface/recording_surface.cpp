#include "surface/recording_surface.h"

#include <charconv>
#include <cstdio>

namespace varrow {
namespace {

std::string Num(double v) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
  return std::string(buf, res.ptr);
}

// Angles with eight significant digits.
std::string Angle(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.8g", v);
  return buf;
}

std::string PointText(Pt p) { return "(" + Num(p.x) + "," + Num(p.y) + ")"; }

const char* PropertyName(int p) {
  static const char* const kNames[] = {"CurrentX",  "CurrentY",  "ForeColor",
                                       "DrawWidth", "FillStyle", "FillColor"};
  return kNames[p];
}

}  // namespace

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string RecordedOp::ToString() const {
  const std::string w = " w" + std::to_string(width);
  const std::string col = " c" + std::to_string(color);
  switch (kind) {
    case Kind::kLine:
      return "Line " + PointText(a) + "-" + PointText(b) + col + w;
    case Kind::kBox:
      return "Box " + PointText(a) + "-" + PointText(b) + col + w;
    case Kind::kFilledBox:
      return "FilledBox " + PointText(a) + "-" + PointText(b) + col + w;
    case Kind::kCircle:
      return "Circle " + PointText(a) + " r" + Num(radius) + col + w +
             (fill ? " fill" + std::to_string(*fill) : std::string());
    case Kind::kArc:
      return "Arc " + PointText(a) + " r" + Num(radius) + col + w + " " + Angle(start) + ".." +
             Angle(end);
    case Kind::kCls:
      return "Cls";
    case Kind::kText:
      return "Text " + PointText(a) + col + " \"" + text + "\"";
    case Kind::kProperty:
      return text + "=" + Num(value);
    case Kind::kEndDoc:
      return "EndDoc";
    case Kind::kOrientation:
      return "Orientation=" + Num(value);
    case Kind::kAutoRedraw:
      return value != 0 ? "AutoRedraw=on" : "AutoRedraw=off";
  }
  return {};
}

std::vector<std::string> RecordingSurface::OpStrings() const {
  std::vector<std::string> out;
  out.reserve(ops_.size());
  for (const auto& op : ops_) out.push_back(op.ToString());
  return out;
}

std::vector<std::string> RecordingSurface::DrawingStrings() const {
  std::vector<std::string> out;
  for (const auto& op : ops_) {
    if (op.kind <= RecordedOp::Kind::kArc) out.push_back(op.ToString());
  }
  return out;
}

std::vector<PrintedLine> RecordingSurface::PrintedLines() const {
  std::vector<PrintedLine> out = lines_;
  if (open_line_) out.push_back(*open_line_);
  return out;
}

std::vector<std::string> RecordingSurface::PrintedText() const {
  std::vector<std::string> out;
  for (const auto& line : PrintedLines()) out.push_back(line.text);
  return out;
}

int RecordingSurface::EndDocCount() const {
  int n = 0;
  for (const auto& op : ops_) n += op.kind == RecordedOp::Kind::kEndDoc;
  return n;
}

void RecordingSurface::ClearLog() {
  ops_.clear();
  lines_.clear();
  open_line_.reset();
}

RecordedOp& RecordingSurface::Add(RecordedOp::Kind kind, Pt a, Color color, int width) {
  RecordedOp& op = ops_.emplace_back();
  op.kind = kind;
  op.a = a;
  op.color = color;
  op.width = width;
  return op;
}

void RecordingSurface::DeviceLine(Pt a, Pt b, Color color, int width) {
  Add(RecordedOp::Kind::kLine, a, color, width).b = b;
}

void RecordingSurface::DeviceBox(Pt a, Pt b, Color color, int width, bool filled) {
  Add(filled ? RecordedOp::Kind::kFilledBox : RecordedOp::Kind::kBox, a, color, width).b = b;
}

void RecordingSurface::DeviceCircle(Pt centre, float radius, Color outline, int width,
                                    std::optional<Color> fill) {
  RecordedOp& op = Add(RecordedOp::Kind::kCircle, centre, outline, width);
  op.radius = radius;
  op.fill = fill;
}

void RecordingSurface::DeviceArc(Pt centre, float radius, Color color, int width, double start,
                                 double end) {
  RecordedOp& op = Add(RecordedOp::Kind::kArc, centre, color, width);
  op.radius = radius;
  op.start = start;
  op.end = end;
}

void RecordingSurface::DeviceClear() { Add(RecordedOp::Kind::kCls); }

void RecordingSurface::DeviceText(Pt at, std::string_view utf8, Color color) {
  Add(RecordedOp::Kind::kText, at, color).text = std::string(utf8);
}

float RecordingSurface::DeviceTextWidth(std::string_view utf8) const {
  return metrics_.char_width * static_cast<float>(Utf8Length(utf8));
}

void RecordingSurface::DeviceEndDoc() { Add(RecordedOp::Kind::kEndDoc); }

void RecordingSurface::DeviceOrientation(std::int16_t o) {
  Add(RecordedOp::Kind::kOrientation).value = o;
}

void RecordingSurface::DeviceAutoRedraw(bool on) {
  Add(RecordedOp::Kind::kAutoRedraw).value = on ? 1.0 : 0.0;
}

void RecordingSurface::OnPropertySet(Property p, double value) {
  RecordedOp& op = Add(RecordedOp::Kind::kProperty);
  op.text = PropertyName(static_cast<int>(p));
  op.value = value;
}

void RecordingSurface::OnPrinted(std::string_view text, PrintEnd end) {
  if (!open_line_) open_line_ = PrintedLine{CurrentX(), CurrentY(), {}};
  // CurrentX has already advanced past the text; the line's start was taken
  // when its first item arrived.
  if (open_line_->text.empty() && !text.empty()) {
    open_line_->x = CurrentX() - TextWidth(text);
  }
  open_line_->text += text;
  if (end == PrintEnd::kNewLine) {
    lines_.push_back(*open_line_);
    open_line_.reset();
  }
}

}  // namespace varrow
