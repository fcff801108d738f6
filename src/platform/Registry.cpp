#include "Registry.h"

#include "RegistryStore.h"

#include <QString>
#include <cstring>

struct RegKeyObject {
    RegistryStore* store;
    QString path;
};

namespace {

QString Text(LPCWSTR text) { return text ? QString::fromUtf16(text) : QString(); }

// Resolves a root or an opened key plus a sub path to (store, full path).
bool Resolve(HKEY key, LPCWSTR subKey, RegistryStore** store, QString* path)
{
    QString base;
    if (key == HKEY_CURRENT_USER) {
        *store = &RegistryStore::CurrentUser();
    } else if (key == HKEY_LOCAL_MACHINE) {
        *store = &RegistryStore::LocalMachine();
    } else if (key) {
        *store = key->store;
        base = key->path;
    } else {
        return false;
    }
    const QString sub = Text(subKey);
    *path = RegistryData::CleanPath(base.isEmpty() ? sub : base + QLatin1Char('\\') + sub);
    return true;
}

bool IsRoot(HKEY key) { return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE; }

// Copies `bytes` out with the Windows size protocol.
LONG CopyOut(const QByteArray& bytes, BYTE* data, DWORD* dataSize)
{
    const DWORD needed = static_cast<DWORD>(bytes.size());
    if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (!data) {
        *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, bytes.constData(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD, DWORD, HKEY* result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(root, subKey, &store, &path)) return ERROR_INVALID_HANDLE;
    auto snapshot = store->Snapshot();
    if (!path.isEmpty() && !snapshot->FindKey(path)) return ERROR_FILE_NOT_FOUND;
    *result = new RegKeyObject{store, path};
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD, LPWSTR, DWORD, DWORD, void*, HKEY* result, DWORD* disposition)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(root, subKey, &store, &path)) return ERROR_INVALID_HANDLE;
    bool created = false;
    const LONG status = store->Modify([&](RegistryData& data, bool& changed) {
        data.CreateKey(path, &created);
        changed = created;
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = new RegKeyObject{store, path};
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (!key) return ERROR_INVALID_HANDLE;
    if (!IsRoot(key)) delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(key, nullptr, &store, &path)) return ERROR_INVALID_HANDLE;
    auto snapshot = store->Snapshot();
    const RegistryKey* found = snapshot->FindKey(path);
    if (!found) return path.isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    const RegistryValue* value = found->Find(Text(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    return CopyOut(value->data, data, dataSize);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(key, nullptr, &store, &path)) return ERROR_INVALID_HANDLE;
    const QString valueName = Text(name);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(dataSize));
    return store->Modify([&](RegistryData& content, bool& changed) {
        RegistryKey* target = content.FindKey(path);
        if (!target) {
            if (!path.isEmpty()) return ERROR_KEY_DELETED;
            target = &content.CreateKey(path);
        }
        RegistryValue* value = target->Find(valueName);
        if (value && value->type == type && value->data == bytes) return ERROR_SUCCESS;
        if (value) {
            value->type = type;
            value->data = bytes;
        } else {
            target->values.push_back({valueName, type, bytes});
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, DWORD* type, BYTE* data,
                   DWORD* dataSize)
{
    if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(key, nullptr, &store, &path)) return ERROR_INVALID_HANDLE;
    auto snapshot = store->Snapshot();
    const RegistryKey* found = snapshot->FindKey(path);
    if (!found) return path.isEmpty() ? ERROR_NO_MORE_ITEMS : ERROR_KEY_DELETED;
    if (index >= found->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = found->values[index];
    const DWORD length = static_cast<DWORD>(value.name.size());
    if (*nameLength <= length) {
        *nameLength = length;
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, value.name.utf16(), length * sizeof(WCHAR));
    name[length] = 0;
    *nameLength = length;
    if (type) *type = value.type;
    return CopyOut(value.data, data, dataSize);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name)
{
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(key, nullptr, &store, &path)) return ERROR_INVALID_HANDLE;
    const QString valueName = Text(name);
    return store->Modify([&](RegistryData& content, bool& changed) {
        RegistryKey* target = content.FindKey(path);
        if (!target) return ERROR_FILE_NOT_FOUND;
        for (auto it = target->values.begin(); it != target->values.end(); ++it)
            if (it->name.compare(valueName, Qt::CaseInsensitive) == 0) {
                target->values.erase(it);
                changed = true;
                return ERROR_SUCCESS;
            }
        return ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKeyW(HKEY root, LPCWSTR subKey)
{
    RegistryStore* store = nullptr;
    QString path;
    if (!Resolve(root, subKey, &store, &path)) return ERROR_INVALID_HANDLE;
    if (path.isEmpty()) return ERROR_ACCESS_DENIED; // a root cannot be deleted
    return store->Modify([&](RegistryData& content, bool& changed) {
        changed = content.DeleteTree(path);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}
