#pragma once
// Checks shared by the tests that render forms offscreen.
#include "platform/qt/QtRender.h"
#include "platform/ui/Form.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>

namespace uiqt_test {

// Distinct colours on a grid of every third pixel: a handful means nothing was drawn.
inline std::size_t sampledColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// Renders a page to a PNG at `path` and checks that something was drawn and that no control
// overlaps another or is clipped by its container. Wrap in ASSERT_NO_FATAL_FAILURE.
inline void expectCleanPage(ui::Form& form, const std::string& path) {
    ASSERT_TRUE(uiqt::renderFormToPng(form, path)) << path;
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(sampledColours(image), 4u) << "the picture is blank";
    for (const std::string& problem : uiqt::checkNoOverlap(form))
        ADD_FAILURE() << problem;
}

} // namespace uiqt_test
