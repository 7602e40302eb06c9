#pragma once
#include "platform/qt/FormWidgets.h"

#include <map>
#include <string>

class QWidget;

namespace uiqt {

// Controls that a label names.
bool isField(ui::ControlKind k);

// Names a control's widget for screen readers, without the blanks around the name; an
// editable combo's field takes the name too.
void setAccessibleNameOf(QWidget* w, const std::string& name);

// A caption with blanks around it is read without them (the window still shows them).
void nameAfterCaption(const ui::Control& c, QWidget* w);

// The field a label names: the one declared right after it (a progress bar too, or a frame
// without a caption, whose options answer the label's question), unless the label is the
// unit set beside the field before it.
const ui::Control* fieldNamedBy(const ui::Control& label, const FormWidgets& widgets);

// The control that names a list that no label of its own names: the option or box beside it
// that chooses it, or the label of the field it stands beside; null when a label names it or
// nothing does. `before` holds the controls declared before the list.
const ui::Control* namerOf(const ui::Control& list, const FormWidgets& before);

// Assistive tools learn a field's label from the label's buddy: makes each label the buddy of
// the field it names, or of the field it stands beside as its unit. Before the captions are
// shown: a label with a buddy shows its access key.
void setLabelBuddies(const FormWidgets& widgets);

// A caption that stands more than once on the form ("What is this?", "Show Password") is told
// apart by the row it stands in; a name the page gives wins. `rowHead` is each control's row's
// first control.
void nameControls(const FormWidgets& widgets,
                  const std::map<const ui::Control*, const ui::Control*>& rowHead);

} // namespace uiqt
