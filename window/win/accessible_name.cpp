#include "accessible_name.h"

#include <oleacc.h>

#include <new>
#include <string>
#include <utility>

#include "utf16_win.h"

namespace mirvane {

namespace {

// The window property that carries a control's announcement to its procedure.
constexpr wchar_t kAnnouncement[] = L"MirvaneAnnouncement";

struct Announcement {
  WNDPROC Original;
  std::wstring Name;
  std::wstring Description;
};

bool IsSelf(const VARIANT& Child) {
  return Child.vt == VT_I4 && Child.lVal == CHILDID_SELF;
}

// The system's object for a control, answering with the announcement's name
// and description for the control itself; all else, the control's children
// included, is the system's answer. One identity: only the interfaces below.
class RenamedAccessible final : public IAccessible, public IOleWindow {
 public:
  // Takes over the caller's reference to Standard.
  RenamedAccessible(HWND Control, IAccessible* Standard, std::wstring Name,
                    std::wstring Description)
      : Control_(Control),
        Standard_(Standard),
        Name_(std::move(Name)),
        Description_(std::move(Description)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override {
    if (Object == nullptr) return E_POINTER;
    if (Id == __uuidof(IUnknown) || Id == __uuidof(IDispatch) || Id == __uuidof(IAccessible)) {
      *Object = static_cast<IAccessible*>(this);
    } else if (Id == __uuidof(IOleWindow)) {
      *Object = static_cast<IOleWindow*>(this);
    } else {
      *Object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(::InterlockedIncrement(&References_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG Left = ::InterlockedDecrement(&References_);
    if (Left == 0) delete this;
    return ULONG(Left);
  }

  // IOleWindow: the control, for WindowFromAccessibleObject.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
    if (Window == nullptr) return E_POINTER;
    *Window = Control_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch: the system's type information, invoked on this object so
  // that a call by name gets the same answers.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
    return Standard_->GetTypeInfoCount(Count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT Index, LCID Locale, ITypeInfo** Info) override {
    return Standard_->GetTypeInfo(Index, Locale, Info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID Id, LPOLESTR* Names, UINT Count, LCID Locale,
                                          DISPID* Ids) override {
    return Standard_->GetIDsOfNames(Id, Names, Count, Locale, Ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID, LCID Locale, WORD Flags,
                                   DISPPARAMS* Arguments, VARIANT* Result, EXCEPINFO* Exception,
                                   UINT* WrongArgument) override {
    ITypeInfo* Info = nullptr;
    HRESULT Outcome = Standard_->GetTypeInfo(0, Locale, &Info);
    if (FAILED(Outcome)) return Outcome;
    Outcome = ::DispInvoke(static_cast<IAccessible*>(this), Info, Member, Flags, Arguments, Result,
                           Exception, WrongArgument);
    Info->Release();
    return Outcome;
  }

  // IAccessible: the two answers of our own.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override {
    if (!IsSelf(Child) || Name_.empty()) return Standard_->get_accName(Child, Name);
    return Answer(Name_, Name);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Description) override {
    if (!IsSelf(Child) || Description_.empty()) {
      return Standard_->get_accDescription(Child, Description);
    }
    return Answer(Description_, Description);
  }

  // IAccessible: the system's answers.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override {
    return Standard_->get_accParent(Parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* Count) override {
    return Standard_->get_accChildCount(Count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Object) override {
    return Standard_->get_accChild(Child, Object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override {
    return Standard_->get_accValue(Child, Value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override {
    return Standard_->get_accRole(Child, Role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override {
    return Standard_->get_accState(Child, State);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Help) override {
    return Standard_->get_accHelp(Child, Help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Child, LONG* Topic) override {
    return Standard_->get_accHelpTopic(File, Child, Topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Keys) override {
    return Standard_->get_accKeyboardShortcut(Child, Keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Child) override {
    return Standard_->get_accFocus(Child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Children) override {
    return Standard_->get_accSelection(Children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Action) override {
    return Standard_->get_accDefaultAction(Child, Action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG Flags, VARIANT Child) override {
    return Standard_->accSelect(Flags, Child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* Left, LONG* Top, LONG* Width, LONG* Height,
                                        VARIANT Child) override {
    return Standard_->accLocation(Left, Top, Width, Height, Child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG Direction, VARIANT Start, VARIANT* End) override {
    return Standard_->accNavigate(Direction, Start, End);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG X, LONG Y, VARIANT* Child) override {
    return Standard_->accHitTest(X, Y, Child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override {
    return Standard_->accDoDefaultAction(Child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT Child, BSTR Name) override {
    return Standard_->put_accName(Child, Name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT Child, BSTR Value) override {
    return Standard_->put_accValue(Child, Value);
  }

 private:
  ~RenamedAccessible() { Standard_->Release(); }

  static HRESULT Answer(const std::wstring& Text, BSTR* Into) {
    if (Into == nullptr) return E_POINTER;
    *Into = ::SysAllocStringLen(Text.data(), UINT(Text.size()));
    return *Into != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  LONG References_ = 1;
  HWND Control_;
  IAccessible* Standard_;
  // Copies: a screen reader may hold this object after the control is gone.
  std::wstring Name_;
  std::wstring Description_;
};

// The answer to WM_GETOBJECT for the control's client area, or 0 to leave
// the question to the control's own procedure.
LRESULT AnswerGetObject(HWND Control, WPARAM Flags, const Announcement& Words) {
  IAccessible* Standard = nullptr;
  if (FAILED(::CreateStdAccessibleObject(Control, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&Standard)))) {
    return 0;
  }
  auto* Renamed =
      new (std::nothrow) RenamedAccessible(Control, Standard, Words.Name, Words.Description);
  if (Renamed == nullptr) {
    Standard->Release();
    return 0;
  }
  // LresultFromObject holds its own reference; a failure is a negative code.
  const LRESULT Answer =
      ::LresultFromObject(__uuidof(IAccessible), Flags, static_cast<IAccessible*>(Renamed));
  Renamed->Release();
  return Answer > 0 ? Answer : 0;
}

LRESULT CALLBACK AnnouncedProc(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam) {
  const auto* Words = static_cast<const Announcement*>(::GetPropW(Control, kAnnouncement));
  if (Words == nullptr) return ::DefWindowProcW(Control, Message, WParam, LParam);
  const WNDPROC Original = Words->Original;
  // The object identifier travels in the low 32 bits.
  if (Message == WM_GETOBJECT && DWORD(LParam) == DWORD(OBJID_CLIENT)) {
    try {
      if (const LRESULT Answer = AnswerGetObject(Control, WParam, *Words)) return Answer;
    } catch (...) {
      // Out of memory copying the words: the control answers as before.
    }
  }
  if (Message == WM_NCDESTROY) {
    if (::GetWindowLongPtrW(Control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(AnnouncedProc)) {
      ::SetWindowLongPtrW(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Original));
    }
    ::RemovePropW(Control, kAnnouncement);
    delete Words;
  }
  return ::CallWindowProcW(Original, Control, Message, WParam, LParam);
}

}  // namespace

bool AnnounceAs(HWND Control, std::string_view Name, std::string_view Description) {
  const auto Original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Control, GWLP_WNDPROC));
  if (Original == nullptr) return false;
  auto* Words = new Announcement{Original, Utf16(Name, BadText::Replace),
                                 Utf16(Description, BadText::Replace)};
  if (!::SetPropW(Control, kAnnouncement, Words)) {
    delete Words;
    return false;
  }
  ::SetWindowLongPtrW(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnnouncedProc));
  return true;
}

}  // namespace mirvane
