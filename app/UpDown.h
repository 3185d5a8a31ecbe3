#pragma once

#include <QWidget>

class QToolButton;

namespace rw::app {

// The small pair of arrow buttons beside a time field: each click asks for one frame more or
// less. It keeps a range and a position for the field it belongs to.
class UpDown : public QWidget {
  Q_OBJECT
public:
  explicit UpDown(QWidget* parent);

  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

signals:
  void Up();
  void Down();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  QToolButton* up_;
  QToolButton* down_;
  int minimum_ = 0;
  int maximum_ = 0;
  int position_ = 0;
};

} // namespace rw::app
