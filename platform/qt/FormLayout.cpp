#include "platform/qt/FormLayout.h"

#include "platform/qt/AccessibleNames.h"
#include "platform/qt/EventHook.h"
#include "platform/qt/WidgetFactory.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <string>

namespace uiqt {

using ui::Control;
using ui::ControlKind;

namespace {

// Controls that take the width of their grid cell rather than their own (a label, so that a
// wrapping text gets the width its height was measured for).
bool fillsItsCell(ControlKind k) {
    return k == ControlKind::Label || k == ControlKind::TextBox || k == ControlKind::ScrollBar ||
           k == ControlKind::ProgressBar || k == ControlKind::Frame || k == ControlKind::Line;
}

void putOnCaption(QWidget* frame, QWidget* picture) {
    // The picture sits over the blanks a caption begins with, and follows the frame's size.
    auto* box = qobject_cast<QGroupBox*>(frame);
    if (!box)
        return;
    picture->setParent(box);
    auto follow = [box, picture] {
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        opt.text = box->title();
        opt.textAlignment = box->alignment();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label =
            box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
        const int blank = box->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        picture->move(label.left() + blank, label.center().y() - picture->height() / 2);
    };
    new EventHook(box, [follow](QEvent* e) {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Show)
            follow();
        return false;
    });
    new EventHook(picture, [follow](QEvent* e) {
        if (e->type() == QEvent::Resize)
            follow();
        return false;
    });
}

// How far an option's text stands right of its indicator's left edge.
int optionIndent(const QWidget* container) {
    const QStyle* style = container->style();
    return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, container) +
           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, container);
}

// Sorts the controls into the rows of the window ("") and of each frame, in declaration
// order, then lays out each of them.
class Grids {
  public:
    Grids(QWidget* window, const FormWidgets& widgets, bool dialogWindow)
        : window_(window), widgets_(widgets), dialogWindow_(dialogWindow) {
        containers_[""] = window;
    }
    void addFrame(const std::string& name, QWidget* box) { containers_[name] = box; }
    void place(const Control& c, QWidget* w);
    FormLayout layOut() {
        for (const auto& [name, container] : containers_)
            layOutRows(container, rows_[name]);
        return std::move(result_);
    }

  private:
    using Row = std::vector<std::pair<const Control*, QWidget*>>;
    void layOutRows(QWidget* container, std::vector<Row> rows);
    QHBoxLayout* buttonRow(const Row& row);

    QWidget* window_;
    const FormWidgets& widgets_;
    bool dialogWindow_;
    std::map<std::string, QWidget*> containers_;
    std::map<std::string, std::vector<Row>> rows_;
    FormLayout result_;
};

void Grids::place(const Control& c, QWidget* w) {
    std::string container = containers_.count(c.layout().container) ? c.layout().container : "";
    if (c.kind() == ControlKind::Frame && container == c.name())
        container.clear(); // a frame never holds itself
    if (c.layout().onCaption && !container.empty()) {
        putOnCaption(containers_[container], w);
        return;
    }
    std::vector<Row>& rows = rows_[container];
    const bool afterLine = !rows.empty() && !rows.back().empty() &&
                           rows.back().front().first->kind() == ControlKind::Line;
    const bool newRow = !c.layout().sameRow || rows.empty() || afterLine ||
                        c.kind() == ControlKind::Line || (!rows.empty() && rows.back().empty());
    if (!c.visible()) {
        // No place, so the controls beside it start where it would have (a heading beside a
        // picture of another model lines up with the text below it).
        result_.unplaced.insert(&c);
        w->setParent(window_);
        w->hide();
        if (newRow)
            rows.emplace_back(); // an empty row: the next control begins afresh
        return;
    }
    if (newRow && (rows.empty() || !rows.back().empty()))
        rows.emplace_back();
    rows.back().emplace_back(&c, w);
    result_.rowHead[&c] = rows.back().front().first;
}

