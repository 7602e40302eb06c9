#pragma once
#include "platform/ui/Form.h"

#include <string>
#include <vector>

namespace uiqt {

// Renders a form's window to a PNG file, loading the form and building its window when
// needed (the app's host must be a QtHost). False when the image cannot be made or saved.
bool renderFormToPng(ui::Form& form, const std::string& path);

// What is wrong with a form's layout: controls overlapping one another, or clipped by
// their window or frame or too small for their content. Empty when the layout is sound.
std::vector<std::string> checkNoOverlap(ui::Form& form);

} // namespace uiqt
