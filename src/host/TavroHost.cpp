// TavroHost: the saved entries for the browsers' extension, over native
// messaging on standard input and output. It answers {"type":"list"} with
// the Titles and {"type":"content"} with one entry's Content, and while
// connected sends the list again whenever the menu key changes. It only
// reads: never the registry's keys or any file written.
#include <windows.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

#include "CodePage.h"
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
// be sent while the browser says nothing. The thread shares the queue, so
// that it may go on reading after the host has stopped taking requests.
class Requests {
 public:
  Requests() : shared_(std::make_shared<Shared>()) {
    auto* mine = new std::shared_ptr<Shared>(shared_);
    if (HANDLE thread =
            CreateThread(nullptr, 0, &Requests::Run, mine, 0, nullptr))
      CloseHandle(thread);
    else
      delete mine;
  }
  HANDLE Ready() const { return shared_->ready; }
  // The next request, or the way the input ended.
  bool Next(Incoming& incoming) {
    Shared& s = *shared_;
    EnterCriticalSection(&s.lock);
    const bool any = !s.queue.empty();
    if (any) {
      incoming = std::move(s.queue.front());
      s.queue.pop_front();
    }
    if (s.queue.empty()) ResetEvent(s.ready);
    LeaveCriticalSection(&s.lock);
    return any;
  }

 private:
  struct Shared {
    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() {
      DeleteCriticalSection(&lock);
      CloseHandle(ready);
    }
    CRITICAL_SECTION lock;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::deque<Incoming> queue;
  };

  static DWORD WINAPI Run(void* param) {
    const std::unique_ptr<std::shared_ptr<Shared>> mine(
        static_cast<std::shared_ptr<Shared>*>(param));
    Shared& s = **mine;
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
      EnterCriticalSection(&s.lock);
      s.queue.push_back(std::move(incoming));
      SetEvent(s.ready);
      LeaveCriticalSection(&s.lock);
      if (last) return 0;
    }
  }

  std::shared_ptr<Shared> shared_;
};

bool Send(const std::string& json) {
  const std::string frame = tavro::host::Frame(json);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  return WriteFile(out, frame.data(), static_cast<DWORD>(frame.size()),
                   &written, nullptr) &&
         written == frame.size();
}

// Watches the menu key and everything below it, and its parent's list of
// keys, which alone hears of the menu key's own deletion. Each has an event
// of its own: arming a watch resets its event, which must not swallow what
// the other one heard. A handle stays open while its key lives, since
// closing it signals its watch; a handle to a deleted key takes no watch,
// and the key, made again, is a new one, opened afresh. A menu key that is
// not there is looked for at each wait.
class KeyWatch {
 public:
  explicit KeyWatch(const std::string& key) {
    std::string path = key.substr(key.find_first_not_of('\\'));
    while (!path.empty() && path.back() == '\\') path.pop_back();
    std::string parent = path.substr(0, tavro::FileNameStart(path));
    while (!parent.empty() && parent.back() == '\\') parent.pop_back();
    menu_.path = std::move(path);
    menu_.subtree = true;
    menu_.filter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    parent_.path = std::move(parent);
    parent_.filter = REG_NOTIFY_CHANGE_NAME;
    Arm();
  }
  // What a wait watches: a change below the menu key, or of its parent's
  // keys.
  HANDLE MenuChanged() const { return menu_.changed.get(); }
  HANDLE ParentChanged() const { return parent_.changed.get(); }
  bool Watching() const { return static_cast<bool>(menu_.key); }
  void Arm() {
    menu_.Arm();
    parent_.Arm();
  }

 private:
  struct Watched {
    std::string path;
    bool subtree = false;
    DWORD filter = 0;
    tavro::win::UniqueHKey key;
    tavro::win::UniqueHandle changed{
        CreateEventA(nullptr, FALSE, FALSE, nullptr)};

    bool Notify() {
      return RegNotifyChangeKeyValue(key.get(), subtree, filter, changed.get(),
                                     TRUE) == ERROR_SUCCESS;
    }
    void Arm() {
      if (key && !Notify()) key.reset();
      if (key) return;
      HKEY opened = nullptr;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY,
                        &opened) != ERROR_SUCCESS)
        return;
      key.reset(opened);
      if (!Notify()) key.reset();
    }
  };
  Watched menu_;
  Watched parent_;
};

int Serve() {
  tavro::win::UseSystemCodePage();
  const std::string key = MenuKey();
  Requests requests;
  KeyWatch watch(key);
  bool pushDue = false;
  for (;;) {
    const HANDLE events[] = {requests.Ready(), watch.MenuChanged(),
                             watch.ParentChanged()};
    const DWORD timeout = pushDue            ? kQuietMs
                          : watch.Watching() ? INFINITE
                                             : kLookAgainMs;
    const DWORD woke = WaitForMultipleObjects(3, events, FALSE, timeout);
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
    } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_OBJECT_0 + 2) {
      // Changed, or gone: either way the browser hears of it, and a key
      // made again is found by the wait's next look.
      watch.Arm();
      pushDue = true;
    } else if (woke == WAIT_TIMEOUT) {
      if (pushDue) {
        if (!Send(tavro::host::ListMessage(Entries(key)))) return 0;
        pushDue = false;
      }
      if (!watch.Watching()) {
        // Not made yet, or gone: once a Save makes it, its entries go when
        // it is quiet.
        watch.Arm();
        pushDue = watch.Watching();
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
