// Cards dropped on the Windows window from a file manager: the first file of
// a drop is taken, unless it is a folder.
#pragma once

#include <windows.h>

#include <oleidl.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace mirvane {

// The card that a dropped file list names: its first file, as UTF-8; "" when
// that is a folder or missing, its name has no UTF-8 form, or memory ran out.
std::string DroppedCard(HDROP Files) noexcept;

// Takes cards dropped through OLE (RegisterDragDrop). The cursor shows a copy
// over the window for a card and "no" for anything else: a folder, or a drop
// that carries no file list, such as a web address or text.
class CardDropTarget final : public IDropTarget {
 public:
  using Taker = std::function<void(const std::string& Card)>;
  // Take receives each card dropped.
  explicit CardDropTarget(Taker Take) : Take_(std::move(Take)) {}

  // No card reaches the taker after this, though OLE may still hold the
  // object: for a window that is going.
  void Forget() { Take_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* Data, DWORD Keys, POINTL At,
                                      DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD Keys, POINTL At, DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* Data, DWORD Keys, POINTL At, DWORD* Effect) override;

 private:
  ~CardDropTarget() = default;

  Taker Take_;
  bool CarriesCard_ = false;  // the drag under way, as DragEnter found it
  LONG References_ = 1;
};

}  // namespace mirvane
