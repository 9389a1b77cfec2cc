#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

#include "review/review_pitch.h"
#include "review/review_session.h"

namespace varrow::forms {

class PitchImageSurface;

// The pitch of the review window: the field drawn by the program's own
// Draw_field through a drawing surface scaled to the widget (the main
// window's drawing area fitted in, proportions kept), the overlays chosen
// and the selected event. Its marker can be dragged to a new place; a click
// elsewhere selects the event nearest to it.
class ReviewPitchView : public QWidget {
  Q_OBJECT

 public:
  ReviewPitchView(const ReviewSession& session, QWidget* parent);
  ~ReviewPitchView() override;

  void SetOverlays(const PitchOverlays& overlays);
  void SetSelectedRow(std::optional<int> row);
  // The possession (by its place in the session's analysis) whose path is
  // drawn, or none.
  void SetPath(std::optional<int> possession);
  // The document or its statistics changed: draw again.
  void DocumentChanged();

  // Widget pixels of a point of the field, and the other way round.
  QPointF ToPixels(float x_twips, float y_twips) const;
  Pt ToTwips(QPointF pixels) const;

 signals:
  void moveRequested(int event_row, float x, float y);
  void eventClicked(int event_row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The scale (the surface's dots per inch) and where the drawing area lies.
  void Layout();
  void DrawBase();
  std::optional<int> NearestEvent(QPointF pixels, double max_px) const;

  const ReviewSession& session_;
  PitchOverlays overlays_;
  std::optional<int> selected_;
  std::optional<int> path_;
  std::optional<Pt> dragged_to_;
  bool dragging_ = false;
  int dpi_ = 1;
  QPointF origin_;                           // widget pixels of the drawing area's top left corner
  std::unique_ptr<PitchImageSurface> base_;  // the field and the overlays
  bool base_valid_ = false;
};

// The momentum strip under the pitch: a bar a minute, drawn by the
// reports' momentum chart code. A click on a bar, or Left and Right while
// it has the focus, picks a minute.
class ReviewMomentumView : public QWidget {
  Q_OBJECT

 public:
  ReviewMomentumView(const ReviewSession& session, QWidget* parent);

  // The analysis changed: draw again.
  void DocumentChanged();
  // The minute framed on the strip (the chosen event's), where Left and
  // Right start from.
  void SetMinute(std::optional<int> minute);
  // Widget x of the middle of a minute's bar.
  int MinuteX(int minute) const;
  QSize sizeHint() const override;

 signals:
  void minuteClicked(int minute);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const ReviewSession& session_;
  std::optional<int> minute_;
  // The strip as last drawn, kept until the analysis or the size changes:
  // a repaint of the window for an arrow key draws no bar again.
  QImage image_;
};

}  // namespace varrow::forms
