#include "Lingmere.h"

#include "ResourceModule.h"
#include "SystemLocale.h"

#include <QFileInfo>
#include <cstring>

namespace {

constexpr DWORD ERROR_FILE_NOT_FOUND_CODE = 2;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER_CODE = 122;

// Copies text with its terminating zero into a buffer of kLingmereBufferSize units.
HRESULT CopyOut(const QString& text, char16_t* buffer)
{
    if (!buffer) return E_POINTER;
    if (text.size() >= kLingmereBufferSize) {
        buffer[0] = 0;
        return HresultFromWin32(ERROR_INSUFFICIENT_BUFFER_CODE);
    }
    std::memcpy(buffer, text.utf16(), static_cast<size_t>(text.size()) * sizeof(char16_t));
    buffer[text.size()] = 0;
    return S_OK;
}

} // namespace

Lingmere::Lingmere(LanguageCatalog catalog, bool startInSystemLanguage)
    : m_catalog(std::move(catalog)),
      m_systemLanguage(m_catalog.ForLocale(SystemLocale::MessagesLocale())),
      m_language(startInSystemLanguage ? m_systemLanguage : m_catalog.DefaultLanguage())
{
}

HRESULT Lingmere::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ILingmere) {
        *object = static_cast<ILingmere*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Lingmere::AddRef() { return m_refs.Increment(); }

ULONG Lingmere::Release()
{
    const ULONG count = m_refs.Decrement();
    if (count == 0) delete this;
    return count;
}

HRESULT Lingmere::GetSystemLanguage(char16_t* buffer) { return CopyOut(m_systemLanguage->code.toUpper(), buffer); }

HRESULT Lingmere::SetLanguage(const char16_t* code)
{
    if (!code) return E_POINTER;
    const CatalogLanguage* language = m_catalog.Find(QString::fromUtf16(code));
    if (!language) return E_INVALIDARG;
    m_language = language;
    return S_OK;
}

HRESULT Lingmere::GetResourcePath(char16_t* buffer)
{
    if (!buffer) return E_POINTER;
    if (!QFileInfo::exists(ResourceModule::DataFilePath(m_language->modulePath))) {
        buffer[0] = 0;
        return HresultFromWin32(ERROR_FILE_NOT_FOUND_CODE);
    }
    return CopyOut(m_language->modulePath, buffer);
}

HRESULT Lingmere::GetLanguage(char16_t* buffer) { return CopyOut(m_language->code.toUpper(), buffer); }

HRESULT Lingmere::GetStartMenuText(const char16_t* entry, char16_t* buffer)
{
    if (!entry || !buffer) return E_POINTER;
    const QString id = QString::fromUtf16(entry);
    QString text = m_catalog.StartMenuText(m_language->code, id);
    if (text.isEmpty()) text = m_catalog.StartMenuText(m_catalog.DefaultLanguage()->code, id);
    if (text.isEmpty()) {
        buffer[0] = 0;
        return E_INVALIDARG;
    }
    return CopyOut(text, buffer);
}
