#include "app/TaskbarButton.h"

#include <algorithm>
#include <utility>

void TaskbarButton::Attach(HWND window, Microsoft::WRL::ComPtr<ITaskbarList3> list) {
  m_window = window;
  m_list = std::move(list);
  m_tried = m_list.Get() != nullptr;
}

void TaskbarButton::Detach() {
  m_window = nullptr;
  m_list.Reset();
  m_tried = false;
}

bool TaskbarButton::Ready() {
  if (!m_window) return false;
  if (!m_tried) {
    m_tried = true;
    Microsoft::WRL::ComPtr<ITaskbarList3> list;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&list))) &&
        SUCCEEDED(list->HrInit())) {
      m_list = list;
    }
  }
  return m_list && m_window;
}

void TaskbarButton::ShowProgress(int64_t position, int64_t duration) {
  if (!Ready()) return;
  if (position < 0 || duration <= 0) {
    m_list->SetProgressState(m_window, TBPF_INDETERMINATE);
    return;
  }
  m_list->SetProgressState(m_window, TBPF_NORMAL);
  m_list->SetProgressValue(m_window, static_cast<ULONGLONG>(std::min(position, duration)),
                           static_cast<ULONGLONG>(duration));
}

void TaskbarButton::Finish() {
  if (Ready()) m_list->SetProgressState(m_window, TBPF_NOPROGRESS);
  if (!m_window || GetForegroundWindow() == m_window) return;
  FLASHWINFO flash = {sizeof flash, m_window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
}
