#include "app/FilterPropertiesDialog.h"

#include <dshow.h>
#include <olectl.h>

#include <cwchar>
#include <vector>

#include "engine/MediaFramework.h"
#include "engine/PinSearch.h"
#include "platform/Str.h"
#include "res/resource.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kErrorLine[] = "<ERROR>";

// The filter's name; the graph reference that comes with it goes at once.
HRESULT ReadFilterName(IBaseFilter* filter, std::wstring& name) {
  FILTER_INFO info = {};
  HRESULT hr = filter->QueryFilterInfo(&info);
  if (FAILED(hr)) return hr;
  media::Adopt(info.pGraph);
  name.assign(info.achName, wcsnlen(info.achName, MAX_FILTER_NAME));
  return hr;
}

std::string ListText(const std::wstring& name) {
  return str::ToAnsi(name.c_str(), str::ThreadAnsiCodePage());
}

}  // namespace

const MessageRoute<FilterPropertiesDialog> FilterPropertiesDialog::kRoutes[] = {
    OnCommand(IDC_LIST_FILTERS, &FilterPropertiesDialog::UpdateSettingsButton, LBN_SELCHANGE),
    OnCommand(IDC_BUTTON_FILTER_SETTINGS, &FilterPropertiesDialog::ShowFilterPages),
};

FilterPropertiesDialog::FilterPropertiesDialog(IGraphBuilder* graph)
    : ModalDialog(IDD_FILTER_PROPERTIES), m_filterGraph(graph) {}

bool FilterPropertiesDialog::Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  return DispatchRoutes(*this, kRoutes, msg, wp, lp, result);
}

BOOL FilterPropertiesDialog::OnInitDialog() {
  ListGraphFilters();
  SendDlgItemMessageA(Hwnd(), IDC_LIST_FILTERS, LB_SETCURSEL, 0, 0);
  UpdateSettingsButton();
  return TRUE;
}

HRESULT FilterPropertiesDialog::ListGraphFilters() {
  HWND list = Item(IDC_LIST_FILTERS);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  std::vector<ComPtr<IBaseFilter>> filters;
  HRESULT hr = FiltersOf(m_filterGraph, filters);
  if (FAILED(hr)) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kErrorLine));
    return hr;
  }
  for (const ComPtr<IBaseFilter>& filter : filters) {
    std::wstring name;
    hr = ReadFilterName(filter.Get(), name);
    const std::string line = SUCCEEDED(hr) ? ListText(name) : kErrorLine;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  return hr;
}

ComPtr<IBaseFilter> FilterPropertiesDialog::FindListedFilter(const std::string& name) const {
  std::vector<ComPtr<IBaseFilter>> filters;
  if (FAILED(FiltersOf(m_filterGraph, filters))) return nullptr;
  for (const ComPtr<IBaseFilter>& filter : filters) {
    std::wstring filterName;
    if (FAILED(ReadFilterName(filter.Get(), filterName))) return nullptr;
    if (ListText(filterName) == name) return filter;
  }
  return nullptr;
}

std::string FilterPropertiesDialog::SelectedLine() const {
  HWND list = Item(IDC_LIST_FILTERS);
  LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return std::string();
  // The length may overstate a multi-byte text; the terminator marks its end.
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
  if (length == LB_ERR) return std::string();
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(selected),
               reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data());
}

void FilterPropertiesDialog::UpdateSettingsButton() {
  const std::string line = SelectedLine();
  if (line.empty()) return;
  ComPtr<IBaseFilter> filter = FindListedFilter(line);
  if (!filter) return;
  ComPtr<ISpecifyPropertyPages> pages;
  EnableWindow(Item(IDC_BUTTON_FILTER_SETTINGS), SUCCEEDED(filter.As(&pages)));
}

void FilterPropertiesDialog::ShowFilterPages() {
  ComPtr<IBaseFilter> filter = FindListedFilter(SelectedLine());
  if (!filter) return;
  ComPtr<ISpecifyPropertyPages> pages;
  if (FAILED(filter.As(&pages))) return;
  std::wstring name;
  if (FAILED(ReadFilterName(filter.Get(), name))) return;
  CAUUID pageList = {};
  if (FAILED(pages->GetPages(&pageList))) return;
  pages.Reset();

  IUnknown* objects[] = {filter.Get()};
  OleCreatePropertyFrame(Hwnd(), 0, 0, name.c_str(), 1, objects, pageList.cElems, pageList.pElems,
                         0, 0, nullptr);
  CoTaskMemFree(pageList.pElems);
}
