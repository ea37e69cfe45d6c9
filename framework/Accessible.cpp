#include "framework/Accessible.h"

#include "framework/Gdi.h"
#include "framework/Window.h"

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace fw {
namespace {
constexpr UINT_PTR kSubclassId = 0xACC;

// Runs a default action once the client's call has returned (wParam: the
// child, 0 for the control itself). Posted: the action may open a modal box,
// and the client must not wait for the user to close it.
UINT DefaultActionMessage() {
    static const UINT message = RegisterWindowMessageW(L"fw.accessible.defaultAction");
    return message;
}

// oleacc.dll is no known system DLL: imported, it would be looked for beside
// the program first. It is loaded from the system folder when a client first
// asks, and stays, since clients may hold its objects until the end.
void* FromOleacc(const char* name) {
    static const HMODULE dll = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dll ? reinterpret_cast<void*>(GetProcAddress(dll, name)) : nullptr;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A click reaches a control only while it and every window it sits in take input.
bool TakesInput(HWND window) {
    for (; window; window = GetParent(window)) {
        if (!IsWindowEnabled(window))
            return false;
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            return true;
    }
    return false;
}

HRESULT ReturnNumber(long number, VARIANT* out) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

// Where navigation finds nothing.
constexpr long kNoChild = -1;

HRESULT ReturnChild(long id, VARIANT* out) {
    if (id != kNoChild)
        return ReturnNumber(id, out);
    VariantInit(out);
    return S_FALSE;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnNothing(BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}

LRESULT CALLBACK AccessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data);

// The control's AccessibleInfo, owned by its subclass; null for none.
AccessibleInfo* InfoOf(HWND control) {
    return reinterpret_cast<AccessibleInfo*>(SubclassData(control, AccessibleProc, kSubclassId));
}

// The system's object for the window, with the name, role, description,
// value and default action of AccessibleInfo in front of it. It lives as long
// as its clients hold it, which may be longer than the window.
class AccessibleProxy final : public IAccessible {
public:
    AccessibleProxy(HWND window, ComRef<IAccessible> standard, AccessibleInfo info)
        : m_window(window), m_standard(std::move(standard)), m_info(std::move(info)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Clients walk the children and ask for the window through these.
        // Without the enumerator they count the parts and take their ids.
        if ((iid == __uuidof(IEnumVARIANT) && !m_info.items) || iid == __uuidof(IOleWindow))
            return m_standard.Get()->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return Standard()->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return Standard()->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return Standard()->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return Standard()->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: what AccessibleInfo gives, for the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (const auto item = ItemOf(child))
            return ReturnText(item->name, name);
        if (!IsSelf(child))
            return Standard()->get_accName(child, name);
        if (!IsWindow(m_window))
            return E_FAIL;
        if (!m_info.name.empty())
            return ReturnText(m_info.name, name);
        return ReturnText(WindowRef(m_info.nameFrom ? m_info.nameFrom : m_window).GetText(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const auto item = ItemOf(child);
        if (!item && !IsSelf(child))
            return Standard()->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        return ReturnNumber(item ? item->role : m_info.role, role);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (ItemOf(child))
            return ReturnNothing(description);
        if (!IsSelf(child) || m_info.description.empty())
            return Standard()->get_accDescription(child, description);
        return ReturnText(m_info.description, description);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (const auto item = ItemOf(child))
            return ReturnText(item->value, value);
        if (!IsSelf(child))
            return Standard()->get_accValue(child, value);
        if (!IsWindow(m_window))
            return E_FAIL;
        if (!m_info.value.empty())
            return ReturnText(m_info.value, value);
        if (m_info.role == ROLE_SYSTEM_PROGRESSBAR) {
            PBRANGE range{};
            SendMessageW(m_window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
            const int position = static_cast<int>(SendMessageW(m_window, PBM_GETPOS, 0, 0));
            const int span = range.iHigh > range.iLow ? range.iHigh - range.iLow : 1;
            return ReturnText(std::to_wstring((position - range.iLow) * 100 / span) + L"%", value);
        }
        if (m_info.role == ROLE_SYSTEM_TEXT)
            return ReturnText(WindowRef(m_window).GetText(), value);
        return Standard()->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (const auto item = ItemOf(child)) {
            if (!state)
                return E_POINTER;
            long flags =
                item->role == ROLE_SYSTEM_LINK ? STATE_SYSTEM_LINKED : STATE_SYSTEM_READONLY;
            if (!TakesInput(m_window))
                flags |= STATE_SYSTEM_UNAVAILABLE;
            return ReturnNumber(flags, state);
        }
        const HRESULT result = Standard()->get_accState(child, state);
        if (SUCCEEDED(result) && IsSelf(child) && state && state->vt == VT_I4 &&
            m_info.role == ROLE_SYSTEM_TEXT && (GetWindowLongW(m_window, GWL_STYLE) & ES_READONLY))
            state->lVal |= STATE_SYSTEM_READONLY;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const auto item = ItemOf(child);
        if (!item && !IsSelf(child))
            return Standard()->get_accDefaultAction(child, action);
        const std::wstring& name = item ? item->defaultAction : m_info.defaultAction;
        return name.empty() ? ReturnNothing(action) : ReturnText(name, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const auto item = ItemOf(child);
        if (!item && !IsSelf(child))
            return Standard()->accDoDefaultAction(child);
        if ((item ? item->defaultAction : m_info.defaultAction).empty())
            return DISP_E_MEMBERNOTFOUND;
        if (!IsWindow(m_window) || !TakesInput(m_window))
            return E_FAIL;
        PostMessageW(m_window, DefaultActionMessage(), item ? child.lVal : CHILDID_SELF, 0);
        return S_OK;
    }

    // IAccessible: the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Standard()->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!m_info.items)
            return Standard()->get_accChildCount(count);
        if (!count)
            return E_POINTER;
        *count = static_cast<long>(Items().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!ItemOf(child))
            return Standard()->get_accChild(child, object);
        if (!object)
            return E_POINTER;
        *object = nullptr; // a part has no object of its own
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Standard()->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return Standard()->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Standard()->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return Standard()->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return Standard()->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Standard()->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        const auto item = ItemOf(child);
        if (!item)
            return Standard()->accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height)
            return E_POINTER;
        RECT rect = item->rect;
        MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!m_info.items || (!IsSelf(start) && !ItemOf(start)))
            return Standard()->accNavigate(direction, start, end);
        if (!end)
            return E_POINTER;
        const long count = static_cast<long>(Items().size());
        const long from = start.lVal;
        if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD)
            return ReturnChild(count ? 1 : kNoChild, end);
        if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD)
            return ReturnChild(count ? count : kNoChild, end);
        if (from != CHILDID_SELF && direction == NAVDIR_NEXT)
            return ReturnChild(from < count ? from + 1 : kNoChild, end);
        if (from != CHILDID_SELF && direction == NAVDIR_PREVIOUS)
            return ReturnChild(from > 1 ? from - 1 : kNoChild, end);
        if (from == CHILDID_SELF)
            return Standard()->accNavigate(direction, start, end);
        return ReturnChild(kNoChild, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        const HRESULT result = Standard()->accHitTest(x, y, child);
        if (result != S_OK || !m_info.items || !child || !IsSelf(*child))
            return result;
        POINT point{x, y};
        ScreenToClient(m_window, &point);
        const std::vector<AccessibleItem> items = Items();
        for (size_t i = 0; i < items.size(); ++i)
            if (PtInRect(&items[i].rect, point))
                return ReturnChild(static_cast<long>(i) + 1, child);
        return result;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Standard()->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Standard()->put_accValue(child, value);
    }

private:
    ~AccessibleProxy() = default;
    IAccessible* Standard() const { return m_standard.Get(); }
    // The control's parts as they are now. They are asked of the control's
    // own information, which goes with its window: this object may outlive it.
    std::vector<AccessibleItem> Items() const {
        const auto* info = IsWindow(m_window) ? InfoOf(m_window) : nullptr;
        return info && info->items ? info->items() : std::vector<AccessibleItem>{};
    }
    // The part that `child` names, if it names one.
    std::optional<AccessibleItem> ItemOf(const VARIANT& child) const {
        if (!m_info.items || child.vt != VT_I4 || child.lVal < 1)
            return std::nullopt;
        std::vector<AccessibleItem> items = Items();
        if (static_cast<size_t>(child.lVal) > items.size())
            return std::nullopt;
        return std::move(items[static_cast<size_t>(child.lVal) - 1]);
    }

    std::atomic<ULONG> m_references{1};
    HWND m_window;
    ComRef<IAccessible> m_standard;
    AccessibleInfo m_info;
};

// The default action, when its message arrives: the frame may have been
// disabled since the client asked.
void RunDefaultAction(HWND window, const AccessibleInfo& info, long child) {
    if (!TakesInput(window))
        return;
    if (child != CHILDID_SELF) {
        const std::vector<AccessibleItem> items =
            info.items ? info.items() : std::vector<AccessibleItem>{};
        if (child <= static_cast<long>(items.size()) &&
            items[static_cast<size_t>(child) - 1].action)
            items[static_cast<size_t>(child) - 1].action();
    } else if (info.role == ROLE_SYSTEM_LINK) {
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
    } else {
        SendMessageW(window, BM_CLICK, 0, 0);
    }
}

LRESULT CALLBACK AccessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    auto* info = reinterpret_cast<AccessibleInfo*>(data);
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const auto createStandard = reinterpret_cast<decltype(&CreateStdAccessibleObject)>(
            FromOleacc("CreateStdAccessibleObject"));
        const auto resultFromObject =
            reinterpret_cast<decltype(&LresultFromObject)>(FromOleacc("LresultFromObject"));
        IAccessible* standard = nullptr;
        if (createStandard && resultFromObject &&
            SUCCEEDED(createStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&standard)))) {
            // The result holds a reference of its own to the object.
            const ComRef<IAccessible> proxy(
                new AccessibleProxy(window, ComRef<IAccessible>(standard), *info));
            return resultFromObject(__uuidof(IAccessible), wParam, proxy.Get());
        }
    }
    if (message == DefaultActionMessage()) {
        RunDefaultAction(window, *info, static_cast<long>(wParam));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, AccessibleProc, kSubclassId);
        delete info;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
} // namespace

bool SetAccessible(HWND control, AccessibleInfo info) {
    if (!control || !IsWindow(control))
        return false;
    if (AccessibleInfo* existing = InfoOf(control)) {
        *existing = std::move(info);
        return true;
    }
    auto owned = std::make_unique<AccessibleInfo>(std::move(info));
    if (!SetWindowSubclass(control, AccessibleProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(owned.get())))
        return false;
    owned.release();
    return true;
}

} // namespace fw