void Grids::layOutRows(QWidget* container, std::vector<Row> rows) {
    // One grid per form or frame, so that the rows line up in columns. A row of buttons only
    // spans the whole width. An empty last column takes the width the rows do not need, so
    // they stay packed at the left.
    auto* grid = new QGridLayout(container);
    std::erase_if(rows, [](const Row& row) { return row.empty(); });
    auto isButtonRow = [](const Row& row) {
        return std::all_of(row.begin(), row.end(), [](const auto& cell) {
            return cell.first->kind() == ControlKind::Button;
        });
    };
    // Columns the controls of a row start in; a control in the last column gets -1 here.
    auto startColumns = [](const Row& row) {
        std::vector<int> starts;
        int next = 0;
        for (const auto& [c, w] : row) {
            if (c->layout().lastColumn) {
                starts.push_back(-1);
                continue;
            }
            starts.push_back(std::max(next, c->layout().column));
            next = starts.back() + 1;
        }
        return starts;
    };
    int columns = 1;
    for (const Row& row : rows) {
        if (isButtonRow(row))
            continue;
        int needed = 0;
        for (int start : startColumns(row))
            needed = start < 0 ? needed + 1 : std::max(needed, start + 1);
        columns = std::max(columns, needed);
    }
    const int all = columns + 1;
    grid->setColumnStretch(columns, 1);
    int r = 0;
    bool navigation = false;
    for (const Row& row : rows) {
        const bool nav =
            isButtonRow(row) && std::any_of(row.begin(), row.end(), [](const auto& cell) {
                return cell.first->isDefault() || cell.first->isCancel();
            });
        // A dialog's lone OK stands where the desktop puts a dialog's buttons, at the right.
        if (isButtonRow(row) && (row.size() > 1 || nav)) {
            if (nav && container == window_) {
                // The height the page does not need stays above its navigation row, so the
                // row stands at the foot of every page alike; the fullest page keeps two
                // lines of room there too.
                grid->setRowMinimumHeight(r, 2 * container->fontMetrics().lineSpacing());
                grid->setRowStretch(r++, 1);
                navigation = true;
            }
            grid->addLayout(buttonRow(row), r++, 0, 1, all);
            continue;
        }
        std::vector<int> starts = startColumns(row);
        for (int& start : starts)
            if (start < 0)
                start = columns - 1;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const auto [c, w] = row[i];
            // Text fields and bars fill their cells, so those of a column share one width;
            // they reach past their own column only up to the next control of their row, or
            // over all columns when alone in it. Lists are as wide as their entries; the rest
            // keep their own width at the left of the cell, and the last of a row may run on
            // unless it holds the last column.
            const bool fills = fillsItsCell(c->kind()) && c->layout().width <= 0 &&
                               (c->kind() != ControlKind::TextBox || c->layout().chars <= 0);
            const bool field = isField(c->kind()) || c->kind() == ControlKind::ProgressBar;
            const int end = i + 1 < row.size()       ? starts[i + 1]
                            : c->layout().lastColumn ? columns
                            : !field                 ? all
                            : row.size() == 1        ? columns
                                                     : starts[i] + 1;
            const Qt::Alignment align = fills ? Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
            // A description beside a control wraps rather than widen the page.
            if (c->kind() == ControlKind::Label && !c->layout().heading && i > 0 &&
                i + 1 == row.size())
                if (auto* label = qobject_cast<QLabel*>(w))
                    label->setWordWrap(true);
            const int span = std::max(1, end - starts[i]);
            if (c->layout().indented) {
                // Its box stands under the text of the option above, past that option's
                // indicator.
                auto* under = new QHBoxLayout;
                under->addSpacing(optionIndent(container));
                under->addWidget(w, fills ? 1 : 0, align);
                grid->addLayout(under, r, starts[i], 1, span);
            } else {
                grid->addWidget(w, r, starts[i], 1, span, align);
            }
        }
        ++r;
    }
    if (container != window_)
        result_.frameGrids.push_back({grid, columns});
    if (!navigation && container == window_)
        grid->setRowStretch(r, 1); // a page without one keeps its content at the top
}

