#pragma once

namespace uiqt {

// What screen readers learn of a combo box and a slider beyond Qt's own interfaces: a combo
// box is named after its label, not read out by its current entry; a slider's value is read
// as the page shows it, with its unit. Installed once, for every window.
void installAccessibleInterfaces();

} // namespace uiqt
