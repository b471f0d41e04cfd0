// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::vector<std::wstring> names() const;
    // The names in any folder, "." and ".." left out.
    static void listNames(const std::wstring& folder, std::vector<std::wstring>& names);

private:
    std::wstring path_;
};

void writeBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::wstring& path);

} // namespace vexa::test
