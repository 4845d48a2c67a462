// A COM object of the programs' own: counted, deleted at its last Release,
// and answering IUnknown and the interfaces it says it has.
#pragma once

#include <windows.h>

namespace tavro::win {

template <typename Interface>
class ComObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    *out =
        id == IID_IUnknown || Has(id) ? static_cast<Interface*>(this) : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  virtual ~ComObject() = default;
  // Besides IUnknown.
  virtual bool Has(REFIID id) const = 0;

 private:
  LONG references_ = 1;
};

}  // namespace tavro::win
