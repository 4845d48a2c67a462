#include "AccessibleBand.h"

#include <oleacc.h>

#include <string>

#include "ComObject.h"
#include "SystemCodePage.h"
#include "ToolBand.h"

namespace tavro::ui {

namespace {
// The few functions of the accessibility and automation libraries that
// the object needs, looked up the first time a reader asks.
struct Libraries {
  decltype(&LresultFromObject) lresultFromObject = nullptr;
  decltype(&AccessibleObjectFromWindow) objectFromWindow = nullptr;
  decltype(&SysAllocString) allocString = nullptr;

  static const Libraries& Get() {
    static const Libraries libraries = [] {
      Libraries l;
      const HMODULE acc = LoadLibraryA("oleacc.dll");
      const HMODULE aut = LoadLibraryA("oleaut32.dll");
      auto find = [](HMODULE module, const char* name) {
        return module ? reinterpret_cast<void*>(GetProcAddress(module, name))
                      : nullptr;
      };
      l.lresultFromObject = reinterpret_cast<decltype(&LresultFromObject)>(
          find(acc, "LresultFromObject"));
      l.objectFromWindow =
          reinterpret_cast<decltype(&AccessibleObjectFromWindow)>(
              find(acc, "AccessibleObjectFromWindow"));
      l.allocString = reinterpret_cast<decltype(&SysAllocString)>(
          find(aut, "SysAllocString"));
      return l;
    }();
    return libraries;
  }
};

// "&Add" as a reader says it: the access key's mark dropped, "&&" kept as
// one. No byte of a double-byte character is '&'.
std::wstring Spoken(const std::string& ansi) {
  std::string text;
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == '&' && ++i == ansi.size()) break;
    text += ansi[i];
  }
  return win::Widen(text);
}

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The object holds the window only: a band gone since answers that it is.
// Its children are the buttons, numbered from 1 in the band's order.
class BandObject final : public win::ComObject<IAccessible> {
 public:
  explicit BandObject(HWND window) : window_(window) {}

  bool Has(REFIID id) const override {
    return id == IID_IDispatch || id == __uuidof(IAccessible);
  }

  // IDispatch: readers call the interface itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    *parent = nullptr;
    const auto find = Libraries::Get().objectFromWindow;
    if (!Band() || !find) return S_FALSE;
    return find(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    *count = 0;
    const TToolBand* band = Band();
    if (!band) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(band->ButtonCount());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child,
                                         IDispatch** object) override {
    *object = nullptr;
    // The buttons are simple elements, asked of through this object.
    return Button(child) ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    *name = nullptr;
    if (!Band()) return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child)) return S_FALSE;
    const TToolBand::Button* button = Button(child);
    if (!button) return E_INVALIDARG;
    return Text(button->Label(), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override {
    *value = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child,
                                               BSTR* text) override {
    *text = nullptr;
    if (!Band()) return CO_E_OBJNOTCONNECTED;
    const TToolBand::Button* button = Button(child);
    // The hint, where it is not the name already.
    if (!button || button->caption.empty()) return S_FALSE;
    return Text(button->hint, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    role->vt = VT_EMPTY;
    if (!Band()) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child) && !Button(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = IsSelf(child) ? ROLE_SYSTEM_TOOLBAR : ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child,
                                         VARIANT* state) override {
    state->vt = VT_EMPTY;
    const TToolBand* band = Band();
    if (!band) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child) && !Button(child)) return E_INVALIDARG;
    state->vt = VT_I4;
    state->lVal = IsWindowEnabled(window_) ? 0 : STATE_SYSTEM_UNAVAILABLE;
    if (!IsSelf(child)) {
      const auto i = static_cast<std::size_t>(child.lVal - 1);
      state->lVal |= (band->Pressed(i) ? STATE_SYSTEM_PRESSED : 0) |
                     (band->Hot(i) ? STATE_SYSTEM_HOTTRACKED : 0);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    *help = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT,
                                             long* topic) override {
    *file = nullptr;
    *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT,
                                                    BSTR* keys) override {
    *keys = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    focus->vt = VT_EMPTY;  // the list keeps the focus
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child,
                                                 BSTR* action) override {
    *action = nullptr;
    if (!Band()) return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child)) return S_FALSE;
    if (!Button(child)) return E_INVALIDARG;
    return Text("Press", action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override {
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width,
                                        long* height, VARIANT child) override {
    const TToolBand* band = Band();
    if (!band) return CO_E_OBJNOTCONNECTED;
    RECT r;
    if (IsSelf(child)) {
      GetWindowRect(window_, &r);
    } else if (Button(child)) {
      r = band->RectAt(static_cast<std::size_t>(child.lVal - 1));
      MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
      return E_INVALIDARG;
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* to) override {
    to->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    hit->vt = VT_EMPTY;
    const TToolBand* band = Band();
    if (!band) return CO_E_OBJNOTCONNECTED;
    POINT p{x, y};
    RECT r;
    GetWindowRect(window_, &r);
    if (!PtInRect(&r, p)) return S_FALSE;
    ScreenToClient(window_, &p);
    hit->vt = VT_I4;
    hit->lVal = CHILDID_SELF;
    for (std::size_t i = 0; i < band->ButtonCount(); ++i) {
      const RECT button = band->RectAt(i);
      if (PtInRect(&button, p)) hit->lVal = static_cast<long>(i + 1);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    TToolBand* band = Band();
    if (!band) return CO_E_OBJNOTCONNECTED;
    if (!Button(child)) return E_INVALIDARG;
    // In the band's own turn, not in the reader's call, which the command
    // might keep waiting behind a box.
    band->Press(static_cast<std::size_t>(child.lVal - 1));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override {
    return E_NOTIMPL;
  }

 private:
  TToolBand* Band() const {
    return IsWindow(window_) ? reinterpret_cast<TToolBand*>(
                                   GetWindowLongPtrA(window_, GWLP_USERDATA))
                             : nullptr;
  }
  // The button a child id names, or none.
  const TToolBand::Button* Button(const VARIANT& child) const {
    const TToolBand* band = Band();
    if (!band || child.vt != VT_I4 || child.lVal < 1 ||
        static_cast<std::size_t>(child.lVal) > band->ButtonCount())
      return nullptr;
    return &band->ButtonAt(static_cast<std::size_t>(child.lVal - 1));
  }
  static HRESULT Text(const std::string& ansi, BSTR* out) {
    const auto alloc = Libraries::Get().allocString;
    *out = alloc ? alloc(Spoken(ansi).c_str()) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  HWND window_;
};
}  // namespace

LRESULT AnswerGetObject(TToolBand& band, WPARAM flags, LPARAM objectId) {
  if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
  const auto answer = Libraries::Get().lresultFromObject;
  if (!answer) return 0;
  auto* object = new BandObject(band.Handle());
  const LRESULT result = answer(__uuidof(IAccessible), flags, object);
  object->Release();  // the answer holds it while a reader does
  return result;
}

}  // namespace tavro::ui
