// Copyright 2026 obsfeed developers
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.

#include "obsfeed_demo/scene_painter.hpp"

#include <cairo.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace obsfeed_demo
{

namespace
{

// The window: 0.9 m square from just behind base_footprint's origin to past the bumper arc.
constexpr int kMapPixels = 600;
constexpr double kPixelsPerMetre = kMapPixels / 0.9;
constexpr double kNearestX = -0.15;  // m, bottom edge
constexpr double kHalfWidthY = 0.45;  // m
constexpr int kTitleBand = 34;
constexpr int kLegendBand = 153;

struct Rgba
{
  double r, g, b, a;
};
constexpr Rgba kFootprintFill{0.86, 0.86, 0.86, 1.0};
constexpr Rgba kFootprintEdge{0.35, 0.35, 0.35, 1.0};
constexpr Rgba kFanFill{0.12, 0.45, 0.86, 0.22};
constexpr Rgba kFanEdge{0.12, 0.45, 0.86, 1.0};
constexpr Rgba kFarFanEdge{0.55, 0.55, 0.55, 1.0};
constexpr Rgba kClearFanFill{0.15, 0.65, 0.30, 0.15};
constexpr Rgba kClearFanEdge{0.15, 0.55, 0.25, 1.0};
constexpr Rgba kCell{0.72, 0.05, 0.12, 0.85};
constexpr Rgba kUltrasonicReturn{0.05, 0.22, 0.60, 1.0};
constexpr Rgba kBumperReturn{0.96, 0.55, 0.0, 1.0};
constexpr Rgba kGridLine{0.92, 0.92, 0.92, 1.0};
constexpr Rgba kInk{0.1, 0.1, 0.1, 1.0};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void setColour(cairo_t * cr, const Rgba & c)
{
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

/// Forward (x) is up, left (y) is left.
Eigen::Vector2d toPixel(const Eigen::Vector2d & p)
{
  return {
    kMapPixels / 2.0 - p.y() * kPixelsPerMetre,
    kTitleBand + kMapPixels - (p.x() - kNearestX) * kPixelsPerMetre};
}

void moveTo(cairo_t * cr, const Eigen::Vector2d & p, bool line)
{
  const Eigen::Vector2d pixel = toPixel(p);
  (line ? cairo_line_to : cairo_move_to)(cr, pixel.x(), pixel.y());
}

void polygonPath(cairo_t * cr, const std::vector<Eigen::Vector2d> & corners)
{
  for (std::size_t i = 0; i < corners.size(); ++i) {
    moveTo(cr, corners[i], i > 0);
  }
  cairo_close_path(cr);
}

void text(cairo_t * cr, double u, double v, const std::string & words, double size = 13.0)
{
  cairo_set_font_size(cr, size);
  setColour(cr, kInk);
  cairo_move_to(cr, u, v);
  cairo_show_text(cr, words.c_str());
}

void paintGrid(cairo_t * cr)
{
  setColour(cr, kGridLine);
  cairo_set_line_width(cr, 1.0);
  for (int step = -10; step <= 10; ++step) {
    const double at = step * 0.1;
    moveTo(cr, {at, -kHalfWidthY}, false);
    moveTo(cr, {at, kHalfWidthY}, true);
    moveTo(cr, {kNearestX, at}, false);
    moveTo(cr, {kNearestX + 2 * kHalfWidthY, at}, true);
  }
  cairo_stroke(cr);
}

void paintCells(cairo_t * cr, const MarkScene & scene)
{
  setColour(cr, kCell);
  const double half = scene.cell_size / 2.0;
  for (const Eigen::Vector2d & centre : scene.marked_cells) {
    polygonPath(
      cr, {centre + Eigen::Vector2d(half, half), centre + Eigen::Vector2d(half, -half),
        centre + Eigen::Vector2d(-half, -half), centre + Eigen::Vector2d(-half, half)});
  }
  cairo_fill(cr);
}

void paintFootprint(cairo_t * cr, const MarkScene & scene)
{
  polygonPath(cr, scene.footprint);
  setColour(cr, kFootprintFill);
  cairo_fill_preserve(cr);
  setColour(cr, kFootprintEdge);
  cairo_set_line_width(cr, 2.0);
  cairo_stroke(cr);
  // base_footprint's origin and its x axis.
  moveTo(cr, {0.0, 0.0}, false);
  moveTo(cr, {0.1, 0.0}, true);
  cairo_stroke(cr);
  const Eigen::Vector2d origin = toPixel({0.0, 0.0});
  text(cr, origin.x() + 4, origin.y() - 4, "base_footprint", 11.0);
}

void paintFans(cairo_t * cr, const MarkScene & scene)
{
  for (const MarkScene::Fan & fan : scene.fans) {
    polygonPath(cr, fan.outline);
    cairo_set_line_width(cr, 1.5);
    if (fan.beyond_range) {
      if (fan.no_object) {
        setColour(cr, kClearFanFill);
        cairo_fill_preserve(cr);
      }
      const double dash[] = {4.0, 3.0};
      cairo_set_dash(cr, dash, 2, 0.0);
      setColour(cr, fan.no_object ? kClearFanEdge : kFarFanEdge);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0.0);
    } else {
      setColour(cr, kFanFill);
      cairo_fill_preserve(cr);
      setColour(cr, kFanEdge);
      cairo_stroke(cr);
    }
  }
}

void paintDots(cairo_t * cr, const std::vector<Eigen::Vector2d> & points, const Rgba & colour)
{
  setColour(cr, colour);
  for (const Eigen::Vector2d & point : points) {
    const Eigen::Vector2d pixel = toPixel(point);
    cairo_new_sub_path(cr);
    cairo_arc(cr, pixel.x(), pixel.y(), 1.6, 0.0, 2 * M_PI);
  }
  cairo_fill(cr);
}

void paintScale(cairo_t * cr)
{
  const double u = kMapPixels - 20 - 0.2 * kPixelsPerMetre;
  const double v = kTitleBand + kMapPixels - 16;
  setColour(cr, kInk);
  cairo_set_line_width(cr, 2.0);
  cairo_move_to(cr, u, v);
  cairo_line_to(cr, u + 0.2 * kPixelsPerMetre, v);
  cairo_stroke(cr);
  text(cr, u + 0.2 * kPixelsPerMetre / 2 - 14, v - 6, "0.2 m", 11.0);
}

/// One legend line: a swatch drawn by @p swatch at (u, v), then the words.
template<typename Swatch>
void legendLine(cairo_t * cr, int line, const std::string & words, Swatch swatch)
{
  const double u = 14.0;
  const double v = kTitleBand + kMapPixels + 22.0 + 21.0 * line;
  swatch(u, v);
  text(cr, u + 30, v + 4, words, 12.0);
}

void paintLegend(cairo_t * cr, const MarkScene & scene)
{
  auto box = [cr](const Rgba & fill, const Rgba & edge, bool dashed) {
      return [cr, fill, edge, dashed](double u, double v) {
               cairo_rectangle(cr, u, v - 6, 20, 12);
               setColour(cr, fill);
               cairo_fill_preserve(cr);
               if (dashed) {
                 const double dash[] = {4.0, 3.0};
                 cairo_set_dash(cr, dash, 2, 0.0);
               }
               setColour(cr, edge);
               cairo_set_line_width(cr, 1.5);
               cairo_stroke(cr);
               cairo_set_dash(cr, nullptr, 0, 0.0);
             };
    };
  auto dot = [cr](const Rgba & colour) {
      return [cr, colour](double u, double v) {
               setColour(cr, colour);
               cairo_arc(cr, u + 10, v, 3.0, 0.0, 2 * M_PI);
               cairo_fill(cr);
             };
    };
  constexpr Rgba kNone{1.0, 1.0, 1.0, 0.0};
  legendLine(cr, 0, scene.cells_label, box(kCell, kCell, false));
  legendLine(
    cr, 1, "ultrasonic fan at the published range, and its returns",
    [&](double u, double v) {box(kFanFill, kFanEdge, false)(u, v); dot(kUltrasonicReturn)(u, v);});
  legendLine(
    cr, 2, "far reading beyond range_max: no return, marks and clears nothing (drawn "
    "to range_max)", box(kNone, kFarFanEdge, true));
  legendLine(
    cr, 3, "+Inf (ultrasonic.use_inf): no object within range; clears the fan up to "
    "range_max", box(kClearFanFill, kClearFanEdge, true));
  legendLine(cr, 4, "bumper_laser returns (one arc per contact)", dot(kBumperReturn));
  legendLine(cr, 5, "robot footprint", box(kFootprintFill, kFootprintEdge, false));
}

}  // namespace

void paintScenePng(const MarkScene & scene, const std::string & path)
{
  Surface surface(
    cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, kMapPixels, kTitleBand + kMapPixels + kLegendBand),
    &cairo_surface_destroy);
  Context context(cairo_create(surface.get()), &cairo_destroy);
  cairo_t * cr = context.get();
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_paint(cr);

  cairo_rectangle(cr, 0, kTitleBand, kMapPixels, kMapPixels);
  cairo_clip(cr);
  paintGrid(cr);
  paintFootprint(cr, scene);
  paintFans(cr, scene);
  paintCells(cr, scene);
  paintDots(cr, scene.ultrasonic_returns, kUltrasonicReturn);
  paintDots(cr, scene.bumper_returns, kBumperReturn);
  paintScale(cr);
  cairo_reset_clip(cr);
  text(cr, 12, 23, scene.title, 15.0);
  paintLegend(cr, scene);

  const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error(
            "cannot write " + path + ": " + cairo_status_to_string(status));
  }
}

}  // namespace obsfeed_demo
