#pragma once

#include "view/WindowLayout.h"

#include <cstdint>
#include <initializer_list>
#include <variant>
#include <vector>

namespace rw::view {

// Colours as 0xRRGGBB.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kRed = 0xFF0000;
inline constexpr Colour kSilver = 0xC0C0C0; // the grey of the overview bar
inline constexpr Colour kGrey = 0x808080;   // empty audio images

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A drawing as a list of simple figures in drawing order: what the window paints into a
// component, kept as data so that its geometry can be checked without a display.
class Sketch {
public:
  // A rectangle filled with one colour.
  struct Fill {
    Rect rect;
    Colour colour = kBlack;
    friend bool operator==(const Fill&, const Fill&) = default;
  };
  // A rectangle filled with `fill` inside a one-pixel border of `pen` (the border lies inside).
  struct Box {
    Rect rect;
    Colour pen = kBlack;
    Colour fill = kWhite;
    friend bool operator==(const Box&, const Box&) = default;
  };
  // Connected line segments from point to point; the last point itself is not drawn (as a pen
  // moving from point to point leaves it), a closed outline returns to the first point.
  struct Path {
    std::vector<Point> points;
    Colour pen = kBlack;
    bool closed = false;
    friend bool operator==(const Path&, const Path&) = default;
  };
  using Figure = std::variant<Fill, Box, Path>;

  void AddFill(const Rect& rect, Colour colour) { figures_.emplace_back(Fill{rect, colour}); }
  void AddBox(const Rect& rect, Colour pen, Colour fill) { figures_.emplace_back(Box{rect, pen, fill}); }
  void AddPath(std::initializer_list<Point> points, Colour pen = kBlack, bool closed = false) {
    figures_.emplace_back(Path{points, pen, closed});
  }
  void Append(const Sketch& other) {
    figures_.insert(figures_.end(), other.figures_.begin(), other.figures_.end());
  }
  void Clear() { figures_.clear(); }

  const std::vector<Figure>& Figures() const { return figures_; }
  bool Empty() const { return figures_.empty(); }
  friend bool operator==(const Sketch&, const Sketch&) = default;

private:
  std::vector<Figure> figures_;
};

} // namespace rw::view
