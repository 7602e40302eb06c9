#include "kestrel/pages/Pages.h"

namespace kestrel {

KestrelPages::KestrelPages(ui::App& app, Core& core) : app_(&app) {
    list_.create(core, *this);
}

} // namespace kestrel
