#include "platform/qt/QtRender.h"

#include "platform/qt/FormLayout.h"
#include "platform/qt/QtHost.h"
#include "platform/ui/App.h"
#include "platform/ui/Control.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

namespace uiqt {

namespace {

// The form's window with its layout applied, or null.
QWidget* laidOutWindow(ui::Form& form) {
    QtHost* host = QtHost::of(form.app());
    if (!host)
        return nullptr;
    if (!form.loaded())
        host->userEvent([&form] { form.load(); });
    QWidget* window = host->window(form);
    if (!window)
        return nullptr;
    activateLayouts(window);
    return window;
}

QRect inWindow(QWidget* w, QWidget* window) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

std::string rectText(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// The size the widget needs to show all of its content.
QSize needed(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->wordWrap())
            return QSize(0, label->heightForWidth(label->width()));
        if (label->pixmap().isNull())
            return label->sizeHint();
        return QSize(0, 0); // a picture may be scaled into its box
    }
    QSize min = w->minimumSizeHint();
    return min.isValid() ? min : QSize(0, 0);
}

} // namespace

bool renderFormToPng(ui::Form& form, const std::string& path) {
    QWidget* window = laidOutWindow(form);
    if (!window)
        return false;
    QPixmap image = window->grab();
    if (image.isNull())
        return false;
    return image.save(QString::fromStdString(path), "PNG");
}

std::vector<std::string> checkNoOverlap(ui::Form& form) {
    std::vector<std::string> problems;
    QWidget* window = laidOutWindow(form);
    if (!window) {
        problems.push_back(form.name() + ": no window");
        return problems;
    }
    QtHost* host = QtHost::of(form.app());
    auto widgets = host->widgets(form);
    // A hidden control that gave up its place has no geometry to check.
    std::erase_if(widgets, [](const auto& entry) {
        return entry.second->isHidden() && !entry.second->sizePolicy().retainSizeWhenHidden();
    });
    for (const auto& [control, w] : widgets) {
        const std::string name = form.name() + "." + control->fullName();
        const QRect r = inWindow(w, window);
        QWidget* parent = w->parentWidget();
        QRect room = parent == window ? window->rect() : inWindow(parent, window);
        // A frame's layout holds its controls inside its border; a picture on its caption
        // (placed by hand, in no layout) need only stay inside the frame.
        const bool laidOut = parent->layout() && parent->layout()->indexOf(w) >= 0;
        if (auto* box = qobject_cast<QGroupBox*>(parent); box && parent != window && laidOut)
            room =
                QRect(room.topLeft() + box->contentsRect().topLeft(), box->contentsRect().size());
        if (!room.contains(r))
            problems.push_back(name + " at " + rectText(r) + " is clipped by " + rectText(room));
        const QSize need = needed(w);
        if (w->width() < need.width() || w->height() < need.height())
            problems.push_back(name + " is " + std::to_string(w->width()) + "x" +
                               std::to_string(w->height()) + " but needs " +
                               std::to_string(need.width()) + "x" + std::to_string(need.height()));
    }
    for (std::size_t i = 0; i < widgets.size(); ++i)
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            QWidget* a = widgets[i].second;
            QWidget* b = widgets[j].second;
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            const QRect ra = inWindow(a, window);
            const QRect rb = inWindow(b, window);
            if (ra.intersects(rb))
                problems.push_back(form.name() + "." + widgets[i].first->fullName() + " at " +
                                   rectText(ra) + " overlaps " + widgets[j].first->fullName() +
                                   " at " + rectText(rb));
        }
    return problems;
}

} // namespace uiqt
