#pragma once
// A property sheet without a display: it records every sheet it was asked to
// run (caption and copies of the pages, since the caller frees the pages when
// the sheet returns) and returns the result the test sets. Installed as the
// process-wide sheet for the object's life. Header-only: it names model types,
// and only the model's tests use it.

#include <memory>
#include <string>
#include <vector>

#include "model/ports/PropertyPages.h"
#include "model/ports/PropertySheetPort.h"

class RecordingPropertySheet : public PropertySheetPort {
public:
    struct Run {
        std::wstring caption;
        // Copies of the pages of the kinds known here; null for others.
        std::vector<std::shared_ptr<NodePropertyPage>> pages;
    };

    RecordingPropertySheet() = default;

    int RunModal(const std::wstring& caption, const PropertyPageList& pages) override
    {
        Run run{caption, {}};
        for (const std::unique_ptr<NodePropertyPage>& page : pages) {
            if (auto* message = dynamic_cast<const MessagePropertiesPage*>(page.get()))
                run.pages.push_back(std::make_shared<MessagePropertiesPage>(*message));
            else if (auto* multi = dynamic_cast<const MultiTypePage*>(page.get()))
                run.pages.push_back(std::make_shared<MultiTypePage>(*multi));
            else
                run.pages.push_back(nullptr);
        }
        runs.push_back(std::move(run));
        return result;
    }

    int result = 1;
    std::vector<Run> runs;
};

// Installs a recording sheet for a scope.
class RecordingPropertySheetScope {
public:
    RecordingPropertySheetScope() : m_previous(SetPropertySheetPort(m_sheet)) {}
    ~RecordingPropertySheetScope() { SetPropertySheetPort(std::move(m_previous)); }
    RecordingPropertySheetScope(const RecordingPropertySheetScope&) = delete;
    RecordingPropertySheetScope& operator=(const RecordingPropertySheetScope&) = delete;

    RecordingPropertySheet& Sheet() { return *m_sheet; }

private:
    std::shared_ptr<RecordingPropertySheet> m_sheet = std::make_shared<RecordingPropertySheet>();
    std::shared_ptr<PropertySheetPort> m_previous;
};