QHBoxLayout* Grids::buttonRow(const Row& row) {
    // A navigation row keeps one order and place on every page: other buttons at the left,
    // then Back, the forward button and the cancel button at the right, each as wide as the
    // others, Back's place kept where a page has none. Tab visits them in the same order.
    auto* buttons = new QHBoxLayout;
    std::vector<const Control*> controls;
    for (const auto& [c, w] : row)
        controls.push_back(c);
    const ui::ButtonRow arranged = ui::arrangeButtonRow(controls);
    for (const Control* c : arranged.others)
        buttons->addWidget(widgets_.of(*c));
    buttons->addStretch(1);
    if (!arranged.navigation())
        return buttons;
    // Their common width is set once their captions are (shareWidth).
    auto add = [&](QWidget* w) {
        result_.buttonSlots.push_back(w);
        buttons->addWidget(w);
    };
    if (arranged.back) {
        add(widgets_.of(*arranged.back));
    } else if (arranged.forward && arranged.cancel && !dialogWindow_) {
        auto* keep = new QWidget; // Back's place on a page without one
        keep->setFixedHeight(1);
        add(keep);
    }
    for (const Control* c : {arranged.forward, arranged.cancel})
        if (c)
            add(widgets_.of(*c));
    return buttons;
}

} // namespace

FormLayout layOutForm(QWidget* window, const FormWidgets& widgets, bool dialogWindow) {
    Grids grids(window, widgets, dialogWindow);
    // Frames first, so that a control may name a frame declared after it.
    const auto placed = widgets.inOrder();
    for (const auto& [c, w] : placed)
        if (c->kind() == ControlKind::Frame)
            grids.addFrame(c->name(), w);
    for (const auto& [c, w] : placed)
        grids.place(*c, w);
    return grids.layOut();
}

void shareWidth(const std::vector<QWidget*>& buttonSlots) {
    int slot = 0;
    for (QWidget* w : buttonSlots) {
        w->ensurePolished();
        slot = std::max({slot, w->sizeHint().width(), widthForChars(w, 10)});
    }
    for (QWidget* w : buttonSlots)
        w->setFixedWidth(slot);
}

void lineUpFrames(const std::vector<FormLayout::FrameGrid>& frames) {
    // Each column as wide as the widest control alone in it in any frame; a frame's last,
    // stretching column is left alone.
    std::vector<int> widths;
    for (const auto& [grid, columns] : frames) {
        widths.resize(std::max(widths.size(), static_cast<std::size_t>(columns)), 0);
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            QLayoutItem* item = grid->itemAt(i);
            if (QWidget* w = item->widget())
                w->ensurePolished();
            if (columnSpan == 1 && column < columns && !item->isEmpty()) {
                int& width = widths[static_cast<std::size_t>(column)];
                width = std::max(width, item->sizeHint().width());
            }
        }
    }
    for (const auto& [grid, columns] : frames)
        for (int column = 0; column < columns; ++column)
            grid->setColumnMinimumWidth(column, widths[static_cast<std::size_t>(column)]);
}

void activateLayouts(QWidget* window) {
    window->ensurePolished();
    // A frame's layout runs only when its own request arrives, after the window's has
    // given it its size: run both until nothing moves any more.
    for (int pass = 0; pass < 4; ++pass) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        std::vector<QRect> before;
        QList<QWidget*> all = window->findChildren<QWidget*>();
        for (QWidget* w : all)
            before.push_back(w->geometry());
        if (QLayout* layout = window->layout()) {
            layout->invalidate();
            layout->activate();
        }
        for (QWidget* w : all)
            if (QLayout* layout = w->layout())
                layout->activate();
        bool moved = false;
        for (qsizetype i = 0; i < all.size(); ++i)
            moved = moved || all[i]->geometry() != before[static_cast<std::size_t>(i)];
        if (!moved)
            break;
    }
}

} // namespace uiqt
