#include "viewer/framing.h"

#include <cmath>

namespace shapeview {

Framing frameBounds(const Bounds& bounds, int width, int height, float fovDegrees, float fill) {
  Framing f;
  if (bounds.empty || width <= 0 || height <= 0) return f;
  const double cx = 0.5 * (static_cast<double>(bounds.low.x) + bounds.high.x);
  const double cy = 0.5 * (static_cast<double>(bounds.low.y) + bounds.high.y);
  const double cz = 0.5 * (static_cast<double>(bounds.low.z) + bounds.high.z);
  f.centre.set(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cz));
  const double dx = static_cast<double>(bounds.high.x) - bounds.low.x;
  const double dy = static_cast<double>(bounds.high.y) - bounds.low.y;
  const double dz = static_cast<double>(bounds.high.z) - bounds.low.z;
  const double radius = 0.5 * std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(radius > 0.0) || !std::isfinite(radius)) return f;  // one point: any scale shows it

  // The bounding sphere, centred at the eye's distance d, is seen under a
  // half angle a with sin a = r / d; it fills the shorter side when
  // tan a = fill * tan(fov / 2) on that side.
  const double tanHalf = std::tan(fovDegrees * M_PI / 360.0);
  const double eye = 0.5 * height / tanHalf;
  const double t = fill * tanHalf * std::fmin(1.0, static_cast<double>(width) / height);
  const double pixels = eye * t / std::sqrt(1.0 + t * t);
  f.scale = static_cast<float>(pixels / radius);
  return f;
}

}  // namespace shapeview
