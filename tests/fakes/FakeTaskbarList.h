#pragma once
// A task-bar list that shows nothing: for tests of when the window lets go of it.

#include <shobjidl.h>

#include "fakes/ComFake.h"

class FakeTaskbarList final : public ComFake<ITaskbarList3> {
 public:
  FakeTaskbarList(std::string name, std::vector<std::string>* log)
      : ComFake(IID_ITaskbarList3, std::move(name), log) {}

  // ITaskbarList, ITaskbarList2
  STDMETHODIMP HrInit() override { return S_OK; }
  STDMETHODIMP AddTab(HWND) override { return S_OK; }
  STDMETHODIMP DeleteTab(HWND) override { return S_OK; }
  STDMETHODIMP ActivateTab(HWND) override { return S_OK; }
  STDMETHODIMP SetActiveAlt(HWND) override { return S_OK; }
  STDMETHODIMP MarkFullscreenWindow(HWND, BOOL) override { return S_OK; }
  // ITaskbarList3
  STDMETHODIMP SetProgressValue(HWND, ULONGLONG, ULONGLONG) override { return S_OK; }
  STDMETHODIMP SetProgressState(HWND, TBPFLAG) override { return S_OK; }
  STDMETHODIMP RegisterTab(HWND, HWND) override { return S_OK; }
  STDMETHODIMP UnregisterTab(HWND) override { return S_OK; }
  STDMETHODIMP SetTabOrder(HWND, HWND) override { return S_OK; }
  STDMETHODIMP SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
  STDMETHODIMP ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  STDMETHODIMP ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
  STDMETHODIMP ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
  STDMETHODIMP SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
  STDMETHODIMP SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
  STDMETHODIMP SetThumbnailClip(HWND, RECT*) override { return S_OK; }

 protected:
  bool IsBaseInterface(REFIID riid) const override {
    return riid == IID_ITaskbarList || riid == IID_ITaskbarList2;
  }
};
