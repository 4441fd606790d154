// Widget: the model of one child widget of a control: geometry in twips
// (single precision), visibility, enabled state, tab order and focus events.
// Widgets are owned by the control that creates them; the host only keeps
// non-owning pointers to them for focus and tab order.
//
// Threading: everything runs on the host's single user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/RefObject.h"

namespace trovel {

class Font;

class Widget : public RefObject {
 public:
  explicit Widget(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  // Geometry in twips. A negative width or height is refused with
  // Error::InvalidValue and changes nothing.
  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  void SetLeft(float v);
  void SetTop(float v);
  void SetWidth(float v);
  void SetHeight(float v);
  void Move(float left, float top, float width, float height);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  int TabIndex() const { return tab_index_; }
  void SetTabIndex(int v) { tab_index_ = v; }
  // Whether Tab and focus calls may stop here (labels may not).
  virtual bool CanTakeFocus() const { return true; }

  const std::shared_ptr<Font>& GetFont() const { return font_; }
  void SetFont(std::shared_ptr<Font> font);

  // The hint a host shows over the widget; a host with a screen reader gives
  // it as the widget's name ("" : none; a button is then named by its caption).
  const std::string& ToolTipText() const { return tool_tip_text_; }
  void SetToolTipText(const std::string& text);

  // Events. The host calls the Fire* methods; the control connects handlers.
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void()> onValidate;   // before lost focus, when focus moves on
  std::function<void(int16_t& key_ascii)> onKeyPress;
  std::function<void(int16_t& key_code)> onKeyDown;
  std::function<void()> onChanged;    // any model property changed (for views)

  void FireGotFocus() { if (onGotFocus) onGotFocus(); }
  void FireLostFocus() { if (onLostFocus) onLostFocus(); }
  void FireValidate() { if (onValidate) onValidate(); }
  void FireKeyPress(int16_t& k) { if (onKeyPress) onKeyPress(k); }
  void FireKeyDown(int16_t& k) { if (onKeyDown) onKeyDown(k); }

 protected:
  void NotifyChanged() { if (onChanged) onChanged(); }

 private:
  std::string name_;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  int tab_index_ = 0;
  std::shared_ptr<Font> font_;
  std::string tool_tip_text_;
};

}  // namespace trovel
