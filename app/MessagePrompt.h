#pragma once

#include "base/UserPrompt.h"

class QWidget;

namespace rw::app {

// The program's questions and messages as Qt message boxes over the main window: OK for
// messages, OK and Cancel or Yes, No and Cancel for questions, the caption given (the window
// always gives "Reelwright").
class MessagePrompt : public UserPrompt {
public:
  explicit MessagePrompt(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override;

private:
  QWidget* owner_;
};

} // namespace rw::app
