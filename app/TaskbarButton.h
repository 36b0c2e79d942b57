#pragma once
// A window's task-bar button: a conversion's progress on it, and a flash when
// a conversion ends while the window is not in front. Where the shell offers
// no ITaskbarList3, the button just shows nothing.

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstdint>

class TaskbarButton {
 public:
  // window: the top-level window whose button this is (not owned); list: the
  // shell's task-bar list to use, or nullptr to make it on first use.
  void Attach(HWND window, Microsoft::WRL::ComPtr<ITaskbarList3> list = nullptr);
  // Lets go of the window and of the shell's list; before COM ends.
  void Detach();

  // position of duration (100 ns units); a duration that is not known gives
  // the moving bar of unknown progress.
  void ShowProgress(int64_t position, int64_t duration);
  // No progress any more; the button flashes when the window is not in front.
  void Finish();

 private:
  // The shell's list, made on first use; false when there is none.
  bool Ready();

  HWND m_window = nullptr;
  Microsoft::WRL::ComPtr<ITaskbarList3> m_list;
  bool m_tried = false;
};
