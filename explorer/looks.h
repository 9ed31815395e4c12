// The ways the lab shows the cloth, described once: the n key steps through
// them, and the panel, the page and the overlay name them from this table.
#pragma once

namespace explorer {

/// How the cloth is shown.
enum Look { kSurface = 0, kSurfaceAndNet = 1, kNet = 2, kStrain = 3 };

/// One look: its value and the name the panel and the page show.
struct LookInfo {
  Look look;
  const char* name;
};

/// Every look, in the order n steps through them.
constexpr LookInfo kLooks[] = {
    {kSurface, "surface"}, {kSurfaceAndNet, "surface and net"}, {kNet, "net"}, {kStrain, "strain"}};
constexpr int kLookCount = sizeof kLooks / sizeof kLooks[0];

/// The look after this one, back to the first after the last.
constexpr Look nextLook(Look look) {
  return static_cast<Look>((static_cast<int>(look) + 1) % kLookCount);
}

/// The look numbered k (as the panel and the page send it), held within the table.
constexpr Look lookAt(int k) {
  return static_cast<Look>(k < 0 ? 0 : k >= kLookCount ? kLookCount - 1 : k);
}

}  // namespace explorer
