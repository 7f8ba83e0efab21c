#include "ui/control_binding.h"

#include <QPointer>

namespace scrivola {

// Each side tells the other only of real changes, so an update coming back
// from the other side stops there.

void bindCheck(QAbstractButton& box, ControlValue& value) {
    box.setChecked(value.value() == 1);
    QObject::connect(&box, &QAbstractButton::toggled,
                     [&value](bool checked) { value.setValue(checked ? 1 : 0); });
    QPointer<QAbstractButton> widget(&box);
    value.setListener([widget](int now) {
        if (widget) {
            widget->setChecked(now == 1);
        }
    });
}

void bindSlider(QSlider& slider, ControlValue& value) {
    slider.setValue(value.value());
    QObject::connect(&slider, &QSlider::valueChanged,
                     [&value](int position) { value.setValue(position); });
    QPointer<QSlider> widget(&slider);
    value.setListener([widget](int now) {
        if (widget) {
            widget->setValue(now);
        }
    });
}

}  // namespace scrivola
