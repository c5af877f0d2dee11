#include "card_drop_win.h"

#include <utility>

#include "utf16_win.h"

namespace mirvane {

namespace {

// The card in a drop's file list (CF_HDROP), or "" if it carries none.
std::string CardIn(IDataObject* Data) {
  if (Data == nullptr) return {};
  FORMATETC Format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM Medium{};
  if (FAILED(Data->GetData(&Format, &Medium))) return {};
  std::string Card;
  if (Medium.tymed == TYMED_HGLOBAL) Card = DroppedCard(static_cast<HDROP>(Medium.hGlobal));
  ::ReleaseStgMedium(&Medium);
  return Card;
}

// A copy, or a link where the source offers no copy; never a move, which
// would let the file manager delete the card once it is dropped.
DWORD CardEffect(DWORD Offered) {
  if (Offered & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (Offered & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return DROPEFFECT_NONE;
}

}  // namespace

std::string DroppedCard(HDROP Files) noexcept {
  if (::DragQueryFileW(Files, 0xFFFFFFFF, nullptr, 0) == 0) return {};
  try {
    // The length leaves out the terminating null, which the string has room for.
    std::wstring Path(::DragQueryFileW(Files, 0, nullptr, 0), L'\0');
    if (Path.empty()) return {};
    Path.resize(::DragQueryFileW(Files, 0, Path.data(), UINT(Path.size() + 1)));
    const DWORD Attributes = ::GetFileAttributesW(Path.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || (Attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return Utf8(Path, BadText::Refuse);
  } catch (...) {
    return {};  // out of memory
  }
}

HRESULT CardDropTarget::QueryInterface(REFIID Id, void** Object) {
  if (Object == nullptr) return E_POINTER;
  if (Id != __uuidof(IUnknown) && Id != __uuidof(IDropTarget)) {
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  *Object = static_cast<IDropTarget*>(this);
  AddRef();
  return S_OK;
}

ULONG CardDropTarget::AddRef() {
  return ULONG(::InterlockedIncrement(&References_));
}

ULONG CardDropTarget::Release() {
  const LONG Left = ::InterlockedDecrement(&References_);
  if (Left == 0) delete this;
  return ULONG(Left);
}

HRESULT CardDropTarget::DragEnter(IDataObject* Data, DWORD, POINTL, DWORD* Effect) {
  if (Effect == nullptr) return E_INVALIDARG;
  CarriesCard_ = !CardIn(Data).empty();
  *Effect = CarriesCard_ ? CardEffect(*Effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CardDropTarget::DragOver(DWORD, POINTL, DWORD* Effect) {
  if (Effect == nullptr) return E_INVALIDARG;
  *Effect = CarriesCard_ ? CardEffect(*Effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CardDropTarget::DragLeave() {
  CarriesCard_ = false;
  return S_OK;
}

HRESULT CardDropTarget::Drop(IDataObject* Data, DWORD, POINTL, DWORD* Effect) {
  if (Effect == nullptr) return E_INVALIDARG;
  CarriesCard_ = false;
  const std::string Card = CardIn(Data);
  *Effect = Card.empty() ? DROPEFFECT_NONE : CardEffect(*Effect);
  if (*Effect == DROPEFFECT_NONE || !Take_) return S_OK;
  // The window's handler must not unwind into OLE's frames.
  try {
    Take_(Card);
  } catch (...) {
    *Effect = DROPEFFECT_NONE;
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace mirvane
