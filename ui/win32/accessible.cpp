#include "accessible.hpp"

#include "form1.hpp"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <new>

namespace tavrin::ui {

namespace {

// UI Automation's live-setting property, which screen readers read through
// Active Accessibility's annotations; its values are Off 0, Polite 1,
// Assertive 2. Newer than MinGW's headers.
constexpr GUID live_setting_property = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG live_polite = 1;

// COM carries the objects to screen readers and the annotations. Started on
// the window's thread at the first request of a screen reader, so a run
// without one never pays for it (some milliseconds), and kept until the
// program ends. A thread already in COM's other apartment model serves too.
bool com_ready() {
  thread_local const bool ready = [] {
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(started) || started == RPC_E_CHANGED_MODE;
  }();
  return ready;
}

bool is_self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

BSTR bstr_of(const std::wstring& text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// What the line answers for what static text does not have.
HRESULT none(BSTR* out) {
  if (out) *out = nullptr;
  return DISP_E_MEMBERNOTFOUND;
}

// Windows' standard object for a window's client area, telling the facts
// instead where they differ. Everything else (place, parent, focus) is the
// standard object's. Read-only text also has its line as its one child, a
// simple element (line_child): screen readers speak a live region's name, and
// the box's own name never changes.
class DescribedObject final : public IAccessible, public IOleWindow {
public:
  DescribedObject(HWND window, IAccessible* standard, const AccessibleFacts& facts)
      : window_(window), standard_(standard), facts_(facts) {}
  DescribedObject(const DescribedObject&) = delete;
  DescribedObject& operator=(const DescribedObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible))
      *out = static_cast<IAccessible*>(this);
    else if (iid == __uuidof(IOleWindow))
      *out = static_cast<IOleWindow*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: not offered; clients use IAccessible's methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow: the window this object stands for, which
  // WindowFromAccessibleObject asks for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible: the facts for the object itself and its line, the standard
  // answers otherwise.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (is_line(child)) return line(name);
    if (!is_self(child)) return standard_->get_accName(child, name);
    if (!name) return E_POINTER;
    *name = bstr_of(widen(facts_.name));
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (is_line(child)) return none(value);
    return is_box(child) ? line(value) : standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!is_box(child) && !is_line(child)) return standard_->get_accRole(child, role);
    if (!role) return E_POINTER;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = is_line(child) ? ROLE_SYSTEM_STATICTEXT : ROLE_SYSTEM_TEXT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (is_line(child)) {
      if (!state) return E_POINTER;
      VariantInit(state);
      state->vt = VT_I4;
      state->lVal = STATE_SYSTEM_READONLY;
      return S_OK;
    }
    const HRESULT got = standard_->get_accState(child, state);
    if (!is_box(child) || FAILED(got) || state->vt != VT_I4) return got;
    // Text that can be read, selected by Tab and copied, never typed into.
    state->lVal |= STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == window_) state->lVal |= STATE_SYSTEM_FOCUSED;
    return got;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    if (is_box(child) || is_line(child)) return DISP_E_MEMBERNOTFOUND;
    return standard_->put_accValue(child, value);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!facts_.read_only_text) return standard_->get_accChildCount(count);
    if (!count) return E_POINTER;
    *count = 1; // the line
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!is_line(child)) return standard_->get_accChild(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE; // a simple element: this object answers for it
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return is_line(child) ? none(text) : standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return is_line(child) ? none(text) : standard_->get_accHelp(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return is_line(child) ? none(file) : standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return is_line(child) ? none(keys) : standard_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return standard_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return standard_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return is_line(child) ? none(action) : standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return is_line(child) ? DISP_E_MEMBERNOTFOUND : standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (!is_line(child)) return standard_->accLocation(left, top, width, height, child);
    if (!left || !top || !width || !height) return E_POINTER;
    const RECT r = line_rect();
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    const bool down =
        is_box(start) && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD);
    if (!down && !is_line(start)) return standard_->accNavigate(direction, start, end);
    if (!end) return E_POINTER;
    VariantInit(end);
    if (!down) return S_FALSE; // the line has no siblings
    end->vt = VT_I4;
    end->lVal = line_child;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    const HRESULT got = standard_->accHitTest(x, y, child);
    const RECT r = got == S_OK && is_box(*child) ? line_rect() : RECT{};
    if (PtInRect(&r, {x, y})) child->lVal = line_child;
    return got;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return is_line(child) ? DISP_E_MEMBERNOTFOUND : standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return is_line(child) ? DISP_E_MEMBERNOTFOUND : standard_->put_accName(child, name);
  }

