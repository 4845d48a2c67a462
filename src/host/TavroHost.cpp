// TavroHost: the saved entries for the browsers' extension, over native
// messaging on standard input and output. It answers {"type":"list"} and,
// while connected, sends the list again whenever the menu key changes. It
// only reads: never the registry's keys or any file written.
#include <windows.h>

#include <cstdlib>
#include <deque>
#include <string>

#include "HostReplies.h"
#include "NativeMessage.h"
#include "Registration.h"
#include "SystemCodePage.h"
#include "WinRegistry.h"

namespace {
using tavro::host::HostEntry;
using tavro::host::Incoming;

// The saves of one Save come as a burst of changes; the list goes once the
// key has been quiet this long.
constexpr DWORD kQuietMs = 150;
// A missing key is looked for this often: with the quiet time, a first
// Save still reaches the browser within a second.
constexpr DWORD kLookAgainMs = 500;

std::string AnsiToUtf8(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int wide = MultiByteToWideChar(
      CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                      text.data(), wide);
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr,
                                       0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
}

// The menu key, which tests may point elsewhere.
std::string MenuKey() {
  char key[512];
  const DWORD n =
      GetEnvironmentVariableA("TAVRO_HOST_MENU_KEY", key, sizeof key);
  return n > 0 && n < sizeof key ? key : tavro::kMenuExtKey;
}

std::vector<HostEntry> Entries(const std::string& key) {
  tavro::win::WinRegistry registry;
  std::vector<HostEntry> entries;
  for (const tavro::TSection& entry :
       tavro::MenuRegistration(registry, key).Read(false).entries)
    entries.push_back({AnsiToUtf8(entry.Title), AnsiToUtf8(entry.Content)});
  return entries;
}

// Requests read on a thread of their own, so that a change of the key can
// be sent while the browser says nothing.
class Requests {
 public:
  Requests() {
    InitializeCriticalSection(&lock_);
    CreateThread(nullptr, 0, &Requests::Run, this, 0, nullptr);
  }
  HANDLE Ready() const { return ready_; }
  // The next request, or the way the input ended.
  bool Next(Incoming& incoming) {
    EnterCriticalSection(&lock_);
    const bool any = !queue_.empty();
    if (any) {
      incoming = std::move(queue_.front());
      queue_.pop_front();
    }
    if (queue_.empty()) ResetEvent(ready_);
    LeaveCriticalSection(&lock_);
    return any;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    auto* requests = static_cast<Requests*>(self);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const tavro::host::ReadBytes read = [in](char* data, std::size_t size) {
      DWORD got = 0;
      if (!ReadFile(in, data, static_cast<DWORD>(size), &got, nullptr))
        return std::size_t{0};
      return std::size_t{got};
    };
    for (;;) {
      Incoming incoming = tavro::host::ReadMessage(read);
      const bool last = incoming.kind != Incoming::Message;
      EnterCriticalSection(&requests->lock_);
      requests->queue_.push_back(std::move(incoming));
      SetEvent(requests->ready_);
      LeaveCriticalSection(&requests->lock_);
      if (last) return 0;
    }
  }

  CRITICAL_SECTION lock_;
  HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::deque<Incoming> queue_;
};

bool Send(const std::string& json) {
  const std::string frame = tavro::host::Frame(json);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  return WriteFile(out, frame.data(), static_cast<DWORD>(frame.size()),
                   &written, nullptr) &&
         written == frame.size();
}

// Watches the menu key and everything below it; a key that is not there
// yet is looked for again at each wait.
class KeyWatch {
 public:
  explicit KeyWatch(const std::string& key)
      : path_(key.substr(key.find_first_not_of('\\'))) {
    while (!path_.empty() && path_.back() == '\\') path_.pop_back();
    Arm();
  }
  HANDLE Changed() const { return changed_; }
  bool Watching() const { return key_ != nullptr; }
  void Arm() {
    if (!key_ && RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_NOTIFY,
                               &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    RegNotifyChangeKeyValue(key_, TRUE,
                            REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                            changed_, TRUE);
  }

 private:
  std::string path_;
  HKEY key_ = nullptr;
  HANDLE changed_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
};

int Serve() {
  tavro::win::UseSystemCodePage();
  const std::string key = MenuKey();
  Requests requests;
  KeyWatch watch(key);
  bool pushDue = false;
  for (;;) {
    const HANDLE events[] = {requests.Ready(), watch.Changed()};
    const DWORD timeout = pushDue            ? kQuietMs
                          : watch.Watching() ? INFINITE
                                             : kLookAgainMs;
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeout);
    if (woke == WAIT_OBJECT_0) {
      Incoming incoming;
      while (requests.Next(incoming)) {
        if (incoming.kind == Incoming::TooLong) {
          Send(tavro::host::ErrorMessage(
              "A message is at most 1 MiB; the host stops."));
          return 1;
        }
        if (incoming.kind != Incoming::Message) return 0;  // closed
        const std::string reply =
            tavro::host::Answer(incoming.body, [&] { return Entries(key); });
        if (!Send(reply)) return 0;
      }
    } else if (woke == WAIT_OBJECT_0 + 1) {
      watch.Arm();
      pushDue = true;
    } else if (woke == WAIT_TIMEOUT) {
      if (!watch.Watching()) {
        // The key has come since the first look, made by a first Save: its
        // entries go once it is quiet.
        watch.Arm();
        pushDue = watch.Watching();
      } else if (pushDue) {
        if (!Send(tavro::host::ListMessage(Entries(key)))) return 0;
        pushDue = false;
      }
    }
  }
}

}  // namespace

int main() {
  // Whatever goes wrong is told to the browser, never a silent abort.
  try {
    return Serve();
  } catch (...) {
    Send(tavro::host::ErrorMessage("The host stopped on an error."));
    return 1;
  }
}

// Nothing reaches terminate; the library's verbose handler would only
// bring its name demangler into the exe.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
