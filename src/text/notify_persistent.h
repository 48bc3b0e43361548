// The base of every settings object: copy by value (Assign) and one change
// notification per change, or per whole update.
#pragma once

#include <functional>
#include <string>

namespace yk {

// Anything that can copy its state from another object of a known class.
class TPersistent {
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  // Copies the state of source; refuses (EAssignError) a source whose class
  // this object does not know.
  virtual void Assign(const TPersistent& source);
  virtual const char* ClassName() const { return "TPersistent"; }
};

using TNotifyEvent = std::function<void(TPersistent* sender)>;

class TNotifyPersistent : public TPersistent {
 public:
  TNotifyEvent OnChange;

  // Fires OnChange with this object as sender, unless an update is open.
  virtual void Changed();
  // A part reports a change: passed on as this object's own change.
  virtual void ChildChanged(TPersistent* sender);

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  int UpdateCount() const { return update_count_; }
  const char* ClassName() const override { return "TNotifyPersistent"; }

 protected:
  // Stores value into field and notifies, only when it differs.
  template <typename T, typename U>
  void SetAndNotify(T& field, const U& value) {
    if (field == value) return;
    field = value;
    Changed();
  }

 private:
  int update_count_ = 0;
};

// Runs BeginUpdate/EndUpdate around a scope, so a whole Assign notifies once
// even when one of its steps throws.
class TUpdateScope {
 public:
  explicit TUpdateScope(TNotifyPersistent& p) : p_(p) { p_.BeginUpdate(); }
  ~TUpdateScope() { p_.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TNotifyPersistent& p_;
};

}  // namespace yk
