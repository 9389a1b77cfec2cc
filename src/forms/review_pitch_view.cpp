#include "forms/review_pitch_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

#include "field/field.h"
#include "platform/image_surface.h"
#include "platform/painter_surface.h"
#include "platform/twips.h"
#include "review/review_analysis.h"

namespace varrow::forms {

// A drawing surface over an image whose dots per inch set the scale: the
// main window's drawing area fills it at that scale.
class PitchImageSurface : public platform::PainterSurface {
 public:
  // `background` is the colour round the field, as on the main window.
  PitchImageSurface(int dpi, qreal pixel_ratio, QColor background)
      : image_(platform::NewSurfaceImage(
            QSize(static_cast<int>(std::ceil(field::kAreaWidth * dpi / platform::kTwipsPerInch)),
                  static_cast<int>(std::ceil(field::kAreaHeight * dpi / platform::kTwipsPerInch))),
            dpi, pixel_ratio, QImage::Format_RGB32, background)),
        background_(background) {}

  QImage& Image() { return image_; }
  // Draws from now on over a copy of `image` (same size and scale).
  void Reset(const QImage& image) { image_ = image; }

 protected:
  QPaintDevice* PaintTarget() override { return &image_; }
  void DeviceClear() override { image_.fill(background_); }
  float DeviceScaleWidth() const override { return field::kAreaWidth; }

 private:
  QImage image_;
  QColor background_;
};

namespace {

constexpr double kGrabPx = 12;  // how near the marker a press starts a drag
constexpr double kPickPx = 10;  // how near an event a click selects it

}  // namespace

ReviewPitchView::ReviewPitchView(const ReviewSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("ReviewPitch");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(240, 165);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ReviewPitchView::~ReviewPitchView() = default;

void ReviewPitchView::SetOverlays(const PitchOverlays& overlays) {
  overlays_ = overlays;
  base_valid_ = false;
  update();
}

void ReviewPitchView::SetSelectedRow(std::optional<int> row) {
  selected_ = row;
  dragging_ = false;
  dragged_to_.reset();
  update();
}

void ReviewPitchView::SetPath(std::optional<int> possession) {
  path_ = possession;
  update();
}

void ReviewPitchView::DocumentChanged() {
  base_valid_ = false;
  // The possessions are counted afresh: the old one's place means nothing.
  path_.reset();
  update();
}

void ReviewPitchView::Layout() {
  const double fit = std::min(width() / static_cast<double>(field::kAreaWidth),
                              height() / static_cast<double>(field::kAreaHeight));
  // An image's scale is a whole number of dots per inch.
  dpi_ = std::max(1, static_cast<int>(fit * platform::kTwipsPerInch));
  const double w = field::kAreaWidth * dpi_ / platform::kTwipsPerInch;
  const double h = field::kAreaHeight * dpi_ / platform::kTwipsPerInch;
  origin_ = QPointF(std::floor((width() - w) / 2), std::floor((height() - h) / 2));
}

QPointF ReviewPitchView::ToPixels(float x, float y) const {
  return origin_ + QPointF(x * dpi_ / platform::kTwipsPerInch, y * dpi_ / platform::kTwipsPerInch);
}

Pt ReviewPitchView::ToTwips(QPointF p) const {
  const QPointF d = p - origin_;
  return {static_cast<float>(std::round(platform::PxToTwips(d.x(), dpi_))),
          static_cast<float>(std::round(platform::PxToTwips(d.y(), dpi_)))};
}

void ReviewPitchView::resizeEvent(QResizeEvent* /*event*/) {
  Layout();
  base_valid_ = false;
}

void ReviewPitchView::DrawBase() {
  if (base_ == nullptr || base_->Image().dotsPerMeterX() != qRound(dpi_ / 0.0254) ||
      base_->Image().devicePixelRatio() != devicePixelRatioF()) {
    base_ = std::make_unique<PitchImageSurface>(dpi_, devicePixelRatioF(),
                                                palette().color(QPalette::Window));
    // The zones' shares in the window's text size, however small the pitch.
    QFont text = font();
    text.setPointSizeF(text.pointSizeF() * logicalDpiY() / dpi_);
    base_->SetFont(text);
  }
  base_->Cls();
  Draw_review_pitch(*base_, session_.document(), session_.stats(), session_.analysis(), overlays_);
  base_valid_ = true;
}

void ReviewPitchView::paintEvent(QPaintEvent* /*event*/) {
  if (!base_valid_) DrawBase();
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  const std::vector<Possession>& possessions = session_.analysis().possessions;
  const bool path = path_ && *path_ >= 0 && *path_ < static_cast<int>(possessions.size());
  if (selected_ || path) {
    // The selection goes on a copy, so the base stays for the next frame.
    PitchImageSurface frame(dpi_, devicePixelRatioF(), palette().color(QPalette::Window));
    frame.Reset(base_->Image());
    if (path) {
      Draw_possession_path(frame, session_.document(),
                           possessions[static_cast<std::size_t>(*path_)]);
    }
    if (selected_) {
      Draw_review_selection(frame, session_.document(), PitchSelection{*selected_, dragged_to_});
    }
    painter.drawImage(origin_, frame.Image());
  } else {
    painter.drawImage(origin_, base_->Image());
  }
}

std::optional<int> ReviewPitchView::NearestEvent(QPointF pixels, double max_px) const {
  const ReviewDocument& d = session_.document();
  std::optional<int> best;
  double best_distance = max_px * max_px;
  for (int row = 0; row < d.EventCount(); ++row) {
    const Event_record e = d.Event(row);
    const SafePosition p = MakeSafePosition(e.X, e.Y);
    const QPointF delta = ToPixels(p.x, p.y) - pixels;
    const double distance = QPointF::dotProduct(delta, delta);
    if (distance <= best_distance) {  // the later of two at one place: it is drawn on top
      best_distance = distance;
      best = row;
    }
  }
  return best;
}

void ReviewPitchView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPointF at = event->position();
  if (selected_ && *selected_ < session_.document().EventCount()) {
    const Event_record e = session_.document().Event(*selected_);
    const SafePosition p = MakeSafePosition(e.X, e.Y);
    const QPointF delta = ToPixels(p.x, p.y) - at;
    if (QPointF::dotProduct(delta, delta) <= kGrabPx * kGrabPx) {
      dragging_ = true;
      return;
    }
  }
  if (const std::optional<int> row = NearestEvent(at, kPickPx)) emit eventClicked(*row);
}

void ReviewPitchView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  Pt to = ToTwips(event->position());
  to.x = std::clamp(to.x, 0.0f, field::kAreaWidth);
  to.y = std::clamp(to.y, 0.0f, field::kAreaHeight);
  dragged_to_ = to;
  update();
}

