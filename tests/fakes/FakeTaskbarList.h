#pragma once
// A task-bar list that notes the progress shown on a button, as
// "state <TBPF value>" and "value <completed>/<total>".

#include <shobjidl.h>

#include "fakes/ComFake.h"

class FakeTaskbarList final : public ComFake<ITaskbarList3> {
 public:
  explicit FakeTaskbarList(HWND button)
      : ComFake(IID_ITaskbarList3, "taskbar", nullptr), m_button(button) {}

  std::vector<std::string> shown;

  STDMETHODIMP SetProgressState(HWND hwnd, TBPFLAG state) override {
    if (hwnd != m_button) return E_INVALIDARG;
    shown.push_back("state " + std::to_string(state));
    return S_OK;
  }
  STDMETHODIMP SetProgressValue(HWND hwnd, ULONGLONG completed, ULONGLONG total) override {
    if (hwnd != m_button) return E_INVALIDARG;
    shown.push_back("value " + std::to_string(completed) + "/" + std::to_string(total));
    return S_OK;
  }

  STDMETHODIMP HrInit() override { return S_OK; }
  STDMETHODIMP AddTab(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP DeleteTab(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP ActivateTab(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveAlt(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
  STDMETHODIMP UnregisterTab(HWND) override { return E_NOTIMPL; }
  STDMETHODIMP SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
  STDMETHODIMP SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  STDMETHODIMP ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  STDMETHODIMP ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
  STDMETHODIMP SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

 private:
  HWND m_button;
};
