#pragma once
#include "platform/qt/FormWidgets.h"

#include <map>
#include <set>
#include <vector>

class QGridLayout;
class QWidget;

namespace uiqt {

// Where the layout put a form's controls.
struct FormLayout {
    // The first control of each placed control's row: what a repeated caption is about.
    std::map<const ui::Control*, const ui::Control*> rowHead;
    // Controls hidden when the window was laid out: they have no place until it is rebuilt.
    std::set<const ui::Control*> unplaced;
    // The buttons (and Back's empty place) of a navigation row, which share one width.
    std::vector<QWidget*> buttonSlots;
    // The grid of each frame, with the number of its columns (a last one stretches).
    struct FrameGrid {
        QGridLayout* grid;
        int columns;
    };
    std::vector<FrameGrid> frameGrids;
};

// Lays out the widgets of a form in one grid for the window and one for each frame, so that
// the rows line up in columns, with a page's navigation row at its foot.
FormLayout layOutForm(QWidget* window, const FormWidgets& widgets, bool dialogWindow);

// Gives the buttons of navigation rows the width the widest of them needs, once their
// captions are set.
void shareWidth(const std::vector<QWidget*>& buttonSlots);

// The frames of a window line up their columns, as the rows of one grid do, once the
// controls' captions and entries are set.
void lineUpFrames(const std::vector<FormLayout::FrameGrid>& frames);

// Lays out a window and every frame in it now, to the final geometry it would have on
// screen, rather than when Qt's posted layout requests arrive.
void activateLayouts(QWidget* window);

} // namespace uiqt
