// HostWrapper: forwards every call to another host, so that a test host
// overrides only what it needs. The wrapped host is not owned.
#pragma once

#include "platform/Host.h"

namespace trovel {

class HostWrapper : public Host {
 public:
  // REQUIRES: `target` outlives the wrapper.
  explicit HostWrapper(Host* target) : target_(target) {}

  Host* target() const { return target_; }

  void PropertyChanged(const void* c, const std::string& name) override { target_->PropertyChanged(c, name); }
  void RaiseEvent(const void* c, const std::string& name, const std::vector<Variant*>& args) override {
    target_->RaiseEvent(c, name, args);
  }
  int MsgBox(const std::string& text, int style, const std::string& title) override {
    return target_->MsgBox(text, style, title);
  }
  void DoEvents() override { target_->DoEvents(); }
  void SetFocus(Widget* w) override { target_->SetFocus(w); }
  Widget* FocusedWidget() const override { return target_->FocusedWidget(); }
  void SendTab() override { target_->SendTab(); }
  void RegisterWidget(const void* c, Widget* w) override { target_->RegisterWidget(c, w); }
  void UnregisterWidget(Widget* w) override { target_->UnregisterWidget(w); }
  float TextWidth(const std::string& text, const Font* font) const override { return target_->TextWidth(text, font); }
  float ScaleWidth(const void* c) const override { return target_->ScaleWidth(c); }
  float ScaleHeight(const void* c) const override { return target_->ScaleHeight(c); }
  void Defer(std::chrono::milliseconds delay, std::function<void()> task) override {
    target_->Defer(delay, std::move(task));
  }
  std::function<void(std::chrono::milliseconds, std::function<void()>)> Deferrer() override {
    return target_->Deferrer();
  }

 private:
  Host* target_;
};

}  // namespace trovel
