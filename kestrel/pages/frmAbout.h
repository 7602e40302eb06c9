#pragma once
#include "kestrel/pages/Page.h"
#include "wizard/AboutBox.h"

#include <string>

namespace kestrel {

// The modal About box; both editions run these procedures and differ in the icon only.
class AboutBox : public wizard::AboutBox<Page> {
  public:
    AboutBox(Core& core, KestrelPages& pages, const std::string& name, std::string icon)
        : wizard::AboutBox<Page>(std::move(icon),
                                 "This application will help guide you through the process of "
                                 "configuring your printer's network interface card (NIC)",
                                 core, pages, name) {}

  protected:
    void Form_Load() override;
};

class frmAbout : public AboutBox {
  public:
    static constexpr const char* kName = "frmAbout";
    frmAbout(Core& core, KestrelPages& pages) : AboutBox(core, pages, kName, "corvane-icon") {}
};

} // namespace kestrel
