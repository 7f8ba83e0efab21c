// Creates the window's controls at their designed places and hands out
// pointers to them by name. The widgets belong to the face they are built on.
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <array>

#include "synth/synth_state.h"
#include "ui/flat_button.h"
#include "ui/meter_view.h"
#include "ui/picture_box.h"
#include "ui/scope_view.h"
#include "ui/swatch_label.h"

namespace scrivola {

struct FormControls {
    FlatButton* cmdnew = nullptr;
    FlatButton* cmdrst = nullptr;
    FlatButton* Command1 = nullptr;
    FlatButton* Command2 = nullptr;
    FlatButton* cmdsin1 = nullptr;
    FlatButton* cmdexit = nullptr;
    // The twelve switch boxes by SwitchId (entry 0 unused); Check3 is the
    // visible KEEP TONE button.
    std::array<FlatButton*, 13> checks{};
    std::array<SwatchLabel*, 8> lblcolor{};  // by index, not screen order
    QSlider* Slider1 = nullptr;
    QSlider* VScroll1 = nullptr;
    PictureBox* picdraw = nullptr;
    ScopeView* WPB1 = nullptr;      // voice A's scope
    MeterView* o1VU = nullptr;      // voice A's level meter
    ScopeView* Picture1 = nullptr;  // voice B's scope
    MeterView* Picture2 = nullptr;  // voice B's level meter
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;

    FlatButton& check(SwitchId id) const { return *checks[static_cast<std::size_t>(id)]; }
};

struct FormMenus {
    QAction* mnunew = nullptr;
    QAction* mnureset = nullptr;
    QAction* mnuresetall = nullptr;
    QAction* mnukeeptone = nullptr;
    QAction* mnuchngtone = nullptr;
};

FormControls buildFormControls(QWidget& face);
FormMenus buildFormMenus(QMenuBar& bar);

}  // namespace scrivola
