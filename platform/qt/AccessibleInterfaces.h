#pragma once

namespace uiqt {

// What screen readers learn beyond Qt's own interfaces: a list that no label of its own names
// reads as Qt's lists do (its current entry as its name) and is labelled by the control that
// names it; a slider's value is read as the page shows it, with its unit. Every other control
// keeps Qt's own interface. Installed once, for every window.
void installAccessibleInterfaces();

} // namespace uiqt
