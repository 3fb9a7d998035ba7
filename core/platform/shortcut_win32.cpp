// Start-menu shortcuts through the shell's own link object, so Explorer reads them like any other; and
// the name that tells the installer an organizer is running.
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <windows.h>

#include <string>

#include "core/io/file_rewrite.h"
#include "core/shell/registration.h"

namespace vx {
namespace {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (m_p) m_p->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return m_p; }
  T** Out() { return &m_p; }
  explicit operator bool() const { return m_p != nullptr; }

 private:
  T* m_p = nullptr;
};

// COM may already be running on this thread (a window system does that); it is then used as it is and
// left running.
class ComScope {
 public:
  ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

 private:
  HRESULT m_result;
};

}  // namespace

bool WriteShortcut(const std::filesystem::path& link, const std::filesystem::path& executable,
                   const std::filesystem::path& workingFolder) {
  const ComScope com;
  if (!com.Usable()) return false;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(shellLink.Out()))))
    return false;
  if (FAILED(shellLink->SetPath(executable.c_str())) ||
      FAILED(shellLink->SetWorkingDirectory(workingFolder.c_str())) ||
      FAILED(shellLink->SetDescription(L"VEXUM song folder organizer")))
    return false;
  ComPtr<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) return false;
  // Saved beside the link and renamed over it, so the menu never holds half a shortcut.
  const std::wstring temp =
      link.native() + std::wstring(kTemporaryMarker.begin(), kTemporaryMarker.end()) + L"lnk";
  if (FAILED(file->Save(temp.c_str(), TRUE))) {
    DeleteFileW(temp.c_str());
    return false;
  }
  if (!MoveFileExW(temp.c_str(), link.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace vx

namespace vx {

void MarkProgramRunning() {
  // Never closed: the handle, and with it the name, goes when the process ends, however it ends.
  CreateMutexW(nullptr, FALSE, kRunningMarkName);
}

}  // namespace vx
