#pragma once
// The property pages a node asks for. The model only says which page shows
// what; the dialogs make the windows when the sheet runs.

#include <memory>
#include <string>
#include <vector>

class CDataObject;

class NodePropertyPage {
public:
    virtual ~NodePropertyPage() = default;
};

// The information page of the root, error and information nodes: an icon, a
// description and two details.
class MessagePropertiesPage : public NodePropertyPage {
public:
    MessagePropertiesPage(CDataObject* node, int iconId, std::wstring description, std::wstring firstDetail,
                          std::wstring secondDetail, std::wstring title)
        : node(node),
          iconId(iconId),
          description(std::move(description)),
          firstDetail(std::move(firstDetail)),
          secondDetail(std::move(secondDetail)),
          title(std::move(title))
    {
    }

    CDataObject* node;
    int iconId;
    std::wstring description;
    std::wstring firstDetail;
    std::wstring secondDetail;
    std::wstring title;  // the page's caption
};

// The summary page of several selected nodes of any kinds.
class MultiTypePage : public NodePropertyPage {
public:
    explicit MultiTypePage(std::vector<CDataObject*> nodes) : nodes(std::move(nodes)) {}

    std::vector<CDataObject*> nodes;
};

typedef std::vector<std::unique_ptr<NodePropertyPage>> PropertyPageList;
