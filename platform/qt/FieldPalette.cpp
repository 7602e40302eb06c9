#include "platform/qt/FieldPalette.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace uiqt {

namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The first colour readable on `base`, else black or white, whichever reads better.
QColor readableOn(const QColor& base, std::initializer_list<QColor> preferred) {
    for (const QColor& c : preferred)
        if (contrastRatio(c, base) >= kReadableContrast)
            return c;
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(black, base) >= contrastRatio(white, base) ? black : white;
}

// `text` faded towards `base` as far as it stays readable (disabled and placeholder texts).
QColor fadedOn(const QColor& base, const QColor& text) {
    for (double t : {0.4, 0.3, 0.2, 0.1}) {
        const QColor c = QColor::fromRgbF(
            static_cast<float>(text.redF() + (base.redF() - text.redF()) * t),
            static_cast<float>(text.greenF() + (base.greenF() - text.greenF()) * t),
            static_cast<float>(text.blueF() + (base.blueF() - text.blueF()) * t));
        if (contrastRatio(c, base) >= kReadableContrast)
            return c;
    }
    return text;
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette fieldPalette(const QPalette& desktop, const QColor& base) {
    QPalette pal = desktop;
    const QColor text = readableOn(base, {desktop.color(QPalette::Active, QPalette::Text),
                                          desktop.color(QPalette::Active, QPalette::ButtonText)});
    const QColor faded = fadedOn(base, text);
    const QColor selection = desktop.color(QPalette::Active, QPalette::Highlight);
    const QColor selected =
        readableOn(selection, {desktop.color(QPalette::Active, QPalette::HighlightedText)});
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, base);
        pal.setColor(group, QPalette::Text, group == QPalette::Disabled ? faded : text);
        pal.setColor(group, QPalette::PlaceholderText, faded);
        pal.setColor(group, QPalette::HighlightedText, selected);
    }
    return pal;
}

} // namespace uiqt
