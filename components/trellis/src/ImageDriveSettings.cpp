#include "ImageDriveSettings.h"

#include "hresult.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace {

std::u16string ImageValueName(char letter) { return u"Image" + std::u16string(1, char16_t(letter)); }

} // namespace

void ImageDriveSettings::SetLocation(HKEY root, std::u16string keyPath)
{
    std::lock_guard lock(m_mutex);
    m_root = root;
    m_keyPath = std::move(keyPath);
}

std::u16string ImageDriveSettings::KeyPath() const
{
    return m_keyPath.empty() ? std::u16string(u"Trellis") : m_keyPath + u"\\Trellis";
}

bool ImageDriveSettings::ReadValue(const std::u16string& name, DWORD type, std::u16string* text, DWORD* number) const
{
    if (!m_root) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, KeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD foundType = 0, size = 0;
    bool ok = RegQueryValueExW(key, name.c_str(), nullptr, &foundType, nullptr, &size) == ERROR_SUCCESS &&
              foundType == type && size <= 65536;
    if (ok) {
        std::vector<BYTE> data(size + 2, 0);
        ok = RegQueryValueExW(key, name.c_str(), nullptr, &foundType, data.data(), &size) == ERROR_SUCCESS;
        if (ok && number) {
            ok = size == sizeof(DWORD);
            if (ok) std::memcpy(number, data.data(), sizeof(DWORD));
        }
        if (ok && text) {
            text->assign(reinterpret_cast<const char16_t*>(data.data()), size / 2);
            while (!text->empty() && text->back() == 0) text->pop_back();
        }
    }
    RegCloseKey(key);
    return ok;
}

DWORD ImageDriveSettings::DriveCount() const
{
    std::lock_guard lock(m_mutex);
    DWORD count = kDefaultDriveCount;
    ReadValue(u"ImageDriveCount", REG_DWORD, nullptr, &count);
    return count > kMaxDriveCount ? kMaxDriveCount : count;
}

std::string ImageDriveSettings::Letters() const
{
    std::lock_guard lock(m_mutex);
    std::u16string text;
    std::string letters;
    if (!ReadValue(u"ImageDriveLetters", REG_SZ, &text, nullptr)) return letters;
    for (char16_t c : text)
        if (c < 128 && std::isalpha(int(c))) letters.push_back(char(std::toupper(int(c))));
    return letters;
}

std::u16string ImageDriveSettings::ImagePath(char letter) const
{
    std::lock_guard lock(m_mutex);
    if (!m_root) {
        auto found = m_memory.find(letter);
        return found == m_memory.end() ? std::u16string() : found->second;
    }
    std::u16string path;
    ReadValue(ImageValueName(letter), REG_SZ, &path, nullptr);
    return path;
}

HRESULT ImageDriveSettings::SetImagePath(char letter, const std::u16string& path)
{
    std::lock_guard lock(m_mutex);
    if (!m_root) {
        m_memory[letter] = path;
        return S_OK;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(m_root, KeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &key, nullptr);
    if (result != ERROR_SUCCESS) return HresultFromWin32(DWORD(result));
    const std::u16string name = ImageValueName(letter);
    if (path.empty())
        result = RegDeleteValueW(key, name.c_str());
    else
        result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                DWORD((path.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND && path.empty()) return S_OK;
    return HresultFromWin32(DWORD(result));
}
