#pragma once
#include <functional>
#include <string>

// A modal message box with an OK button, owned by no window. Portable code
// reports through this; the program shows a real box, tests record the text.
using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

void ShowMessageBox(const std::string& text, const std::string& caption = "");
void SetMessageSink(MessageSink sink); // empty restores the platform box
void PlatformMessageBox(const std::string& text, const std::string& caption);

// A modal question with OK and Cancel, owned by no window; true for OK. Tests answer it
// through a question sink.
using QuestionSink = std::function<bool(const std::string& text, const std::string& caption)>;

bool AskOkCancel(const std::string& text, const std::string& caption);
void SetQuestionSink(QuestionSink sink); // empty restores the platform box
bool PlatformAskOkCancel(const std::string& text, const std::string& caption);
