#include "ui/scope_view.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "ui/color_value_qt.h"

namespace scrivola {

ScopeView::ScopeView(const QString& name, Scale scale, int lineWidth, ColorValue backColor,
                     QWidget* parent)
    : SunkenBox(name, scale, lineWidth, backColor, parent) {
    trace_.fill(std::numeric_limits<float>::quiet_NaN());
}

QRect ScopeView::pointAt(int index, float value) const {
    // Summed in double, used in single precision as the point's y.
    const auto y = static_cast<float>(static_cast<double>(value) + 125.0);
    // The point covers the logical pixel it falls in; a wider point is
    // centred on that pixel.
    const int size = lineWidth();
    const int before = (size - 1) / 2;
    const double left = std::floor(toLogicalX(index)) - before;
    const double top = std::floor(toLogicalY(y)) - before;
    // Compared in floating point first, so huge positions cannot overflow;
    // that far out a point lies outside any box.
    constexpr double kReach = 1 << 20;
    if (!(std::abs(left) < kReach && std::abs(top) < kReach)) {
        return {};
    }
    return {static_cast<int>(left), static_cast<int>(top), size, size};
}

void ScopeView::show(const Trace& trace) {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    const auto include = [&](const QRect& point) {
        if (!point.isEmpty()) {
            left = std::min(left, point.left());
            top = std::min(top, point.top());
            right = std::max(right, point.right());
            bottom = std::max(bottom, point.bottom());
        }
    };
    for (std::size_t i = 0; i < trace.size(); ++i) {
        // Equal values show the same point, whatever zero's sign; NaNs none.
        if (trace[i] == trace_[i] || (std::isnan(trace[i]) && std::isnan(trace_[i]))) {
            continue;
        }
        const QRect point = pointAt(static_cast<int>(i), trace[i]);
        if (point != points_[i]) {
            include(points_[i]);
            include(point);
            points_[i] = point;
        }
    }
    trace_ = trace;
    if (left <= right) {
        updateArea(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
}

void ScopeView::paintArea(QPainter& painter, const QRect& dirty) {
    painter.fillRect(dirty, toQColor(backColor()));
    const QColor colour = toQColor(kScopeColor);
    const QRect* last = nullptr;
    for (const QRect& point : points_) {
        // Neighbouring values often share a point: it is painted once.
        if (point.intersects(dirty) && (last == nullptr || point != *last)) {
            painter.fillRect(point, colour);
            last = &point;
        }
    }
}

}  // namespace scrivola
