#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

namespace scrivola {

// Largest edge the renderer accepts; icon themes stop well below this.
inline constexpr int kMaxIconSize = 1024;

// Renders SVG artwork into a square, transparent ARGB image of size x size
// pixels, keeping the artwork's aspect ratio and centring it. Returns nothing
// when the SVG cannot be parsed, draws nothing, or the size is out of range.
std::optional<QImage> renderIcon(const QByteArray& svg, int size);

}  // namespace scrivola
