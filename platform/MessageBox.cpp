#include "platform/MessageBox.h"

namespace {
MessageSink& InstalledSink() {
    static MessageSink sink;
    return sink;
}

QuestionSink& InstalledQuestionSink() {
    static QuestionSink sink;
    return sink;
}
} // namespace

void ShowMessageBox(const std::string& text, const std::string& caption) {
    if (InstalledSink())
        InstalledSink()(text, caption);
    else
        PlatformMessageBox(text, caption);
}

void SetMessageSink(MessageSink sink) {
    InstalledSink() = std::move(sink);
}

bool AskOkCancel(const std::string& text, const std::string& caption) {
    if (InstalledQuestionSink())
        return InstalledQuestionSink()(text, caption);
    return PlatformAskOkCancel(text, caption);
}

void SetQuestionSink(QuestionSink sink) {
    InstalledQuestionSink() = std::move(sink);
}
