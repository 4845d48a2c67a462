// Message boxes that answer from a script and record what they were shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "MessageBoxes.h"

namespace tavro {

class ScriptedBoxes : public MessageBoxes {
 public:
  struct Shown {
    enum Kind { YesNo, YesNoCancel, Error, Info } kind;
    std::string text;
  };

  Answer AskYesNo(const std::string& text) override {
    shown.push_back({Shown::YesNo, text});
    return Next();
  }
  Answer AskYesNoCancel(const std::string& text) override {
    shown.push_back({Shown::YesNoCancel, text});
    return Next();
  }
  void ShowError(const std::string& text) override {
    shown.push_back({Shown::Error, text});
  }
  void ShowInfo(const std::string& text) override {
    shown.push_back({Shown::Info, text});
  }

  std::deque<Answer> answers;
  std::vector<Shown> shown;

 private:
  Answer Next() {
    if (answers.empty()) return Answer::NotShown;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace tavro
