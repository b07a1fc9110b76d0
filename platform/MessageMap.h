#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

// Message maps: a static table per window class and one dispatch that keeps every failure
// inside our own frames. Portable, so the tables and the dispatch can be tested natively.
using MsgWParam = std::uintptr_t; // WPARAM
using MsgLParam = std::intptr_t;  // LPARAM
using MsgResult = std::intptr_t;  // LRESULT / INT_PTR

enum class MsgKind { Message, Command, Notify };

inline constexpr int kAnyCode = -1;

// What one window message is, once the Win32 layer has unpacked WM_COMMAND / WM_NOTIFY.
struct MsgKey {
    MsgKind kind = MsgKind::Message;
    std::uint32_t message = 0; // for Message
    int id = 0;                // control or command id, for Command and Notify
    int code = kAnyCode;       // notification code, for Command and Notify
};

template <class T> struct MessageEntry {
    using Handler = MsgResult (T::*)(MsgWParam, MsgLParam);
    MsgKey key;
    Handler handler = nullptr;
    const char* name = "";
};

// The entry helpers take the class from the member pointer:
//   onMessage(WM_TIMER, &CDlgQuote::OnTimer, "OnTimer")
//   onCommand(IDC_CLOSE_PICTURE, STN_CLICKED, &CDlgQuote::OnClosePicture, "OnClosePicture")
//   onNotify(IDC_QUOTE_LIST, NM_CLICK, &CDlgQuote::OnListClick, "OnQuoteClick")
// A command entry without a code serves every notification of its control (menu items,
// buttons); give the code whenever the control sends more than one.
template <class T>
constexpr MessageEntry<T>
onMessage(std::uint32_t message, MsgResult (T::*handler)(MsgWParam, MsgLParam), const char* name) {
    return {{MsgKind::Message, message, 0, kAnyCode}, handler, name};
}
template <class T>
constexpr MessageEntry<T> onCommand(int id, MsgResult (T::*handler)(MsgWParam, MsgLParam),
                                    const char* name) {
    return {{MsgKind::Command, 0, id, kAnyCode}, handler, name};
}
template <class T>
constexpr MessageEntry<T> onCommand(int id, int code, MsgResult (T::*handler)(MsgWParam, MsgLParam),
                                    const char* name) {
    return {{MsgKind::Command, 0, id, code}, handler, name};
}
template <class T>
constexpr MessageEntry<T> onNotify(int id, int code, MsgResult (T::*handler)(MsgWParam, MsgLParam),
                                   const char* name) {
    return {{MsgKind::Notify, 0, id, code}, handler, name};
}

// The failure report of a handler: its name, a line break and "Error".
inline std::string HandlerFailureText(const std::string& handlerName) {
    return handlerName + "\nError";
}

// Shows one failure box; the window layer owns it by the window, tests record it.
using FailureReporter = std::function<void(const std::string& text)>;

// One failure box per handler at a time: a handler that fails on every tick while its box
// is open (nested message loop) must not pile up boxes.
class FailureGate {
public:
    void Report(const std::string& handlerName, const FailureReporter& reporter) noexcept {
        try {
            if (!open.insert(handlerName).second)
                return;
            struct Close {
                std::set<std::string>& names;
                const std::string& name;
                ~Close() { names.erase(name); }
            } close{open, handlerName};
            if (reporter)
                reporter(HandlerFailureText(handlerName));
        } catch (...) {
            // Nothing is left to report a failure of the report with.
        }
    }
    bool IsOpen(const std::string& handlerName) const { return open.count(handlerName) != 0; }

private:
    std::set<std::string> open;
};

template <class T> class MessageMap {
public:
    MessageMap(std::initializer_list<MessageEntry<T>> list) : entries(list) {}

    const std::vector<MessageEntry<T>>& Entries() const { return entries; }

    // The entry that serves the key; a specific code wins over "any code".
    const MessageEntry<T>* Find(const MsgKey& key) const {
        const MessageEntry<T>* any = nullptr;
        for (const auto& entry : entries) {
            if (entry.key.kind != key.kind)
                continue;
            if (key.kind == MsgKind::Message) {
                if (entry.key.message == key.message)
                    return &entry;
                continue;
            }
            if (entry.key.id != key.id)
                continue;
            if (entry.key.code == key.code)
                return &entry;
            if (entry.key.code == kAnyCode && !any)
                any = &entry;
        }
        return any;
    }

    // True when two entries claim the same key; checked by the unit tests for every map.
    bool HasDuplicates() const {
        for (std::size_t i = 0; i < entries.size(); ++i)
            for (std::size_t j = i + 1; j < entries.size(); ++j)
                if (SameKey(entries[i].key, entries[j].key))
                    return true;
        return false;
    }

    // Calls the handler of the key. False when the map has none. A failure of the handler
    // is caught here, reported by name and counts as handled with result 0.
    bool Dispatch(T& target, const MsgKey& key, MsgWParam wParam, MsgLParam lParam,
                  MsgResult& result, FailureGate& gate,
                  const FailureReporter& reporter) const noexcept {
        const MessageEntry<T>* entry = Find(key);
        if (!entry)
            return false;
        try {
            result = (target.*(entry->handler))(wParam, lParam);
        } catch (...) {
            result = 0;
            gate.Report(entry->name, reporter);
        }
        return true;
    }

private:
    static bool SameKey(const MsgKey& a, const MsgKey& b) {
        if (a.kind != b.kind)
            return false;
        if (a.kind == MsgKind::Message)
            return a.message == b.message;
        return a.id == b.id && a.code == b.code;
    }

    std::vector<MessageEntry<T>> entries;
};

// Runs one step of a handler that must report its own failure under its own name
// ("ShowQuote\nError") and let the caller go on.
template <class F>
void Guarded(const char* name, FailureGate& gate, const FailureReporter& reporter,
             F&& step) noexcept {
    try {
        step();
    } catch (...) {
        gate.Report(name, reporter);
    }
}
