#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

namespace osprey {

class Core;
class OspreyPages;

// Base of every Osprey page: the core and the other pages.
class Page : public ui::Form {
  public:
    Page(Core& core, OspreyPages& pages, const std::string& name);

  protected:
    Core& core() const { return *core_; }
    OspreyPages& pages() const { return *pages_; }

  private:
    Core* core_;
    OspreyPages* pages_;
};

} // namespace osprey
