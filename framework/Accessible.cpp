#include "framework/Accessible.h"

#include "framework/Gdi.h"
#include "framework/Window.h"

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <utility>

namespace fw {
namespace {
constexpr UINT_PTR kSubclassId = 0xACC;
// The control's AccessibleInfo, owned by the subclass.
constexpr wchar_t kInfoProperty[] = L"fw.accessible";

// oleacc.dll is no known system DLL: imported, it would be looked for beside
// the program first. It is loaded from the system folder when a client first
// asks, and stays, since clients may hold its objects until the end.
struct Oleacc {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) resultFromObject = nullptr;
};

const Oleacc& OleaccFunctions() {
    static const Oleacc functions = [] {
        Oleacc loaded;
        if (HMODULE module = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            loaded.createStandard = reinterpret_cast<decltype(loaded.createStandard)>(
                reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
            loaded.resultFromObject = reinterpret_cast<decltype(loaded.resultFromObject)>(
                reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
        }
        return loaded;
    }();
    return functions;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
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
        if (iid == __uuidof(IEnumVARIANT) || iid == __uuidof(IOleWindow))
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
        if (!IsSelf(child))
            return Standard()->get_accName(child, name);
        if (!IsWindow(m_window))
            return E_FAIL;
        if (!m_info.name.empty())
            return ReturnText(m_info.name, name);
        return ReturnText(WindowRef(m_info.nameFrom ? m_info.nameFrom : m_window).GetText(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child))
            return Standard()->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = m_info.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (!IsSelf(child) || m_info.description.empty())
            return Standard()->get_accDescription(child, description);
        return ReturnText(m_info.description, description);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
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
        const HRESULT result = Standard()->get_accState(child, state);
        if (SUCCEEDED(result) && IsSelf(child) && state && state->vt == VT_I4 &&
            m_info.role == ROLE_SYSTEM_TEXT && (GetWindowLongW(m_window, GWL_STYLE) & ES_READONLY))
            state->lVal |= STATE_SYSTEM_READONLY;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child))
            return Standard()->get_accDefaultAction(child, action);
        if (!action)
            return E_POINTER;
        *action = nullptr;
        return m_info.defaultAction.empty() ? S_FALSE : ReturnText(m_info.defaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child))
            return Standard()->accDoDefaultAction(child);
        if (m_info.defaultAction.empty())
            return DISP_E_MEMBERNOTFOUND;
        if (!IsWindow(m_window) || !IsWindowEnabled(m_window))
            return E_FAIL;
        // Posted: the action may open a modal box, and the client must not
        // wait for the user to close it.
        if (m_info.role == ROLE_SYSTEM_LINK)
            PostMessageW(GetParent(m_window), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(m_window), STN_CLICKED),
                         reinterpret_cast<LPARAM>(m_window));
        else
            PostMessageW(m_window, BM_CLICK, 0, 0);
        return S_OK;
    }

    // IAccessible: the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Standard()->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Standard()->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Standard()->get_accChild(child, object);
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
        return Standard()->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Standard()->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return Standard()->accHitTest(x, y, child);
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

    std::atomic<ULONG> m_references{1};
    HWND m_window;
    ComRef<IAccessible> m_standard;
    AccessibleInfo m_info;
};

LRESULT CALLBACK AccessibleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    auto* info = reinterpret_cast<AccessibleInfo*>(data);
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const Oleacc& oleacc = OleaccFunctions();
        IAccessible* standard = nullptr;
        if (oleacc.createStandard && oleacc.resultFromObject &&
            SUCCEEDED(oleacc.createStandard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&standard)))) {
            // The result holds a reference of its own to the object.
            const ComRef<IAccessible> proxy(
                new AccessibleProxy(window, ComRef<IAccessible>(standard), *info));
            return oleacc.resultFromObject(__uuidof(IAccessible), wParam, proxy.Get());
        }
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kInfoProperty);
        RemoveWindowSubclass(window, AccessibleProc, kSubclassId);
        delete info;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
} // namespace

bool SetAccessible(HWND control, AccessibleInfo info) {
    if (!control || !IsWindow(control))
        return false;
    if (auto* existing = static_cast<AccessibleInfo*>(GetPropW(control, kInfoProperty))) {
        *existing = std::move(info);
        return true;
    }
    auto owned = std::make_unique<AccessibleInfo>(std::move(info));
    if (!SetPropW(control, kInfoProperty, owned.get()))
        return false;
    if (!SetWindowSubclass(control, AccessibleProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(owned.get()))) {
        RemovePropW(control, kInfoProperty);
        return false;
    }
    owned.release();
    return true;
}

} // namespace fw