void ReviewPitchView::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  const std::optional<Pt> to = std::exchange(dragged_to_, std::nullopt);
  if (to && selected_) emit moveRequested(*selected_, to->x, to->y);
  update();
}

namespace {

// The strip is drawn at the screen's 96 dots per inch: 15 twips a pixel.
constexpr double kStripDpi = 96;

float StripTwips(double px) { return static_cast<float>(platform::PxToTwips(px, kStripDpi)); }

}  // namespace

ReviewMomentumView::ReviewMomentumView(const ReviewSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("MomentumStrip");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setToolTip(
      "Attacking-third seconds a minute: the red team up, the other down. "
      "Click a minute to select its first event");
}

QSize ReviewMomentumView::sizeHint() const { return {240, fontMetrics().height() * 5}; }

void ReviewMomentumView::SetMinute(std::optional<int> minute) {
  minute_ = minute;
  update();
}

void ReviewMomentumView::DocumentChanged() {
  image_ = QImage();
  update();
}

void ReviewMomentumView::resizeEvent(QResizeEvent* /*event*/) { image_ = QImage(); }

int ReviewMomentumView::MinuteX(int minute) const {
  return platform::TwipsToPx(MomentumMinuteX(session_.analysis(), StripTwips(width()), minute),
                             kStripDpi);
}

void ReviewMomentumView::paintEvent(QPaintEvent* /*event*/) {
  if (image_.isNull() || image_.devicePixelRatio() != devicePixelRatioF()) {
    platform::ImageSurface strip(size(), kStripDpi, devicePixelRatioF());
    // The window's own font: the reports' is too large for a strip.
    strip.SetFont(font());
    Draw_momentum_strip(strip, session_.document(), session_.analysis(), StripTwips(width()),
                        StripTwips(height()));
    image_ = strip.Image();
  }
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
  const int minutes = static_cast<int>(session_.analysis().momentum.minutes.size());
  if (minute_ && *minute_ >= 0 && *minute_ < minutes) {
    // The chosen minute's bar, framed.
    const int half = std::max(2, (MinuteX(1) - MinuteX(0)) / 2);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(MinuteX(*minute_) - half, 0, 2 * half, height() - fontMetrics().height() - 2);
  }
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void ReviewMomentumView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  minute_ =
      MomentumMinuteAt(session_.analysis(), StripTwips(width()), StripTwips(event->position().x()));
  if (minute_) emit minuteClicked(*minute_);
}

void ReviewMomentumView::keyPressEvent(QKeyEvent* event) {
  const int minutes = static_cast<int>(session_.analysis().momentum.minutes.size());
  const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
  if (step == 0 || minutes == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  emit minuteClicked(std::clamp(minute_ ? *minute_ + step : 0, 0, minutes - 1));
}

}  // namespace varrow::forms
