// How often the media framework's RenderFile fails to return on a file: each
// attempt renders the file into a new filter graph on a thread of its own and
// is counted as hung when it has not returned within the time limit (the
// thread is then left behind). Prints one line per file:
//   <file> attempts=<n> hung=<h> failed=<f> slowest=<ms>
// Usage: render_file_hangs <attempts> <limit ms> <file>...

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Attempt {
  std::wstring path;
  HRESULT result = E_PENDING;
  HANDLE done = nullptr;
};

DWORD WINAPI Render(void* parameter) {
  auto* attempt = static_cast<Attempt*>(parameter);
  if (SUCCEEDED(CoInitialize(nullptr))) {
    Microsoft::WRL::ComPtr<IGraphBuilder> graph;
    attempt->result =
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
    if (SUCCEEDED(attempt->result))
      attempt->result = graph->RenderFile(attempt->path.c_str(), nullptr);
    graph.Reset();
    CoUninitialize();
  }
  SetEvent(attempt->done);
  return 0;
}

std::wstring Wide(const char* text) {
  wchar_t wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s <attempts> <limit ms> <file>...\n", argv[0]);
    return 2;
  }
  const int attempts = atoi(argv[1]);
  const DWORD limitMs = static_cast<DWORD>(atoi(argv[2]));
  for (int f = 3; f < argc; ++f) {
    int hung = 0, failed = 0;
    DWORD slowest = 0;
    for (int i = 0; i < attempts; ++i) {
      // A hung attempt keeps its record: its thread may still write to it.
      auto* attempt =
          new Attempt{Wide(argv[f]), E_PENDING, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
      const DWORD start = GetTickCount();
      HANDLE thread = CreateThread(nullptr, 0, Render, attempt, 0, nullptr);
      if (WaitForSingleObject(attempt->done, limitMs) != WAIT_OBJECT_0) {
        ++hung;
        CloseHandle(thread);
        continue;
      }
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
      const DWORD took = GetTickCount() - start;
      if (took > slowest) slowest = took;
      if (FAILED(attempt->result)) ++failed;
      CloseHandle(attempt->done);
      delete attempt;
    }
    printf("%s attempts=%d hung=%d failed=%d slowest=%lums\n", argv[f], attempts, hung, failed,
           static_cast<unsigned long>(slowest));
    fflush(stdout);
  }
  // Hung threads would keep the process alive.
  ExitProcess(0);
}