private:
  ~DescribedObject() { standard_->Release(); }

  bool is_box(const VARIANT& child) const { return facts_.read_only_text && is_self(child); }
  bool is_line(const VARIANT& child) const {
    return facts_.read_only_text && child.vt == VT_I4 && child.lVal == line_child;
  }

  // The shown line: the value of read-only text, the name of its line.
  HRESULT line(BSTR* out) const {
    if (!out) return E_POINTER;
    *out = bstr_of(window_wide_text(window_)); // empty when cleared
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  // Where the line is drawn, on the screen: at the inner top-left corner, as
  // wide and high as its text in the window's font, cut at the inner edges.
  RECT line_rect() const {
    const std::wstring text = window_wide_text(window_);
    SIZE size{};
    if (!text.empty()) {
      HDC dc = GetDC(window_);
      const auto font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
      HGDIOBJ old = SelectObject(dc, font);
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      ReleaseDC(window_, dc);
    }
    RECT inner;
    GetClientRect(window_, &inner);
    RECT r{0, 0, std::min(size.cx, inner.right), std::min(size.cy, inner.bottom)};
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  LONG refs_ = 1;
  HWND window_;
  IAccessible* standard_;
  AccessibleFacts facts_;
};

LRESULT CALLBACK named_proc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR design) {
  if (message == WM_GETOBJECT && asks_for_client(lparam)) {
    if (const LRESULT object = client_object(
            control, wparam, {reinterpret_cast<const ControlSpec*>(design)->accessible_name}))
      return object;
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, named_proc, 0);
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

IAccPropServices* annotations() {
  IAccPropServices* services = nullptr;
  if (!com_ready() ||
      FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&services))))
    return nullptr;
  return services;
}

} // namespace

bool asks_for_client(LPARAM lparam) {
  // The object id travels in the low 32 bits; on 64-bit Windows the rest may
  // be anything.
  return static_cast<DWORD>(lparam) == static_cast<DWORD>(OBJID_CLIENT);
}

LRESULT client_object(HWND control, WPARAM wparam, const AccessibleFacts& facts) {
  IAccessible* standard = nullptr;
  if (!com_ready() ||
      FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&standard))))
    return 0;
  auto* object = new (std::nothrow) DescribedObject(control, standard, facts);
  if (!object) {
    standard->Release();
    return 0;
  }
  const LRESULT answer =
      LresultFromObject(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
  object->Release(); // the answer holds its own reference
  return answer;
}

void name_for_screen_readers(HWND control, const ControlSpec& design) {
  // The table's rows live as long as the program.
  SetWindowSubclass(control, named_proc, 0, reinterpret_cast<DWORD_PTR>(&design));
}

bool mark_live_region(HWND control) {
  IAccPropServices* services = annotations();
  if (!services) return false;
  VARIANT polite;
  VariantInit(&polite);
  polite.vt = VT_I4;
  polite.lVal = live_polite;
  const HRESULT marked = services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT),
                                               line_child, live_setting_property, polite);
  services->Release();
  return SUCCEEDED(marked);
}

void unmark_live_region(HWND control) {
  if (IAccPropServices* services = annotations()) {
    services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), line_child,
                             &live_setting_property, 1);
    services->Release();
  }
}

} // namespace tavrin::ui
