#pragma once

#include <string>

namespace rw {

// The core's way of asking the user a question. The editor answers with a message box; tests
// and the command-line tool answer with scripted or fixed replies.
class UserPrompt {
public:
  enum class Answer { Ok, Cancel, Yes, No };
  enum class Buttons { OkCancel, YesNoCancel, Ok };

  virtual ~UserPrompt() = default;
  virtual Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) = 0;
};

// Answers every question with one fixed reply (OK and Yes by default).
class FixedPrompt : public UserPrompt {
public:
  explicit FixedPrompt(Answer answer = Answer::Ok) : answer_(answer) {}
  Answer Ask(const std::string&, const std::string&, Buttons) override { return answer_; }

private:
  Answer answer_;
};

} // namespace rw
