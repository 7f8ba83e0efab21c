#include "ui/form_controls.h"

#include <QApplication>
#include <string_view>

#include "ui/artwork.h"
#include "ui/design_font.h"
#include "ui/form_layout.h"
#include "ui/twips.h"

namespace scrivola {

namespace {

template <typename Widget>
Widget* named(QWidget& face, const char* name) {
    return face.findChild<Widget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void buildButtons(QWidget& face) {
    for (const ButtonDesign& design : kButtons) {
        auto* button =
            new FlatButton(QString::fromLatin1(design.name), QString::fromUtf8(design.caption),
                           toQColor(design.face), &face);
        button->setGeometry(twipsRect(design.left, design.top, design.width, design.height));
        button->setToolTip(QString::fromUtf8(design.tooltip));
        button->setFont(designFont(design.font));
        // KEEP TONE is a check box that shows as a button held down while on.
        button->setCheckable(std::string_view(design.name) == "Check3");
    }
}

void buildSwatches(QWidget& face, FormControls& controls) {
    for (const SwatchDesign& design : kSwatches) {
        auto* swatch = new SwatchLabel(design.index, &face);
        swatch->setGeometry(twipsRect(kSwatchLeft, design.top, kSwatchSize, kSwatchSize));
        swatch->setToolTip(QString::fromUtf8(kSwatchTooltip));
        controls.lblcolor[static_cast<std::size_t>(design.index)] = swatch;
    }
}

void buildSliders(QWidget& face) {
    for (const SliderDesign& design : kSliders) {
        auto* slider = new QSlider(Qt::Horizontal, &face);
        slider->setObjectName(QString::fromLatin1(design.name));
        slider->setGeometry(twipsRect(design.left, design.top, design.width, design.height));
        slider->setRange(design.minimum, design.maximum);
        slider->setPageStep(design.largeStep);
        slider->setSingleStep(design.smallStep);
        slider->setTickInterval(design.tickEvery);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setValue(design.minimum);
        // Light tick marks and a green filled groove on the dark face.
        QPalette colours = slider->palette();
        colours.setColor(QPalette::Window, QColor(255, 255, 255));
        colours.setColor(QPalette::WindowText, QColor(200, 200, 200));
        colours.setColor(QPalette::Highlight, QColor(0, 170, 0));
        slider->setPalette(colours);
    }
}

template <typename Box>
Box* buildPicture(QWidget& face, const PictureDesign& design) {
    auto* box = new Box(QString::fromLatin1(design.name), {design.unitXTwips, design.unitYTwips},
                        design.lineWidth, design.backColor, &face);
    box->setGeometry(twipsRect(design.left, design.top, design.width, design.height));
    return box;
}

void buildPictures(QWidget& face) {
    for (const PictureDesign& design : kPictures) {
        switch (design.kind) {
            case PictureKind::Drawing:
                buildPicture<PictureBox>(face, design)->clear();
                break;
            case PictureKind::Scope:
                buildPicture<ScopeView>(face, design);
                break;
            case PictureKind::Meter:
                buildPicture<MeterView>(face, design);
                break;
        }
    }
}

// The switch boxes beyond the client area are hidden outright, so they can
// neither be seen nor clicked whatever happens to the window's size.
void buildSwitchBoxes(QWidget& face) {
    const QPixmap sine = checkPicture(CheckPicture::Sine);
    const QPixmap square = checkPicture(CheckPicture::Square);
    for (const SwitchBoxDesign& design : kSwitchBoxes) {
        const QPalette system = QApplication::palette();
        const QColor faceColour =
            design.systemColours ? system.color(QPalette::Base) : system.color(QPalette::Button);
        auto* box = new FlatButton(QString::fromLatin1(design.name),
                                   QString::fromUtf8(design.caption), faceColour, &face);
        box->setGeometry(twipsRect(design.left, design.top, design.width, design.height));
        box->setCheckable(true);
        box->setFont(designFont(kDefaultFont));
        if (design.systemColours) {
            box->setTextColor(system.color(QPalette::Text));
        }
        if (design.picture == CheckPicture::Sine) {
            box->setPicture(sine);
        } else if (design.picture == CheckPicture::Square) {
            box->setPicture(square);
        }
        box->hide();
    }
}

void buildTextBoxes(QWidget& face) {
    for (const TextBoxDesign& design : kTextBoxes) {
        QWidget* widget = design.editable ? static_cast<QWidget*>(new QLineEdit(&face))
                                          : static_cast<QWidget*>(new QLabel(&face));
        widget->setObjectName(QString::fromLatin1(design.name));
        widget->setGeometry(twipsRect(design.left, design.top, design.width, design.height));
        widget->hide();
    }
}

}  // namespace

FormControls buildFormControls(QWidget& face) {
    FormControls controls;
    buildButtons(face);
    buildSwatches(face, controls);
    buildSliders(face);
    buildPictures(face);
    buildSwitchBoxes(face);
    buildTextBoxes(face);

    controls.cmdnew = named<FlatButton>(face, "cmdnew");
    controls.cmdrst = named<FlatButton>(face, "cmdrst");
    controls.Command1 = named<FlatButton>(face, "Command1");
    controls.Command2 = named<FlatButton>(face, "Command2");
    controls.cmdsin1 = named<FlatButton>(face, "cmdsin1");
    controls.cmdexit = named<FlatButton>(face, "cmdexit");
    for (int id = Check1; id <= Check12; ++id) {
        controls.checks[static_cast<std::size_t>(id)] =
            named<FlatButton>(face, QStringLiteral("Check%1").arg(id).toLatin1().constData());
    }
    controls.Slider1 = named<QSlider>(face, "Slider1");
    controls.VScroll1 = named<QSlider>(face, "VScroll1");
    controls.picdraw = named<PictureBox>(face, "picdraw");
    controls.WPB1 = named<ScopeView>(face, "WPB1");
    controls.o1VU = named<MeterView>(face, "o1VU");
    controls.Picture1 = named<ScopeView>(face, "Picture1");
    controls.Picture2 = named<MeterView>(face, "Picture2");
    controls.Text1 = named<QLineEdit>(face, "Text1");
    controls.Label2 = named<QLabel>(face, "Label2");
    controls.picdraw->setCursor(Qt::CrossCursor);
    return controls;
}

FormMenus buildFormMenus(QMenuBar& bar) {
    for (const MenuDesign& design : kMenus) {
        QMenu* menu = bar.addMenu(QString::fromUtf8(design.caption));
        menu->setObjectName(QString::fromLatin1(design.name));
        for (const MenuItemDesign& item : design.items) {
            if (item.name != nullptr) {
                menu->addAction(QString::fromUtf8(item.caption))
                    ->setObjectName(QString::fromLatin1(item.name));
            }
        }
    }
    auto action = [&bar](const char* name) {
        return bar.findChild<QAction*>(QString::fromLatin1(name));
    };
    FormMenus menus;
    menus.mnunew = action("mnunew");
    menus.mnureset = action("mnureset");
    menus.mnuresetall = action("mnuresetall");
    menus.mnukeeptone = action("mnukeeptone");
    menus.mnuchngtone = action("mnuchngtone");
    return menus;
}

}  // namespace scrivola
