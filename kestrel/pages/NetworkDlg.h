#pragma once
#include "kestrel/core/PageControls.h"
#include "kestrel/pages/Page.h"

namespace kestrel {

// Wired network options: speed and duplex, keep-alive timer, job control, NetBIOS and
// periodic PING. Rows follow the question page's boxes 1 to 5.
class NetworkDlg : public StepPage, public NetworkDlgControls {
  public:
    static constexpr const char* kName = "NetworkDlg";
    NetworkDlg(Core& core, KestrelPages& pages)
        : StepPage(core, pages, kName), NetworkDlgControls(this) {}

    ui::ControlRef Label2{*this, "Label2"}; // [1] to [5]: the rows' labels
    ui::ControlRef Label3{*this, "Label3"}; // [0] Packet's, [1] Period's
    ui::ControlRef Timer1{*this, "Timer1"}; // after the PING list dropped down

    // Re-applies which rows are enabled from the question page's boxes.
    void InitForm();

  protected:
    void Build() override;
    void Form_Load() override;

  private:
    void UpdatePingFields();
    void LoadComboBoxes();
    void Combo1_DropDown(int index);
    void Timer1_Timer();
    void Next_Click() override;
    void Prev_Click() override;
    void Cancel_Click() override;
    void setPingFields(bool on);
};

} // namespace kestrel
