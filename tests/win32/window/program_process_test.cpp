// autolabel.exe itself, started as its own process.
#include "tests/win32/support/program_process.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/no_forum_page.h"

namespace autolabel::tests::win32 {
namespace {

TEST(ProgramProcess, MoreThanOneArgumentIsAUsageError) {
    Process program(L"http://a.invalid/ http://b.invalid/");
    ASSERT_TRUE(program.started);
    EXPECT_EQ(program.Wait(20000), 2);
}

TEST(ProgramProcess, TheUsageErrorIsWrittenWhereTheStarterLooks) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, &inherit, 0));
    ::SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    {
        Process program(L"-x", writer);
        ::CloseHandle(writer);  // the program holds the only writing end now
        ASSERT_TRUE(program.started);
        std::string output;
        char buffer[256];
        DWORD read = 0;
        while (::ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0)
            output.append(buffer, read);
        EXPECT_EQ(program.Wait(20000), 2);
        EXPECT_EQ(output.rfind("usage: ", 0), 0u) << output;
        EXPECT_NE(output.find("[start-address]"), std::string::npos);
    }
    ::CloseHandle(reader);
}

TEST(ProgramProcess, ClosingTheWindowWithAutoModeOnExitsNormally) {
    Process program(L"about:blank");
    ASSERT_TRUE(program.started);
    HWND window = WaitForMainWindow(program.info.dwProcessId);
    ASSERT_NE(window, nullptr);
    HWND autoOn = ::FindWindowExW(window, nullptr, L"Button", L"开启自动");
    ASSERT_NE(autoOn, nullptr);
    ::SendMessageW(autoOn, BM_CLICK, 0, 0);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(20000), 0);
}

// What the program says of itself to Windows: its manifest, icon, version
// and own page, and the Windows version it is linked for.
TEST(ProgramProcess, DeclaresItselfInItsResourcesAndHeader) {
    const std::wstring path = ProgramPath();
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    // A resource's bytes as text; nothing when the program lacks it.
    const auto resource = [&](LPCWSTR name, LPCWSTR type) -> std::optional<std::string> {
        HRSRC found = ::FindResourceW(module, name, type);
        if (!found) return std::nullopt;
        return std::string(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                           ::SizeofResource(module, found));
    };
    const std::optional<std::string> manifestFound =
        resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(manifestFound);
    const std::string& manifest = *manifestFound;
    for (const char* declared : {
             "name=\"Microsoft.Windows.Common-Controls\"",
             "version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
             "WindowsSettings\">true</dpiAware>",
             "WindowsSettings\">system</dpiAwareness>",
         })
        EXPECT_NE(manifest.find(declared), std::string::npos) << declared << " in\n" << manifest;
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)),
              nullptr);  // the icon
    // The page it opens built without the forum's host, in the window's
    // language: how to give it an address, with nothing on it to press.
    const std::optional<std::string> pageFound =
        resource(autolabel::app::win32::kNoForumPageResource, MAKEINTRESOURCEW(23));  // RT_HTML
    ASSERT_TRUE(pageFound);
    const std::string& page = *pageFound;
    for (const char* text : {
             "<html lang=\"zh-CN\">",
             "charset=utf-8",
             "这份程序没有设置论坛的地址",
             "“快捷方式”选项卡的“目标”框",
             "autolabel.exe\" http://论坛主机/cuseraudit/browser</pre>",
             "bash scripts/package.sh --forum-host 论坛主机",
         })
        EXPECT_NE(page.find(text), std::string::npos) << text << " in\n" << page;
    for (const char* control : {"<input", "<button", "<form", "<script", "<a "})
        EXPECT_EQ(page.find(control), std::string::npos) << control << " in\n" << page;
    ::FreeLibrary(module);

    DWORD ignored = 0;
    std::vector<BYTE> version(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(
        ::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string expected = AUTOLABEL_VERSION;  // major.minor.patch of the project
    const std::string fixedVersion = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                     std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                     std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(fixedVersion, expected);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT size = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        if (!::VerQueryValueW(version.data(), query.c_str(), reinterpret_cast<void**>(&value),
                              &size) ||
            !value)
            return std::wstring();
        return std::wstring(value);
    };
    EXPECT_EQ(text(L"ProductName"), L"青禾核心用户标注平台自动刷贴器");
    EXPECT_EQ(text(L"FileDescription"), L"青禾核心用户标注平台自动刷贴器");
    EXPECT_EQ(text(L"FileVersion"), std::wstring(expected.begin(), expected.end()));
    EXPECT_EQ(text(L"ProductVersion"), std::wstring(expected.begin(), expected.end()));
    EXPECT_EQ(text(L"OriginalFilename"), L"autolabel.exe");

    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::vector<char> image{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    ASSERT_LT(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64), image.size());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(nt->OptionalHeader.MajorSubsystemVersion, 6);
    EXPECT_EQ(nt->OptionalHeader.MinorSubsystemVersion, 0);
}

}  // namespace
}  // namespace autolabel::tests::win32
