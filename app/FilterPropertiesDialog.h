#pragma once
// The filter properties dialog (template 133): the filters of a built graph by
// name, and the property pages of the selected one. Its texts are never
// translated.

#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "platform/ModalDialog.h"

struct IBaseFilter;
struct IGraphBuilder;

class FilterPropertiesDialog : public ModalDialog {
 public:
  // graph is not owned: the dialog takes no reference of its own.
  explicit FilterPropertiesDialog(IGraphBuilder* graph);

 protected:
  BOOL OnInitDialog() override;
  bool Route(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  static const MessageRoute<FilterPropertiesDialog> kRoutes[];

  // One line per filter in the graph's enumeration order, "<ERROR>" for a
  // filter whose name cannot be read; the last code met.
  HRESULT ListGraphFilters();
  // The first filter in enumeration order whose name equals name
  // (case-sensitive), or nothing; the search ends at a name it cannot read.
  Microsoft::WRL::ComPtr<IBaseFilter> FindListedFilter(const std::string& name) const;
  // The selected line, whole; empty without a selection.
  std::string SelectedLine() const;
  void UpdateSettingsButton();
  void ShowFilterPages();

  IGraphBuilder* m_filterGraph;
};
