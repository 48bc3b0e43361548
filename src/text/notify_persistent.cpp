// Change notification for settings objects.
#include "text/notify_persistent.h"

#include "text/errors.h"

namespace yk {

void TPersistent::Assign(const TPersistent& source) {
  throw EAssignError(std::string("Cannot assign a ") + source.ClassName() + " to a " + ClassName());
}

void TNotifyPersistent::Changed() {
  if (update_count_ == 0 && OnChange) OnChange(this);
}

void TNotifyPersistent::ChildChanged(TPersistent* sender) {
  if (sender != this) Changed();
}

void TNotifyPersistent::EndUpdate() {
  --update_count_;
  Changed();
}

}  // namespace yk
