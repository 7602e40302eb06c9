#include "osprey/pages/Page.h"

#include "osprey/pages/Pages.h"

namespace osprey {

Page::Page(Core& core, OspreyPages& pages, const std::string& name)
    : ui::Form(pages.app(), name), core_(&core), pages_(&pages) {}

} // namespace osprey
