// The help storage through COM (CLSID_ITStorage) and strict code page 932 decoding.
#include "help_storage.h"

#include <windows.h>
#include <objbase.h>


namespace orv::dist {

// The storage interface of the help system; MinGW's headers do not declare it. It must not
// have internal linkage: the compiler would then see that nothing implements it and drop the
// calls through it.
struct IITStorage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

const CLSID kClsidItStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidItStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

// The help file's path and its stored names are ASCII.
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

std::optional<std::string> ReadHelpPage(const std::string& path, const std::string& name) {
  if (FAILED(CoInitialize(nullptr))) return std::nullopt;
  Released<IITStorage> its;
  if (FAILED(CoCreateInstance(kClsidItStorage, nullptr, CLSCTX_INPROC_SERVER, kIidItStorage,
                              reinterpret_cast<void**>(&its.p))))
    return std::nullopt;
  Released<IStorage> storage;
  if (FAILED(its.p->StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                                   &storage.p)))
    return std::nullopt;
  Released<IStream> stream;
  if (FAILED(storage.p->OpenStream(Wide(name).c_str(), nullptr, STGM_READ, 0, &stream.p))) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  for (;;) {
    ULONG got = 0;
    const HRESULT hr = stream.p->Read(buffer, sizeof buffer, &got);
    bytes.append(buffer, got);
    if (FAILED(hr) || got == 0) break;
  }
  return bytes;
}

bool IsShiftJis(const std::string& bytes) {
  if (bytes.empty()) return true;
  return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

}  // namespace orv::dist
