// TavroHost: the saved entries for the browsers' extension, over native
// messaging on standard input and output. It answers {"type":"list"} with
// the Titles and {"type":"content"} with one entry's Content, and while
// connected sends the list again whenever the menu key changes. It only
// reads: never the registry's keys or any file written.
#include <windows.h>

#include <deque>
#include <memory>
#include <string>

#include "HostReplies.h"
#include "MenuKeyWatch.h"
#include "NativeMessage.h"
#include "Registration.h"
#include "SystemCodePage.h"
#include "WinRegistry.h"

namespace {
using tavro::host::HostEntry;
using tavro::host::Incoming;

std::string AnsiToUtf8(const std::string& ansi) {
  if (ansi.empty()) return {};
  const std::wstring text = tavro::win::Widen(ansi);
  const int wide = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr,
                                       0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), size, nullptr,
                      nullptr);
  return utf8;
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

int Serve() {
  tavro::win::UseSystemCodePage();
  const std::string key = tavro::win::MenuKeyPath("TAVRO_HOST_MENU_KEY");
  Requests requests;
  tavro::win::MenuKeyWatch watch(key);
  bool pushDue = false;
  for (;;) {
    const HANDLE events[] = {requests.Ready(), watch.Changed()};
    const DWORD woke = WaitForMultipleObjects(
        2, events, FALSE, pushDue ? tavro::win::kMenuKeyQuietMs : INFINITE);
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
      // Changed, made or gone: the browser hears of it once it is quiet.
      watch.Rearm();
      pushDue = true;
    } else if (woke == WAIT_TIMEOUT) {
      if (!Send(tavro::host::ListMessage(Entries(key)))) return 0;
      pushDue = false;
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
