#pragma once
#include <QColor>
#include <QPalette>

namespace uiqt {

// The contrast ratio of two colours as accessibility guidelines measure it, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// Text guidelines ask of a text against its background.
constexpr double kReadableContrast = 4.5;

// The palette of a text field whose background a page fixes (white, button face): the
// desktop's palette with that background, and text colours readable on it, typed, disabled
// and placeholder alike; selected text stays readable on the desktop's selection colour.
QPalette fieldPalette(const QPalette& desktop, const QColor& base);

} // namespace uiqt
