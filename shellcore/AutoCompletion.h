#pragma once
// Autocompletion of an edit field from a string source. The user interface
// installs the factory that binds a source to one of its edit windows; the
// binding ends when the returned object is destroyed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class IEnumString;

class IAutoCompletion {
public:
    // Detaches the source from the edit window (when the window still exists).
    virtual ~IAutoCompletion() = default;
    // While disabled the field is not completed.
    virtual void Enable(bool) {}
};

// edit: the toolkit's edit window; null result: it could not be bound.
typedef std::function<std::unique_ptr<IAutoCompletion>(void* edit, IEnumString& source, uint32_t options,
                                                       const std::wstring& quickCompleteFormat)>
    AutoCompletionFactory;

// Returns the previous factory.
AutoCompletionFactory SetAutoCompletionFactory(AutoCompletionFactory factory);
AutoCompletionFactory GetAutoCompletionFactory();
